# kv_add_gtest(<name> SOURCES <src>... [LIBS <lib>...] [LABELS <label>...])
#
# A GoogleTest program. Natively it runs as it is; in the x86_64 cross build
# it runs under Wine on its own copy of the template prefix (label "wine" is
# added, and the test needs the "wineprefix" fixture). The i686 build, which
# runs nothing under Wine, and the fuzz build neither build nor run it.
set(KV_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/wine/wine-run.sh CACHE INTERNAL "")

function(kv_add_gtest name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(KV_FUZZ OR (CMAKE_CROSSCOMPILING AND NOT KV_RUN_WINE_TESTS))
    # The fuzz build runs only the fuzz targets, a cross build without Wine
    # (i686) only what needs none: the test is declared, not built.
    add_executable(${name} EXCLUDE_FROM_ALL ${A_SOURCES})
    target_link_libraries(${name} PRIVATE ${A_LIBS} gtest gtest_main)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} gtest gtest_main)
  # Where the tests find the sample package (tests/support/SamplePackage.h).
  target_compile_definitions(${name} PRIVATE KV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(CMAKE_CROSSCOMPILING)
    if(KV_RUN_WINE_TESTS)
      add_test(NAME ${name} COMMAND ${KV_WINE_RUN} $<TARGET_FILE:${name}>)
      set_tests_properties(${name} PROPERTIES LABELS "wine;${A_LABELS}"
                           FIXTURES_REQUIRED wineprefix TIMEOUT 600)
    endif()
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${A_LABELS}" TIMEOUT 600)
  endif()
endfunction()
