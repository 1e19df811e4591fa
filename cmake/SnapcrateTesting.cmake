# snapcrate_add_test(NAME SOURCES a.cpp ... LIBS lib ... [ENVIRONMENT VAR=value ...])
# Builds one GoogleTest executable outside the runnable home and registers its
# cases with CTest. Tests find the build's home (libraries, etc/) through the
# SNAPCRATE_TEST_HOME definition and the source tree through SNAPCRATE_SOURCE_DIR.
function(snapcrate_add_test name)
  if(NOT SNAPCRATE_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    SNAPCRATE_TEST_HOME="${SNAPCRATE_HOME_DIR}/"
    SNAPCRATE_SOURCE_DIR="${PROJECT_SOURCE_DIR}/")
  include(GoogleTest)
  if(ARG_ENVIRONMENT)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600 ENVIRONMENT "${ARG_ENVIRONMENT}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
  endif()
endfunction()

# snapcrate_add_fuzzer(NAME SOURCES a.cpp ... LIBS lib ... CORPUS dir)
# A libFuzzer target (LLVMFuzzerTestOneInput). Always built as an ordinary test
# that replays every file of the seed corpus; with SNAPCRATE_FUZZ also built as
# a real fuzzer in fuzz/ for tools/fuzz.sh.
function(snapcrate_add_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(SNAPCRATE_TESTS)
    add_executable(${name}_replay ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/fuzz_replay_main.cpp)
    set_target_properties(${name}_replay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
    target_compile_definitions(${name}_replay PRIVATE SNAPCRATE_TEST_HOME="${SNAPCRATE_HOME_DIR}/")
    add_test(NAME ${name}_corpus COMMAND ${name}_replay ${ARG_CORPUS})
  endif()
  if(SNAPCRATE_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE SNAPCRATE_TEST_HOME="${SNAPCRATE_HOME_DIR}/")
    file(APPEND ${CMAKE_BINARY_DIR}/fuzz/targets.txt "${name} ${ARG_CORPUS}\n")
  endif()
endfunction()

# snapcrate_add_gui_test(NAME SOURCES a.cpp ... LIBS lib ...)
# A GoogleTest executable that drives real Qt windows on the offscreen platform.
function(snapcrate_add_gui_test name)
  if(NOT SNAPCRATE_TESTS OR NOT SNAPCRATE_GUI)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/qt_test_main.cpp)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} snapcrate_test_support Qt6::Widgets Qt6::Test GTest::gtest)
  target_compile_definitions(${name} PRIVATE
    SNAPCRATE_TEST_HOME="${SNAPCRATE_HOME_DIR}/"
    SNAPCRATE_SOURCE_DIR="${PROJECT_SOURCE_DIR}/")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120 ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# Tests whose pictures are made by libvips' own threads while our workers run:
# LeakSanitizer's stop-the-world at exit now and then crashes on those idle
# library threads, so leaks are checked for them by the image library's own
# tests instead. Used as ENVIRONMENT ${SNAPCRATE_THREADED_VIPS_ENV}.
if(SNAPCRATE_SANITIZE)
  set(SNAPCRATE_THREADED_VIPS_ENV "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1")
else()
  set(SNAPCRATE_THREADED_VIPS_ENV "")
endif()
