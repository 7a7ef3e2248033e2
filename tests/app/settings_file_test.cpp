// The settings file as users have it: a default record and a record with every
// field changed, written and read against files kept from earlier releases, so
// a change in how the record is described cannot move a key or a value.
#include "app/ini_profile_store.h"
#include "app/saver_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
fs::path Fixture(const std::string& name)
{
    return fs::path(TSV_SOURCE_DIR) / "tests/app/fixtures" / name;
}

std::string ReadAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every field away from its default, folders with a disabled entry and
// characters the file must quote.
void FillFullRecord(CSaverSettings& s)
{
    s.Delay = 7;
    s.Recursive = 0;
    s.Random = 0;
    s.ReduceBig = 0;
    s.SaveLastImage = 0;
    s.LastImageIndex = 12;
    s.ImageSortType = 2;
    s.SortNewFirst = 0;
    s.BackColor = 0x00336699;
    s.ExitMMove = 0;
    s.ExitMClick = 0;
    s.ExitKClick = 0;
    s.ShowPng = 0;
    s.AutoRotate = 0;
    s.ShowMoreFormats = 0;
    s.WindowsComposition = 2;
    s.KeepUpright = 1;
    s.SpinX = -99;
    s.SpinY = -7;
    s.SpinZ = 99;
    s.SpeedX = 99;
    s.SpeedY = 7;
    s.SpeedZ = 33;
    s.CubeSize = 5;
    s.KeepAspectRatio = 1;
    s.CubeFloat = 0;
    s.CubeTransp = 0;
    s.AllowSoftwareAcceleration = 1;
    s.EnableMonitorOff = 0;
    s.DisableMultiMonitor = 1;
    s.HideCursor = 1;
    s.SndRecursive = 0;
    s.SndRandom = 0;
    s.IncludeMid = 0;
    s.IncludeWav = 0;
    s.IncludeMP3 = 0;
    s.IncludeWMA = 0;
    s.SaveLastSound = 0;
    s.LastSoundIndex = 3;
    s.SndUseMCI = 1;
    s.ImageFolders = {"/photos/a", ":/photos/old b", "/photos/x=y ", "/photos/\xc3\xa9t\xc3\xa9"};
    s.SoundFolders = {"/music", ":/music/off"};
}

// Logs every read of the store it stands for, in order.
class ReadLog : public ProfileStore {
public:
    explicit ReadLog(ProfileStore& inner) : inner_(inner) {}
    int GetProfileInt(std::string_view section, std::string_view key, int def) override
    {
        reads += std::string(section) + "/" + std::string(key) + " int " + std::to_string(def) + "\n";
        return inner_.GetProfileInt(section, key, def);
    }
    std::string GetProfileString(std::string_view section, std::string_view key, std::string_view def) override
    {
        reads += std::string(section) + "/" + std::string(key) + " string \"" + std::string(def) + "\"\n";
        return inner_.GetProfileString(section, key, def);
    }
    std::vector<std::pair<std::string, std::string>> GetProfileSection(std::string_view section) override
    {
        reads += std::string(section) + "/* section\n";
        return inner_.GetProfileSection(section);
    }
    bool WriteProfileInt(std::string_view, std::string_view, int) override
    {
        ADD_FAILURE() << "a load writes nothing";
        return false;
    }
    bool WriteProfileString(std::string_view, std::string_view, std::string_view) override
    {
        ADD_FAILURE() << "a load writes nothing";
        return false;
    }
    std::string reads;

private:
    ProfileStore& inner_;
};

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("tsv-settings-file-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    // The file Save makes from nothing.
    std::string Saved(const CSaverSettings& s)
    {
        const fs::path file = dir_ / "Tessaview.ini";
        fs::remove(file);
        IniProfileStore store(file.string());
        s.Save(store);
        return ReadAll(file);
    }
    fs::path dir_;
};
} // namespace

TEST_F(SettingsFileTest, DefaultAndFullRecordsAreWrittenByteForByteAsBefore)
{
    CSaverSettings defaults;
    EXPECT_EQ(Saved(defaults), ReadAll(Fixture("settings-default.ini")));

    CSaverSettings full;
    FillFullRecord(full);
    EXPECT_EQ(Saved(full), ReadAll(Fixture("settings-full.ini")));
}

TEST_F(SettingsFileTest, KeysAreReadInTheirOrderWithTheirDefaults)
{
    // From nothing: the conditional indices are read, then the first-run check.
    MemoryProfileStore empty;
    ReadLog fromEmpty(empty);
    CSaverSettings a;
    a.Load(fromEmpty, {});
    EXPECT_EQ(fromEmpty.reads, ReadAll(Fixture("settings-reads-empty.txt")));

    // From the full file: no saved positions, so no indices are read.
    IniProfileStore full(Fixture("settings-full.ini").string());
    ReadLog fromFull(full);
    CSaverSettings b;
    b.Load(fromFull, {});
    EXPECT_EQ(fromFull.reads, ReadAll(Fixture("settings-reads-full.txt")));
}

TEST_F(SettingsFileTest, TheFullFileLoadsBackAsTheSameRecord)
{
    IniProfileStore file(Fixture("settings-full.ini").string());
    CSaverSettings loaded;
    loaded.Load(file, {"/shared", "/user"});
    EXPECT_EQ(Saved(loaded), ReadAll(Fixture("settings-full.ini")));
    CSaverSettings full;
    FillFullRecord(full);
    EXPECT_EQ(loaded.ImageFolders, full.ImageFolders);
    EXPECT_EQ(loaded.SoundFolders, full.SoundFolders);
    // What Save never writes comes back as its default.
    const CSaverSettings defaults;
    EXPECT_EQ(loaded.ReduceBig, defaults.ReduceBig);
    EXPECT_EQ(loaded.HideCursor, defaults.HideCursor);
    EXPECT_EQ(loaded.LastImageIndex, defaults.LastImageIndex);
    EXPECT_EQ(loaded.SndUseMCI, defaults.SndUseMCI);
}
