#pragma once
// What the terminal, first-run, xscreensaver-list and xsecurelock tests share:
// the programs under test, photos for a session, and where the show drew.
#include "host_session.h"
#include "support/show_harness.h"

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

namespace desktop {

inline bool Have(const std::string& program)
{
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// The installed or built tessaview-image.
inline std::filesystem::path ImageExecutable()
{
    return host::UseInstalled() ? std::filesystem::path("/usr/bin/tessaview-image")
                                : std::filesystem::path(TSV_IMAGE_EXECUTABLE);
}

// Three photos in the session's folder, and settings with the log on that show them.
inline void PreparePhotos(host::Session& session)
{
    show::WritePhoto(session.Photos() / "red.bmp", 0xC02020);
    show::WritePhoto(session.Photos() / "green.bmp", 0x20C020);
    show::WritePhoto(session.Photos() / "blue.bmp", 0x2020C0);
    session.WriteSettings();
}

// The window the show drew into, as its log names it; 0 when it names none.
inline unsigned long ParentFromLog(const host::Session& session)
{
    std::smatch m;
    const std::string log = host::ReadAll(session.LogPath());
    if (!std::regex_search(log, m, std::regex(R"(with a parent \(Preview=0 hWnd=([0-9a-f]+)\))")))
        return 0;
    return std::stoul(m[1].str(), nullptr, 16);
}

} // namespace desktop
