# Device bitmaps, CBitmapEx and CDib, DIB conversions, palettes and the quantiser.
list(APPEND TSV_IMAGING_SOURCES
  bitmap_ex.cpp
  bitmap_resources.cpp
  cdib.cpp
  device_bitmap.cpp
  dib_decode.cpp
  dib_from_bitmap.cpp
  dib_to_bitmap.cpp
  draw.cpp
  palette.cpp
  quantiser.cpp
)
