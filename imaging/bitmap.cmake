# Device bitmaps, CBitmapEx and CDib, DIB conversions, palettes and the quantiser.
list(APPEND TSV_IMAGING_SOURCES
  dib_decode.cpp
)
