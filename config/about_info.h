#pragma once
// What the About page shows and keeps, free of any widget: the version line,
// the logging switch in the store, and where the log lies.
#include <optional>
#include <string>
#include <string_view>

class ProfileStore;

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int patch = 0;
    bool operator==(const ProgramVersion&) const = default;
};

// "major.minor.patch" (a fourth part is allowed and ignored), each part a
// 16-bit number; nothing for any other text.
std::optional<ProgramVersion> ParseProgramVersion(std::string_view text);

// The version this build was made as.
std::optional<ProgramVersion> ReadProgramVersion();

// Fills the format's "%d" fields with major, minor and patch, or with 0, 0, 0
// when the version is unknown. "%%" gives "%". The format is a control's
// text, so nothing else in it is taken as a conversion: it is copied as is.
std::string FormatVersionLine(std::string_view format, const std::optional<ProgramVersion>& version);

// The logging switch ("Settings"/"Trace", default 0), read from and written
// to the store itself, not the settings record.
int LoadTraceSetting(ProfileStore& store);
bool SaveTraceSetting(ProfileStore& store, int trace);

// The log file the program writes when tracing is on.
std::string LogFilePath();

// The page the About link opens: the README installed beside the program
// (<prefix>/share/doc/tessaview/README.md for <prefix>/bin), else the one of
// the source tree a build runs from; the installed place when neither exists.
std::string HomePageAddress(const std::string& executableFolder, const std::string& sourceReadme);
std::string HomePageAddress();
