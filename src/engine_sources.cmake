# qf_engine: the Engine object and everything that works on it.
add_library(qf_engine STATIC
  app/application.cpp
  app/command_line.cpp
  app/debug_overlay.cpp
  app/debug_panels.cpp
  app/engine_canvas.cpp
  app/game.cpp
  app/game_load.cpp
  app/instance_lock.cpp
  app/tools.cpp
  app/variable_dump.cpp
  gfx/commands_fonts.cpp
  gfx/commands_gauges.cpp
  gfx/commands_planes.cpp
  gfx/commands_sprites.cpp
  gfx/display.cpp
  gfx/gauge_labels.cpp
  gfx/gauges.cpp
  gfx/plane_draw.cpp
  gfx/planes.cpp
  gfx/round_rect.cpp
  gfx/sprite_hit.cpp
  gfx/sprite_layers.cpp
  gfx/sprite_step.cpp
  gfx/sprites.cpp
  gfx/text_output.cpp
  input/commands_input.cpp
  input/input.cpp
  input/input_panels.cpp
  input/key_config.cpp
  input/mouse.cpp
  input/pad.cpp
  wnd/commands_windows.cpp
  wnd/flag_window.cpp
  wnd/frame.cpp
  wnd/text_and_frames.cpp
  wnd/window_list.cpp
  wnd/window_table.cpp
  script/command_families.cpp
  script/command_table.cpp
  script/commands_control.cpp
  script/commands_data.cpp
  script/commands_engine.cpp
  script/commands_pictures.cpp
  script/commands_tables.cpp
  script/interpreter.cpp
  script/loader.cpp
  script/resource_access.cpp
  script/script_services.cpp
  script/subsystem_links.cpp
  script/tables.cpp
)
target_link_libraries(qf_engine PUBLIC qf_host)
foreach(lib qf_values qf_res qf_gfx)
  if(TARGET ${lib})
    target_link_libraries(qf_engine PUBLIC ${lib})
  endif()
endforeach()

if(NOT QF_FUZZ)
  add_executable(quillfen app/main.cpp)
  target_link_libraries(quillfen PRIVATE qf_engine)
  target_compile_definitions(quillfen PRIVATE QF_VERSION="${PROJECT_VERSION}")
  if(TARGET qf_host_sdl)
    target_link_libraries(quillfen PRIVATE qf_host_sdl)
    target_compile_definitions(quillfen PRIVATE QF_HAVE_SDL=1)
  endif()
  set_target_properties(quillfen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()
