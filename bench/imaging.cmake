# Image loading: the codec path end to end against libjpeg-turbo's bare scaled decode.
add_executable(bench_image_load bench_image_load.cpp image_fixtures.cpp more_format_fixtures.cpp)
target_link_libraries(bench_image_load PRIVATE tsv_imaging_fit tsv_media tsv_app benchmark::benchmark JPEG::JPEG Qt6::Gui)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBHEIF REQUIRED IMPORTED_TARGET libheif)
target_link_libraries(bench_image_load PRIVATE PkgConfig::LIBHEIF)
target_include_directories(bench_image_load PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
set_target_properties(bench_image_load PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
