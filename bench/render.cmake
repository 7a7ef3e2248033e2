# Renderer: frame time at 1920 x 1080 and the cost of taking over a photo texture.
add_executable(bench_render ${CMAKE_CURRENT_LIST_DIR}/bench_render.cpp)
target_link_libraries(bench_render PRIVATE tsv_render tsv_app benchmark::benchmark Qt6::Gui)
set_target_properties(bench_render PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
