# The EXIF path of every format: the container walks of our own (WebP and PNG
# chunks) and those the libraries do (libjpeg's markers, libheif's items,
# libtiff's directories), and the block itself through libexif. The libraries
# are Debian's, not instrumented: coverage guides through our side.
tsv_fuzzer(fuzz_photo_exif
  ${TSV_CODEC}/heif_decode.cpp
  ${TSV_CODEC}/photo_exif.cpp
  ${TSV_CODEC}/png_exif.cpp
  ${TSV_CODEC}/tiff_exif.cpp
  ${TSV_CODEC}/webp_exif.cpp)
target_link_libraries(fuzz_photo_exif PRIVATE tsv_fuzz_codec PkgConfig::LIBHEIF TIFF::TIFF)
# Its seeds come with the HEIF ones (make_heif_seeds.sh) and from make_seeds.
add_dependencies(fuzz_photo_exif tsv_fuzz_heif_seeds)
