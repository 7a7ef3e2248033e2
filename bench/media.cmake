# Image list building over a large photo tree, against a plain library walk.
add_executable(bench_media_list ${CMAKE_CURRENT_LIST_DIR}/bench_media_list.cpp)
target_link_libraries(bench_media_list PRIVATE tsv_media benchmark::benchmark)
set_target_properties(bench_media_list PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
