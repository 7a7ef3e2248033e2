# Device bitmaps, CBitmapEx, DIB conversions, palettes and quantiser tests.
tsv_test(imaging_bitmap_tests
  SOURCES dib_decode_test.cpp bitmap_ex_test.cpp dib_from_bitmap_test.cpp draw_test.cpp quantiser_test.cpp
  LIBS tsv_imaging Qt6::Gui)
