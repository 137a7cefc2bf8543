# kv_lay_out(<target> <file>...)
#
# Lays a program or DLL of the Windows builds out into the installation
# package: after each build of <target>, a stripped copy of its file goes to
# each <file>. The build folder keeps the file with its symbols, for the
# debugger; the package ships without them.
function(kv_lay_out target)
  if(NOT CMAKE_STRIP)
    message(FATAL_ERROR "kv_lay_out: no strip for this toolchain")
  endif()
  foreach(file ${ARGN})
    get_filename_component(dir ${file} DIRECTORY)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${CMAKE_STRIP} --strip-all -o ${file} $<TARGET_FILE:${target}>
      VERBATIM)
  endforeach()
endfunction()
