// What `cmake --install` puts down for a desktop: the hack link and the hosts'
// entries, the settings entry, the icon and the manual pages, checked with the
// desktop's own tools where they are installed.
#include "support/support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {
using support::Have;

// A command's output (stdout and stderr) and exit status.
std::pair<std::string, int> Capture(const std::string& command)
{
    auto [out, rc] = support::Shell(command + " 2>&1");
    return {out, rc};
}

// The keys of the [Desktop Entry] group.
std::map<std::string, std::string> DesktopEntry(const fs::path& file)
{
    std::map<std::string, std::string> keys;
    std::ifstream in(file);
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[')
            inGroup = line == "[Desktop Entry]";
        else if (inGroup && line.find('=') != std::string::npos)
            keys[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    }
    return keys;
}

// Width and height from a PNG's header.
std::pair<int, int> PngSize(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 24> h{};
    in.read(reinterpret_cast<char*>(h.data()), h.size());
    if (!in || h[1] != 'P' || h[2] != 'N' || h[3] != 'G')
        return {0, 0};
    auto be = [&](int at) { return h[at] << 24 | h[at + 1] << 16 | h[at + 2] << 8 | h[at + 3]; };
    return {be(16), be(20)};
}

class InstallTest : public ::testing::Test {
protected:
    // The folder of this process's installs, removed when it ends.
    static const fs::path& Base()
    {
        static const support::TempFolder base("install");
        return base.Path();
    }
    // One install per prefix, shared by the tests of this process.
    static fs::path Install(const std::string& prefix)
    {
        static std::map<std::string, fs::path> done;
        if (auto it = done.find(prefix); it != done.end())
            return it->second;
        fs::path destdir = Base() / std::to_string(done.size());
        auto [out, rc] = Capture("DESTDIR=" + destdir.string() + " cmake --install " TSV_BUILD_DIR " --prefix " + prefix);
        EXPECT_EQ(rc, 0) << out;
        return done[prefix] = destdir / fs::path(prefix).relative_path();
    }
};
} // namespace

TEST_F(InstallTest, HackLinkAndHostEntriesPointAtTheInstalledProgram)
{
    for (std::string prefix : {"/usr", "/usr/local"}) {
        SCOPED_TRACE(prefix);
        fs::path usr = Install(prefix);
        // xscreensaver's hack folder, and the one xsecurelock searches.
        for (const char* folder : {"libexec/xscreensaver", "lib/xscreensaver"}) {
            fs::path link = usr / folder / "tessaview";
            ASSERT_TRUE(fs::is_symlink(link)) << folder;
            // Relative, so it holds in a package and in any DESTDIR.
            EXPECT_TRUE(fs::read_symlink(link).is_relative());
            EXPECT_TRUE(fs::equivalent(link, usr / "bin/tessaview"));
        }
        EXPECT_TRUE(fs::exists(usr / "share/xscreensaver/config/tessaview.xml"));

        // The MATE theme runs the hack link of the prefix installed to, not the build's.
        fs::path theme = usr / "share/applications/screensavers/tessaview.desktop";
        auto keys = DesktopEntry(theme);
        EXPECT_EQ(keys["Exec"], prefix + "/libexec/xscreensaver/tessaview --root");
        EXPECT_EQ(keys["TryExec"], prefix + "/libexec/xscreensaver/tessaview");
        EXPECT_EQ(keys["Categories"], "Screensaver;");
        EXPECT_EQ(keys["Name"], "Tessaview");
        if (Have("desktop-file-validate")) {
            auto [out, rc] = Capture("desktop-file-validate " + theme.string());
            EXPECT_EQ(rc, 0) << out;
            EXPECT_EQ(out.find("error"), std::string::npos) << out;
        }
    }
}

