# Loader, fitting and codec-path tests.
tsv_test(imaging_fit_tests
  SOURCES fit_geometry_test.cpp resample_test.cpp orientation_test.cpp
  LIBS tsv_imaging JPEG::JPEG)
tsv_test(imaging_codec_tests
  SOURCES codec_path_test.cpp
  LIBS tsv_imaging JPEG::JPEG Qt6::Gui)
tsv_test(imaging_formats_tests
  SOURCES more_formats_test.cpp
  LIBS tsv_imaging tsv_media tsv_app JPEG::JPEG Qt6::Gui)
tsv_test(imaging_loader_tests
  SOURCES image_loader_test.cpp
  LIBS tsv_imaging tsv_media tsv_app JPEG::JPEG Qt6::Gui)

# The command-line tool on a real photo, and its refusal of a missing one.
add_test(NAME tessaview_image.sample_photo
  COMMAND tessaview-image --size 256 --output ${CMAKE_CURRENT_BINARY_DIR}/tessaview-image-sample.png
          ${PROJECT_SOURCE_DIR}/res/samples/sample-1-dawn.jpg)
set_tests_properties(tessaview_image.sample_photo PROPERTIES
  PASS_REGULAR_EXPRESSION "Image Cropped left-right 80 px \\(960,960\\).*256x256 written")
add_test(NAME tessaview_image.missing_file
  COMMAND tessaview-image ${CMAKE_CURRENT_BINARY_DIR}/no-such-photo.jpg)
set_tests_properties(tessaview_image.missing_file PROPERTIES WILL_FAIL TRUE)

# The tool on a HEIC made from a sample photo by Debian's encoder, and its help naming the formats.
add_test(NAME tessaview_image.heic_photo
  COMMAND sh -c "heif-enc -q 80 -o \"$1/sample.heic\" \"$2\" >/dev/null && \"$3\" --size 256 --output \"$1/sample-heic.png\" \"$1/sample.heic\""
          sh ${CMAKE_CURRENT_BINARY_DIR} ${PROJECT_SOURCE_DIR}/res/samples/sample-1-dawn.jpg $<TARGET_FILE:tessaview-image>)
set_tests_properties(tessaview_image.heic_photo PROPERTIES
  PASS_REGULAR_EXPRESSION "Image Cropped left-right 80 px \\(960,960\\).*256x256 written")
add_test(NAME tessaview_image.help_lists_formats COMMAND tessaview-image --help)
set_tests_properties(tessaview_image.help_lists_formats PROPERTIES
  PASS_REGULAR_EXPRESSION "HEIC/HEIF, AVIF,.*WebP and TIFF")
# The tool run as a separate process, to see its peak memory.
tsv_test(imaging_tool_tests
  SOURCES image_tool_test.cpp)
add_dependencies(imaging_tool_tests tessaview-image)
target_compile_definitions(imaging_tool_tests PRIVATE TSV_IMAGE_TOOL="$<TARGET_FILE:tessaview-image>")
