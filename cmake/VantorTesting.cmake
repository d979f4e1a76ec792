# Links the given headers, by their path from the project root, into an include root.
function(vantor_stage_headers root)
  foreach(source ${ARGN})
    if(source MATCHES "[.]h$")
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} NORMALIZE OUTPUT_VARIABLE header)
      cmake_path(RELATIVE_PATH header BASE_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE relative)
      get_filename_component(folder ${root}/${relative} DIRECTORY)
      file(MAKE_DIRECTORY ${folder})
      file(CREATE_LINK ${header} ${root}/${relative} SYMBOLIC)
    endif()
  endforeach()
endfunction()

# The include root of a test folder: the headers of that folder, which its tests share.
function(vantor_test_folder_root out)
  cmake_path(RELATIVE_PATH CMAKE_CURRENT_SOURCE_DIR BASE_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE folder)
  string(REPLACE "/" "-" flat ${folder})
  set(root ${CMAKE_BINARY_DIR}/include/${flat})
  file(REMOVE_RECURSE ${root})  # no header of an earlier configuration stays reachable
  file(GLOB headers ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  vantor_stage_headers(${root} ${headers})
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# vantor_add_library(<name> <sources>...)
# A static library of the project. Its headers are included by path from the project root
# ("protocol/DevicePacket.h"), but through an include root of the library's own, which holds
# links to just the headers among its sources: a target that includes a header reaches it only
# when it links the library the header belongs to, and a header that belongs to no library
# cannot be included at all.
function(vantor_add_library name)
  add_library(${name} STATIC ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/include/${name})
  file(REMOVE_RECURSE ${root})  # no header of an earlier configuration stays reachable
  vantor_stage_headers(${root} ${ARGN})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${root}>)
  target_link_libraries(${name} PRIVATE vantor_warnings vantor_qt_strict)
endfunction()

# vantor_add_program(<name> <sources>...)
# One of the project's programs (the application, the simulator, the tools).
function(vantor_add_program name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vantor_warnings vantor_qt_strict)
endfunction()

# Sanitizer settings for every test (they mean nothing to a build without sanitizers): leaks
# are reported, except what the libraries below us keep on purpose (tests/sanitizer/lsan.supp).
# Qt 6.8's platform services ask the desktop portal for its settings over D-Bus at start and
# keep the pending call until the answer comes; a test's session has no portal, so the call is
# still pending at exit and shows as a leak of Qt's. Tests don't ask the portal.
set(VANTOR_SANITIZER_ENVIRONMENT
  "ASAN_OPTIONS=detect_leaks=1"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/sanitizer/lsan.supp:print_suppressions=0"
  "UBSAN_OPTIONS=print_stacktrace=1"
  "QT_NO_XDG_DESKTOP_PORTAL=1")

# vantor_add_gtest(<name> LABEL <unit|gui|e2e> [MAIN <library> | OWN_MAIN] SOURCES ... LIBS ...)
# Builds one GoogleTest executable and registers it with ctest. GUI tests run on the
# offscreen platform so they need no display. The test's main() is GoogleTest's, or the one of
# the MAIN library (vantor_gui_test_main: with a QApplication), or with OWN_MAIN one among the
# sources: exactly one main is linked, never one chosen by link order.
function(vantor_add_gtest name)
  cmake_parse_arguments(ARG "OWN_MAIN" "LABEL;MAIN" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(ARG_MAIN)
    set(main ${ARG_MAIN})
  elseif(ARG_OWN_MAIN)
    set(main)
  else()
    set(main GTest::gtest_main)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  vantor_test_folder_root(folder_root)
  target_include_directories(${name} PRIVATE ${folder_root})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest ${main} vantor_warnings)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS ${ARG_LABEL}
    TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${VANTOR_SANITIZER_ENVIRONMENT}")
endfunction()

# vantor_add_bench(<name> [TIMED] SOURCES ... LIBS ...)
# A benchmark on Google Benchmark, or with TIMED a timed run of its own that prints figures.
function(vantor_add_bench name)
  cmake_parse_arguments(ARG "TIMED" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} vantor_warnings)
  if(NOT ARG_TIMED)
    target_link_libraries(${name} PRIVATE benchmark::benchmark)
  endif()
endfunction()

# vantor_add_netns_test(<name> COMMAND <exe> [args...] [LABEL e2e])
# Runs a test inside a private network namespace (scripts/netns): the real ports and the
# limited broadcast are used there and nothing reaches this machine's interfaces. Where no
# namespace can be made, scripts/netns exits 77 and ctest reports the test as skipped.
function(vantor_add_netns_test name)
  cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "COMMAND" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL e2e)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/netns ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES
    LABELS ${ARG_LABEL}
    TIMEOUT ${ARG_TIMEOUT}
    SKIP_RETURN_CODE 77
    RUN_SERIAL TRUE
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VANTOR_BUILD_DIR=${CMAKE_BINARY_DIR};${VANTOR_SANITIZER_ENVIRONMENT}")
endfunction()
