# The kept shuffle over 100,000 photos, against the list copy and the draw alone.
add_executable(bench_kept_shuffle ${CMAKE_CURRENT_LIST_DIR}/bench_kept_shuffle.cpp)
target_link_libraries(bench_kept_shuffle PRIVATE tsv_media benchmark::benchmark)
set_target_properties(bench_kept_shuffle PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
