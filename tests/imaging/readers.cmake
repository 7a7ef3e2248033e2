# The BMP, GIF and JPEG readers, checked against Qt's own image reader.
tsv_test(imaging_reader_tests
  SOURCES fixture_writers.cpp read_test_fixtures.cpp dib_read_test.cpp gif_read_test.cpp jpeg_read_test.cpp
  LIBS tsv_imaging Qt6::Gui JPEG::JPEG)
