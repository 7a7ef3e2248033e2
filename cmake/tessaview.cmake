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

# tsv_test(NAME SOURCES... LIBS libs... [DISPLAY]) : a GoogleTest executable run by CTest.
# DISPLAY tests need an X display (make test provides a virtual one when there is none).
# They share that display, so they run one at a time: two at once take the
# keyboard focus from each other's windows.
function(tsv_test name)
  cmake_parse_arguments(T "DISPLAY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
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
  if(T_DISPLAY)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS display RESOURCE_LOCK shared_display
      TIMEOUT ${T_TIMEOUT})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()
