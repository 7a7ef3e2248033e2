#include "imaging/codec/exif.h"

#include "imaging/codec/orientation.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

namespace {
struct ExifDataUnref {
    void operator()(ExifData* d) const { exif_data_unref(d); }
};
using ExifDataPtr = std::unique_ptr<ExifData, ExifDataUnref>;

constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

bool IsTiffHeader(std::span<const std::uint8_t> b)
{
    return b.size() >= 4 && ((b[0] == 'I' && b[1] == 'I' && b[2] == 42 && b[3] == 0) ||
                             (b[0] == 'M' && b[1] == 'M' && b[2] == 0 && b[3] == 42));
}

std::string_view Text(const ExifEntry* e)
{
    if (!e || !e->data || e->format != EXIF_FORMAT_ASCII)
        return {};
    const auto* chars = reinterpret_cast<const char*>(e->data);
    return {chars, strnlen(chars, e->size)};
}

// The tag in the first of the two directories that holds a usable value.
std::optional<TakenDate> DateIn(ExifData* d, ExifTag tag, ExifIfd first, ExifIfd second)
{
    for (ExifIfd ifd : {first, second})
        if (auto date = ParseExifDate(Text(exif_content_get_entry(d->ifd[ifd], tag))))
            return date;
    return std::nullopt;
}

int OrientationIn(ExifData* d)
{
    const ExifEntry* e = exif_content_get_entry(d->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!e || !e->data || e->components < 1)
        return 1;
    const ExifByteOrder order = exif_data_get_byte_order(d);
    if (e->format == EXIF_FORMAT_SHORT && e->size >= 2)
        return NormalizeOrientation(exif_get_short(e->data, order));
    if (e->format == EXIF_FORMAT_LONG && e->size >= 4)
        return NormalizeOrientation(static_cast<int>(std::min<ExifLong>(exif_get_long(e->data, order), 9)));
    return 1;
}

// The field of `text` from `at`: exactly `digits` digits.
bool Field(std::string_view text, std::size_t at, std::size_t digits, int& value)
{
    if (at + digits > text.size())
        return false;
    value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool DateSeparator(char c) { return c == ':' || c == '-' || c == '/' || c == '.'; }
} // namespace

std::optional<TakenDate> ParseExifDate(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    TakenDate d;
    if (text.size() < 10 || !DateSeparator(text[4]) || text[7] != text[4] || !Field(text, 0, 4, d.year) ||
        !Field(text, 5, 2, d.month) || !Field(text, 8, 2, d.day))
        return std::nullopt;
    // Cameras without a clock write zeros; year 0 does not exist either.
    const std::chrono::year_month_day ymd{std::chrono::year(d.year), std::chrono::month(unsigned(d.month)),
                                          std::chrono::day(unsigned(d.day))};
    if (d.year < 1 || !ymd.ok())
        return std::nullopt;
    return d;
}

ExifFacts ParseExif(std::span<const std::uint8_t> block)
{
    ExifFacts facts;
    // libexif wants the JPEG segment's prefix before the TIFF structure.
    std::vector<std::uint8_t> prefixed;
    if (IsTiffHeader(block)) {
        prefixed.reserve(sizeof kExifHeader + block.size());
        prefixed.assign(std::begin(kExifHeader), std::end(kExifHeader));
        prefixed.insert(prefixed.end(), block.begin(), block.end());
        block = prefixed;
    }
    if (block.size() < sizeof kExifHeader + 8 || std::memcmp(block.data(), kExifHeader, sizeof kExifHeader) != 0)
        return facts;
    ExifDataPtr data(exif_data_new());
    if (!data)
        return facts;
    // Left on, libexif's strict mode adds the mandatory tags a block
    // lacks and drops tags found in an unusual directory; the show wants what
    // the file says, so a date written in the first directory still counts.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(data.get(), block.data(), static_cast<unsigned>(std::min<std::size_t>(block.size(), 1u << 30)));
    facts.orientation = OrientationIn(data.get());
    facts.taken = DateIn(data.get(), EXIF_TAG_DATE_TIME_ORIGINAL, EXIF_IFD_EXIF, EXIF_IFD_0);
    if (!facts.taken)
        facts.taken = DateIn(data.get(), EXIF_TAG_DATE_TIME, EXIF_IFD_0, EXIF_IFD_EXIF);
    return facts;
}
