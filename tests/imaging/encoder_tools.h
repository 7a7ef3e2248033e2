#pragma once
// Encodes test photos into HEIC/HEIF, AVIF, WebP and TIFF with Debian's own
// encoders (scripts/setup installs them), so the fixtures are made by the
// same programs that make users' files, never by our own decoders' authors.
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>

// Single quotes for the shell.
inline std::string ShellQuoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Encodes `source` (PNG or JPEG) into `out`, the format taken from the
// extension of `out`; `options` go to the encoder. True when the file exists.
inline bool EncodeWith(const std::string& source, const std::string& out, const std::string& options = "")
{
    std::string ext = std::filesystem::path(out).extension().string();
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::string in = ShellQuoted(source), to = ShellQuoted(out);
    std::string command;
    if (ext == ".heic" || ext == ".heif")
        command = "heif-enc -q 90 " + options + " " + in + " -o " + to;
    else if (ext == ".avif")
        command = "avifenc -s 8 -j 2 --min 0 --max 16 " + options + " " + in + " " + to;
    else if (ext == ".webp")
        command = "cwebp -quiet -q 90 -metadata exif " + options + " " + in + " -o " + to;
    else if (ext == ".tif" || ext == ".tiff")
        command = "convert " + in + " " + options + " " + to;
    else
        return false;
    std::error_code ec;
    std::filesystem::remove(out, ec);
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0 && std::filesystem::exists(out);
}
