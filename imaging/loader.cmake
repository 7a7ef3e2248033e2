# Image loader, fitting and the image-codec path.
list(APPEND TSV_IMAGING_SOURCES
  fit_geometry.cpp
  orientation.cpp
  resample.cpp
  jpeg_scaled_decode.cpp
  heif_decode.cpp
  codec_heif.cpp
  webp_exif.cpp
  codec_image.cpp
  resize_fit_codec.cpp
  resize_fit_own.cpp
  load_codec.cpp
  load_own_readers.cpp
  image_loader.cpp
)