TEST_F(InstallTest, SettingsEntryOpensTheSheetAndIsNoSaverTheme)
{
    fs::path entry = Install("/usr") / "share/applications/tessaview-settings.desktop";
    auto keys = DesktopEntry(entry);
    EXPECT_EQ(keys["Name"], "Tessaview Settings");
    EXPECT_EQ(keys["Exec"], "tessaview /c");
    EXPECT_EQ(keys["Icon"], "tessaview");
    EXPECT_NE(keys["Categories"].find("Settings;"), std::string::npos);
    // The MATE screen saver lists every application of this category as a
    // theme and would run the sheet as a screen saver.
    EXPECT_EQ(keys["Categories"].find("Screensaver"), std::string::npos);
    if (!Have("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate is not installed";
    auto [out, rc] = Capture("desktop-file-validate " + entry.string());
    EXPECT_EQ(rc, 0) << out;
    EXPECT_EQ(out, "");
}

TEST_F(InstallTest, IconComesAtTheThemeSizesItClaims)
{
    fs::path hicolor = Install("/usr") / "share/icons/hicolor";
    int count = 0;
    for (auto& dir : fs::directory_iterator(hicolor)) {
        std::string name = dir.path().filename().string();
        int size = std::atoi(name.c_str());
        ASSERT_EQ(name, std::to_string(size) + "x" + std::to_string(size));
        EXPECT_EQ(PngSize(dir.path() / "apps/tessaview.png"), std::make_pair(size, size)) << name;
        ++count;
    }
    // Menus look for 48 px; panels for 16 to 24 px.
    EXPECT_TRUE(fs::exists(hicolor / "48x48/apps/tessaview.png"));
    EXPECT_TRUE(fs::exists(hicolor / "16x16/apps/tessaview.png"));
    EXPECT_GE(count, 5);
}

TEST_F(InstallTest, ManualPagesFormatCleanlyAndDescribeModesFilesAndSignals)
{
    if (!Have("man") || !Have("lexgrog"))
        GTEST_SKIP() << "man-db is not installed";
    fs::path man1 = Install("/usr") / "share/man/man1";
    for (const char* page : {"tessaview.1.gz", "tessaview-image.1.gz"}) {
        SCOPED_TRACE(page);
        fs::path file = man1 / page;
        ASSERT_TRUE(fs::exists(file));
        // man --warnings prints groff's complaints; the formatted page goes nowhere.
        auto [warnings, rc] =
            Capture("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 " + file.string() + " >/dev/null");
        EXPECT_EQ(rc, 0);
        EXPECT_EQ(warnings, "");
        // groff's every warning, not only man's selection.
        auto [all, rc3] = Capture("zcat " + file.string() + " | groff -ww -z -man -Tutf8");
        EXPECT_EQ(rc3, 0);
        EXPECT_EQ(all, "");
        auto [whatis, rc2] = Capture("lexgrog " + file.string());
        EXPECT_EQ(rc2, 0) << whatis;
    }
    // Justified lines spread their words, so blanks are squeezed before the look-ups.
    auto [text, rc] = Capture("LC_ALL=C.UTF-8 MANWIDTH=200 man -l " + (man1 / "tessaview.1.gz").string() +
                              " | col -b | tr -s ' \\t\\n' ' '");
    ASSERT_EQ(rc, 0);
    for (const char* needed : {"RUN MODES", "/s", "/c", "/p window", "-root", "-window-id window",
                               "XSCREENSAVER_WINDOW", "~/.config/Kelvarin/Tessaview.ini",
                               "~/.local/share/Tessaview/Tessaview.log", "SIGTERM", "SIGHUP", "SIGINT",
                               "--add-to-xscreensaver", "--help", "--version", "~/.xscreensaver",
                               "cannot open display", "HEIC/HEIF, AVIF, WebP and TIFF", "ShowMoreFormats",
                               "/usr/lib/xscreensaver/tessaview", "xsecurelock", "README.Debian", "Caption=2"})
        EXPECT_NE(text.find(needed), std::string::npos) << needed;
    auto [image, rc4] =
        Capture("LC_ALL=C.UTF-8 MANWIDTH=200 man -l " + (man1 / "tessaview-image.1.gz").string() +
                " | col -b | tr -s ' \\t\\n' ' '");
    ASSERT_EQ(rc4, 0);
    for (const char* needed : {"--version", "--help", "HEIC/HEIF, AVIF, WebP and TIFF", "--caption n"})
        EXPECT_NE(image.find(needed), std::string::npos) << needed;
}

TEST_F(InstallTest, SoftwareCentresFindTheProgramThroughItsAppStreamEntry)
{
    fs::path usr = Install("/usr");
    fs::path entry = usr / "share/metainfo/org.example.tessaview.metainfo.xml";
    ASSERT_TRUE(fs::exists(entry));
    const std::string xml = [&] {
        std::ifstream in(entry);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }();
    // The entry's launchable is the settings entry installed beside it.
    EXPECT_NE(xml.find("<launchable type=\"desktop-id\">tessaview-settings.desktop</launchable>"), std::string::npos);
    EXPECT_TRUE(fs::exists(usr / "share/applications/tessaview-settings.desktop"));
    EXPECT_NE(xml.find("<project_license>MIT</project_license>"), std::string::npos);
    EXPECT_NE(xml.find("<release version=\"" TSV_VERSION "\""), std::string::npos);
    if (!Have("appstreamcli"))
        GTEST_SKIP() << "appstream is not installed";
    auto [out, rc] = Capture("appstreamcli validate --no-net --pedantic " + entry.string());
    EXPECT_EQ(rc, 0) << out;
    EXPECT_NE(out.find("Validation was successful."), std::string::npos) << out;
    EXPECT_EQ(out.find("Validation was successful:"), std::string::npos) << "remarks: " << out;
}

TEST_F(InstallTest, PackageDocumentsAndSamplesAreInPlace)
{
    fs::path usr = Install("/usr");
    EXPECT_TRUE(fs::exists(usr / "share/doc/tessaview/README.Debian"));
    auto [copyright, rc0] = Capture("cat " + (usr / "share/doc/tessaview/copyright").string());
    EXPECT_EQ(rc0, 0);
    EXPECT_NE(copyright.find("\nLicense: Expat\n Permission is hereby granted"), std::string::npos) << copyright;
    auto [changelog, rc] = Capture("zcat " + (usr / "share/doc/tessaview/changelog.gz").string());
    EXPECT_EQ(rc, 0);
    // The changelog's newest entry names the version being installed.
    EXPECT_EQ(changelog.rfind("tessaview (" TSV_VERSION ")", 0), 0u) << changelog;
    int photos = 0;
    for (auto& f : fs::directory_iterator(usr / "share/tessaview/samples"))
        photos += f.path().extension() == ".jpg" || f.path().extension() == ".png";
    EXPECT_GE(photos, 6);
}
