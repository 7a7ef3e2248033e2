# The configuration sheet: opening it with a long folder list, and Count Files
# over a large tree, against plain references. Needs a display (scripts/with-display).
find_package(Qt6 6.4 COMPONENTS Test)
if(TARGET Qt6::Test)
  add_executable(bench_config_sheet ${CMAKE_CURRENT_LIST_DIR}/bench_config_sheet.cpp)
  target_link_libraries(bench_config_sheet PRIVATE tsv_config Qt6::Test benchmark::benchmark)
  set_target_properties(bench_config_sheet PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endif()
