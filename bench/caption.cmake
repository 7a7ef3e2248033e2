# Captions: the load with and without one, and the caption step alone.
add_executable(bench_caption bench_caption.cpp image_fixtures.cpp)
target_link_libraries(bench_caption PRIVATE tsv_imaging_fit tsv_media tsv_app benchmark::benchmark JPEG::JPEG
  TIFF::TIFF Qt6::Gui)
target_include_directories(bench_caption PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
set_target_properties(bench_caption PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
