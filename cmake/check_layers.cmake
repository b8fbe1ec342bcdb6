# Fails when a source folder includes a header of a folder above it.
# Run as: cmake -DSRC=<src dir> -DSTAMP=<file> -P check_layers.cmake
#
# Layers, lowest first: platform, res, script, (gfx input audio), (wnd map),
# commands, app. A folder may include its own headers and those of the layers
# below it; commands may also include app/engine.h, the one view of the whole
# engine that command handlers get.
set(allowed_platform platform)
set(allowed_res platform res)
set(allowed_script platform res script)
set(allowed_gfx platform res script gfx)
set(allowed_input platform res script input)
set(allowed_audio platform res script audio)
set(allowed_wnd platform res script gfx input audio wnd)
set(allowed_map platform res script gfx input audio map)
set(allowed_commands platform res script gfx input audio wnd map commands)
set(allowed_app platform res script gfx input audio wnd map commands app)

set(failures "")
foreach(folder platform res script gfx input audio wnd map commands app)
  file(GLOB_RECURSE files "${SRC}/${folder}/*.h" "${SRC}/${folder}/*.cpp")
  foreach(f ${files})
    file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/([^\"]*)\".*" "\\1" target "${line}")
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/([^\"]*)\".*" "\\1/\\2" header "${line}")
      list(FIND allowed_${folder} "${target}" at)
      if(at EQUAL -1 AND NOT (folder STREQUAL "commands" AND header STREQUAL "app/engine.h")
         AND NOT target STREQUAL "quillfen")
        file(RELATIVE_PATH rel "${SRC}" "${f}")
        string(APPEND failures "  src/${rel} includes \"${header}\"\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Includes that run up the layers (platform, res, script, gfx/input/audio, wnd/map, commands, app):\n${failures}")
endif()
file(WRITE "${STAMP}" "ok\n")
