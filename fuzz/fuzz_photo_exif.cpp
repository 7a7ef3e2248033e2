// The EXIF facts of a photo on arbitrary bytes: the file's format is told by
// its content and the block is found in its container, then parsed; the same
// bytes also go to the block parser directly. Whatever comes, the facts are
// an orientation of 1 to 8 and, when there is a date, a day that exists.
#include "imaging/codec/exif.h"
#include "imaging/codec/photo_exif.h"
#include "imaging/own/byte_source.h"

#include <chrono>
#include <cstdlib>

namespace {
void Check(const ExifFacts& facts)
{
    if (facts.orientation < 1 || facts.orientation > 8)
        std::abort();
    if (facts.taken) {
        const TakenDate& d = *facts.taken;
        const std::chrono::year_month_day day{std::chrono::year(d.year), std::chrono::month(unsigned(d.month)),
                                              std::chrono::day(unsigned(d.day))};
        if (d.year < 1 || !day.ok())
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Check(ParseExif({data, size}));
    MemorySource source({data, size});
    Check(ReadPhotoExif(source));
    return 0;
}
