# Helpers shared by the subsystem folders.

# tsv_library(NAME SOURCES... [QT]) : one static library per subsystem folder.
function(tsv_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PUBLIC
    TSV_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    TSV_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    TSV_VERSION_PATCH=${PROJECT_VERSION_PATCH})
endfunction()

# tsv_test(NAME SOURCES... LIBS libs... [DISPLAY] [UNNAMED_LEAKS] [TIMEOUT s] [COST s]) : a GoogleTest
# executable run by CTest.
# DISPLAY tests need an X display (make test provides a virtual one when there is none).
# They share that display, so they run one at a time: two at once take the
# keyboard focus from each other's windows.
# COST, about the seconds each of its tests takes, lets `ctest -j` start the long
# ones first in a fresh build too (it learns their times only from a previous
# run), so that none of them is left running alone at the end.
function(tsv_test name)
  cmake_parse_arguments(T "DISPLAY;UNNAMED_LEAKS" "TIMEOUT;COST" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tsv_test_support GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE TSV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  include(GoogleTest)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(TSV_SANITIZE)
    # Sanitized code runs a few times slower.
    math(EXPR T_TIMEOUT "${T_TIMEOUT} * 3")
  endif()
  set(extra)
  if(T_COST)
    list(APPEND extra COST ${T_COST})
  endif()
  if(TSV_SANITIZE STREQUAL "address" AND T_UNNAMED_LEAKS)
    # UNNAMED_LEAKS: the test loads OpenGL drivers or audio plugins, which are
    # unloaded before the leak check at exit, so their leaks carry no name a
    # suppression could match. Such tests keep every address and undefined-
    # behaviour check but skip the leak check.
    list(APPEND extra ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0:check_initialization_order=1:detect_stack_use_after_return=1")
  endif()
  if(T_DISPLAY)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS display RESOURCE_LOCK shared_display
      TIMEOUT ${T_TIMEOUT} ${extra})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT ${T_TIMEOUT} ${extra})
  endif()
endfunction()
