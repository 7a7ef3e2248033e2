# DIB-to-bitmap conversion and the quantiser against plain references.
add_executable(bench_bitmap bench_bitmap.cpp)
target_link_libraries(bench_bitmap PRIVATE tsv_imaging_own benchmark::benchmark Qt6::Gui)
target_include_directories(bench_bitmap PRIVATE ${PROJECT_SOURCE_DIR})
set_target_properties(bench_bitmap PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
