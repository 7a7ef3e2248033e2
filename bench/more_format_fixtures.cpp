#include "bench/more_format_fixtures.h"

#include "imaging/encoder_tools.h"

#include <cstdio>
#include <filesystem>

std::vector<ImageFixture> PrepareMoreFormatFixtures(const ImageFixture& png12)
{
    const std::filesystem::path source(png12.path);
    std::vector<ImageFixture> made;
    for (const char* ext : {"heic", "avif", "webp"}) {
        ImageFixture f{std::string(ext) + "-12MP",
                       (source.parent_path() / (source.stem().string() + "." + ext)).string(), png12.width,
                       png12.height, false, false};
        if (!std::filesystem::exists(f.path)) {
            std::fprintf(stderr, "making %s\n", f.path.c_str());
            const std::string temp = f.path + ".part." + ext;
            if (!EncodeWith(png12.path, temp)) {
                std::fprintf(stderr, "cannot make %s (encoder missing?)\n", f.path.c_str());
                continue;
            }
            std::filesystem::rename(temp, f.path);
        }
        made.push_back(f);
    }
    return made;
}
