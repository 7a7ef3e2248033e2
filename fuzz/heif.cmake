# The HEIC/HEIF and AVIF decoder on libheif (the library itself is Debian's,
# not instrumented: coverage guides through our side of the calls only).
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBHEIF REQUIRED IMPORTED_TARGET libheif)
tsv_fuzzer(fuzz_heif_decode
  ${PROJECT_SOURCE_DIR}/imaging/codec/exif.cpp
  ${PROJECT_SOURCE_DIR}/imaging/codec/heif_decode.cpp
  ${PROJECT_SOURCE_DIR}/imaging/codec/orientation.cpp
  ${PROJECT_SOURCE_DIR}/imaging/codec/resample.cpp)
target_link_libraries(fuzz_heif_decode PRIVATE PkgConfig::LIBHEIF PkgConfig::LIBEXIF)

# Seeds: small HEIC and AVIF files from Debian's encoders (when installed),
# each behind the two bytes that choose the edge.
add_custom_command(OUTPUT ${TSV_FUZZ_CORPUS}/fuzz_heif_decode/.written
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/make_heif_seeds.sh ${TSV_FUZZ_CORPUS}/fuzz_heif_decode
          ${TSV_FUZZ_CORPUS}/fuzz_photo_exif
  COMMAND ${CMAKE_COMMAND} -E touch ${TSV_FUZZ_CORPUS}/fuzz_heif_decode/.written
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/make_heif_seeds.sh
  COMMENT "Writing the HEIF fuzz seeds")
add_custom_target(tsv_fuzz_heif_seeds ALL DEPENDS ${TSV_FUZZ_CORPUS}/fuzz_heif_decode/.written)
add_dependencies(fuzz_heif_decode tsv_fuzz_heif_seeds)
