# One warning list for every target of the project, and -Werror when CI asks for it.
option(LUMERIN_WERROR "Treat compiler warnings as errors" OFF)

function(lumerin_target_options target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  if(LUMERIN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# lumerin_add_test(NAME SOURCES... LIBS lib...) builds a GoogleTest binary and registers its cases.
function(lumerin_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  lumerin_target_options(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT
                       "QT_QPA_PLATFORM=offscreen")
endfunction()
