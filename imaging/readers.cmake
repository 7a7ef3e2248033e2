# The program's own image readers (BMP, GIF, JPEG) and their byte input.
list(APPEND TSV_IMAGING_SOURCES
  byte_source.cpp
  dib_read.cpp
  gif_lzw.cpp
  gif_read.cpp
  jpeg_read.cpp
  pixel_claim.cpp
  reader_trace.cpp
)
