# Where bundled plug-ins live: beside the program in the build tree, and in
# ${QF_INSTALL_PLUGINDIR} (<prefix>/lib/quillfen) once installed, where the
# program looks for them relative to its own location.
#
# qf_bundled_plugin(target): puts the MODULE library `target` beside the
# program in the build tree, installs it into the plug-in directory, and has
# building the program build it too.
include_guard(GLOBAL)

set(QF_INSTALL_BINDIR bin)
set(QF_INSTALL_PLUGINDIR lib/quillfen)
set(QF_INSTALL_DATADIR share/quillfen)
# The plug-in directory as the program finds it from its own directory.
file(RELATIVE_PATH QF_PLUGIN_DIR_FROM_BIN "/${QF_INSTALL_BINDIR}" "/${QF_INSTALL_PLUGINDIR}")

function(qf_bundled_plugin target)
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  install(TARGETS ${target} LIBRARY DESTINATION ${QF_INSTALL_PLUGINDIR})
  if(TARGET quillfen)
    add_dependencies(quillfen ${target})
  endif()
endfunction()
