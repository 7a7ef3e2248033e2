#include "config/about_info.h"

#include "app/data_path.h"
#include "app/profile_store.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#ifndef TSV_VERSION_TEXT
#define TSV_VERSION_TEXT ""
#endif
#ifndef TSV_SOURCE_README
#define TSV_SOURCE_README ""
#endif

std::optional<ProgramVersion> ParseProgramVersion(std::string_view text)
{
    int parts[4] = {0, 0, 0, 0};
    int count = 0;
    const char* p = text.data();
    const char* end = text.data() + text.size();
    while (true) {
        if (count == 4 || p == end || *p < '0' || *p > '9')
            return std::nullopt;
        auto [next, ec] = std::from_chars(p, end, parts[count]);
        if (ec != std::errc() || parts[count] > 0xFFFF)
            return std::nullopt;
        ++count;
        p = next;
        if (p == end)
            break;
        if (*p != '.')
            return std::nullopt;
        ++p;
    }
    if (count < 3)
        return std::nullopt;
    return ProgramVersion{parts[0], parts[1], parts[2]};
}

std::optional<ProgramVersion> ReadProgramVersion()
{
    return ParseProgramVersion(TSV_VERSION_TEXT);
}

std::string FormatVersionLine(std::string_view format, const std::optional<ProgramVersion>& version)
{
    const ProgramVersion v = version.value_or(ProgramVersion{});
    const int numbers[3] = {v.major, v.minor, v.patch};
    std::size_t used = 0;
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (format[i + 1] == 'd' && used < 3) {
                out += std::to_string(numbers[used++]);
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

int LoadTraceSetting(ProfileStore& store)
{
    return store.GetProfileInt("Settings", "Trace", 0);
}

bool SaveTraceSetting(ProfileStore& store, int trace)
{
    return store.WriteProfileInt("Settings", "Trace", trace);
}

std::string LogFilePath()
{
    return GetDataFilePath("Tessaview.log");
}

std::string HomePageAddress(const std::string& executableFolder, const std::string& sourceReadme)
{
    namespace fs = std::filesystem;
    const std::string installed =
        (fs::path(executableFolder) / ".." / "share" / "doc" / "tessaview" / "README.md").lexically_normal().string();
    std::error_code ec;
    if (fs::is_regular_file(installed, ec))
        return installed;
    if (!sourceReadme.empty() && fs::is_regular_file(sourceReadme, ec))
        return sourceReadme;
    return installed;
}

std::string HomePageAddress()
{
    return HomePageAddress(ExecutableFolder(), TSV_SOURCE_README);
}
