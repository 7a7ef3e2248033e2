# Loader, fitting and codec-path tests.
tsv_test(imaging_fit_tests
  SOURCES fit_geometry_test.cpp resample_test.cpp orientation_test.cpp
  LIBS tsv_imaging JPEG::JPEG)
tsv_test(imaging_codec_tests
  SOURCES codec_path_test.cpp
  LIBS tsv_imaging JPEG::JPEG Qt6::Gui)
tsv_test(imaging_loader_tests
  SOURCES image_loader_test.cpp
  LIBS tsv_imaging tsv_media tsv_app JPEG::JPEG Qt6::Gui)
