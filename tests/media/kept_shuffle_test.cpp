#include "media/kept_shuffle.h"

#include "app/test_log.h"
#include "media/image_list.h"
#include "media/image_selection.h"
#include "media/media_test_fixture.h"
#include "media/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {
// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

StringList Photos(const std::string& prefix, int count)
{
    StringList list;
    for (int i = 0; i < count; ++i)
        list.push_back(prefix + std::to_string(i) + ".jpg");
    return list;
}

bool HasPrefix(const std::vector<std::string>& lines, const std::string& prefix)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

class KeptShuffleTest : public MediaTest {
protected:
    // One run of a show over `list`, as the build leaves it: the kept cycle
    // resumes, then `draws` random choices.
    StringList Run(const StringList& list, int draws)
    {
        CSaverSettings run;
        run.store = &store;
        run.KeepShuffle = 1;
        run.ImageFiles = list;
        run.AllImageFiles = list;
        StartKeptShuffle(run, statePath);
        EXPECT_TRUE(run.keptShuffle);
        StringList drawn;
        for (int i = 0; i < draws; ++i)
            drawn.push_back(ChooseBitmap(run, true));
        return drawn;
    }
    ShuffleStateFile::Contents Stored() const { return ShuffleStateFile(statePath).Read(); }
    std::vector<std::uint64_t> KeysOf(const StringList& paths) const
    {
        std::vector<std::uint64_t> keys;
        for (const auto& p : paths)
            keys.push_back(PhotoKey(p));
        std::sort(keys.begin(), keys.end());
        return keys;
    }
    std::vector<std::uint64_t> StoredKeys() const
    {
        auto keys = Stored().keys;
        std::sort(keys.begin(), keys.end());
        return keys;
    }

    TempTree tree;
    std::string statePath = tree.Path("Tessaview.shuffle");
};
} // namespace

TEST_F(KeptShuffleTest, CycleResumesAcrossRunsAndEndsAsWithinARun)
{
    const StringList all = Photos("/p/", 10);
    StringList first, second;
    {
        ScopedTestLog log;
        first = Run(all, 4);
        auto m = log.Messages();
        ASSERT_EQ(m.size(), 6u);
        EXPECT_EQ(m[0], "ChooseBitmap: No shuffle state in " + statePath + ", a new cycle begins");
        EXPECT_EQ(m[1], "ChooseBitmap: 10 of 10 not yet shown in this cycle");
        EXPECT_EQ(m[2].rfind("ChooseBitmap: GetRandom(10)= ", 0), 0u) << m[2];
        EXPECT_EQ(m[5].rfind("ChooseBitmap: GetRandom(7)= ", 0), 0u) << m[5];
    }
    EXPECT_EQ(StoredKeys(), KeysOf(first));
    {
        ScopedTestLog log;
        second = Run(all, 6);
        auto m = log.Messages();
        ASSERT_EQ(m.size(), 7u);
        // The next run draws, with the same lines, from the six not yet shown.
        EXPECT_EQ(m[0], "ChooseBitmap: 6 of 10 not yet shown in this cycle");
        EXPECT_EQ(m[1].rfind("ChooseBitmap: GetRandom(6)= ", 0), 0u) << m[1];
        EXPECT_EQ(m[6], "ChooseBitmap: Random, Last Image");
    }
    std::set<std::string> seen(first.begin(), first.end());
    seen.insert(second.begin(), second.end());
    EXPECT_EQ(seen, std::set<std::string>(all.begin(), all.end())) << "a photo came twice in one cycle";

    // The last photo ended the cycle: the file holds a new, empty one.
    auto stored = Stored();
    EXPECT_EQ(stored.status, ShuffleStateFile::Contents::kOk);
    EXPECT_TRUE(stored.keys.empty());
    ScopedTestLog log;
    Run(all, 1);
    EXPECT_EQ(log.Messages().front(), "ChooseBitmap: 10 of 10 not yet shown in this cycle");
    EXPECT_EQ(store.Writes(), std::vector<std::string>{});
}

TEST_F(KeptShuffleTest, AddedPhotosJoinAndRemovedOnesLeave)
{
    const StringList before = Photos("/p/", 6);
    const StringList shown = Run(before, 3);
    StringList notShown;
    for (const auto& p : before)
        if (std::find(shown.begin(), shown.end(), p) == shown.end())
            notShown.push_back(p);

    // One shown and one not shown are deleted, two new ones arrive.
    StringList after = {shown[1], shown[2], notShown[1], notShown[2], "/p/new1.jpg", "/p/new2.jpg"};
    std::sort(after.begin(), after.end());
    CSaverSettings run;
    run.store = &store;
    run.KeepShuffle = 1;
    run.ImageFiles = run.AllImageFiles = after;
    ScopedTestLog log;
    StartKeptShuffle(run, statePath);
    EXPECT_EQ(log.Messages(), std::vector<std::string>{"ChooseBitmap: 4 of 6 not yet shown in this cycle"});
    StringList expected = {notShown[1], notShown[2], "/p/new1.jpg", "/p/new2.jpg"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(run.ImageFiles, expected) << "in list order";
    EXPECT_EQ(run.AllImageFiles, after);
    // The removed photo's key is gone from the file.
    EXPECT_EQ(StoredKeys(), KeysOf({shown[1], shown[2]}));
    EXPECT_EQ(std::filesystem::file_size(statePath), 8u + 2 * 8u);

    // Every photo left is shown once before the cycle ends.
    std::set<std::string> drawn;
    for (int i = 0; i < 4; ++i)
        drawn.insert(ChooseBitmap(run, true));
    EXPECT_EQ(drawn, std::set<std::string>(expected.begin(), expected.end()));
    EXPECT_TRUE(Stored().keys.empty());
}

TEST_F(KeptShuffleTest, SwitchedOffFolderLeavesTheCycleAndReturnsNotYetShown)
{
    TempTree photos;
    const std::string x1 = photos.File("x/1.jpg"), x2 = photos.File("x/2.jpg"), x3 = photos.File("x/3.jpg");
    const std::string y1 = photos.File("y/1.jpg"), y2 = photos.File("y/2.jpg");
    ASSERT_TRUE(ShuffleStateFile(statePath).Replace(KeysOf({x1, y1})));

    auto start = [&](const StringList& folders) {
        CSaverSettings run;
        run.store = &store;
        run.KeepShuffle = 1;
        run.ImageFolders = folders;
        BuildImageList(run, false);
        StartKeptShuffle(run, statePath);
        return std::move(run.ImageFiles);
    };
    ScopedTestLog log;
    EXPECT_EQ(start({photos.Path("x"), ":" + photos.Path("y")}), (StringList{x2, x3}));
    EXPECT_EQ(StoredKeys(), KeysOf({x1}));
    // Switched on again, its photos come back as not yet shown.
    EXPECT_EQ(start({photos.Path("x"), photos.Path("y")}), (StringList{x2, x3, y1, y2}));
    auto m = log.Messages();
    EXPECT_TRUE(HasPrefix(m, "ChooseBitmap: 2 of 3 not yet shown"));
    EXPECT_TRUE(HasPrefix(m, "ChooseBitmap: 4 of 5 not yet shown"));
}

TEST_F(KeptShuffleTest, RepeatedPathsAreOnePhoto)
{
    // A folder inside another configured one lists its photos twice.
    StringList all = {"/p/a.jpg", "/p/b.jpg", "/p/a.jpg", "/p/c.jpg", "/p/b.jpg"};
    ASSERT_TRUE(ShuffleStateFile(statePath).Replace(KeysOf({"/p/b.jpg"})));
    StringList files = all;
    KeptShuffle kept(statePath);
    ScopedTestLog log;
    kept.Start(files, all);
    EXPECT_EQ(all, (StringList{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}));
    EXPECT_EQ(files, (StringList{"/p/a.jpg", "/p/c.jpg"}));
    EXPECT_EQ(log.Messages(), std::vector<std::string>{"ChooseBitmap: 2 of 3 not yet shown in this cycle"});
}

TEST_F(KeptShuffleTest, BrokenStateStartsAFreshCycle)
{
    const StringList all = Photos("/p/", 5);
    std::string record(8, '\0'); // a valid record of the first photo, for the damaged cases
    {
        ASSERT_TRUE(ShuffleStateFile(statePath).Replace(KeysOf({all[0]})));
        std::ifstream in(statePath, std::ios::binary);
        in.seekg(8);
        in.read(record.data(), 8);
    }
    const std::string header = "TsvShuf1";
    struct Case {
        const char* name;
        std::string bytes;
        const char* problem;
    };
    std::string flipped = header + record;
    flipped[12] ^= 0x10;
    const std::vector<Case> cases = {
        {"empty", "", "truncated"},
        {"short header", "TsvS", "truncated"},
        {"other file", "[Settings]\nDelay=5\n", "not a shuffle state"},
        {"torn record", header + record + record.substr(0, 5), "truncated"},
        {"zero-filled tail", header + record + std::string(8, '\0'), "damaged"},
        {"flipped bit", flipped, "damaged"},
        {"garbage records", header + std::string(64, '\x5a'), "damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(statePath);
        std::ofstream(statePath, std::ios::binary) << c.bytes;
        ScopedTestLog log;
        StringList drawn = Run(all, 2);
        EXPECT_EQ(log.Messages().at(0), "ChooseBitmap: Shuffle state " + statePath + " refused (" + c.problem +
                                            "), a new cycle begins");
        EXPECT_EQ(log.Messages().at(1), "ChooseBitmap: 5 of 5 not yet shown in this cycle");
        // Replaced by a sound file that goes on with this run.
        EXPECT_EQ(StoredKeys(), KeysOf(drawn));
    }

    // Things that are no file of ours at all: the show neither stalls nor stops.
    std::filesystem::remove(statePath);
    ASSERT_EQ(mkfifo(statePath.c_str(), 0600), 0);
    {
        ScopedTestLog log;
        Run(all, 1);
        EXPECT_EQ(log.Messages().at(0),
                  "ChooseBitmap: Shuffle state " + statePath + " refused (not a regular file), a new cycle begins");
        EXPECT_EQ(Stored().status, ShuffleStateFile::Contents::kOk);
    }
    std::filesystem::remove(statePath);
    {
        // A sparse file beyond the size limit is refused unread.
        std::ofstream(statePath) << header;
        std::filesystem::resize_file(statePath, ShuffleStateFile::kMaxBytes + 8);
        ScopedTestLog log;
        Run(all, 1);
        EXPECT_EQ(log.Messages().at(0),
                  "ChooseBitmap: Shuffle state " + statePath + " refused (too large), a new cycle begins");
        EXPECT_LT(std::filesystem::file_size(statePath), 100u);
    }
    std::filesystem::remove(statePath);
    std::filesystem::create_directory(statePath);
    {
        ScopedTestLog log;
        EXPECT_EQ(Run(all, 3).size(), 3u);
        auto m = log.Messages();
        EXPECT_TRUE(HasPrefix(m, "ChooseBitmap: Shuffle state " + statePath + " refused (not a regular file)"));
        EXPECT_TRUE(HasPrefix(m, "ChooseBitmap: Can't write shuffle state " + statePath));
    }
}

TEST_F(KeptShuffleTest, UnwritableStateIsLoggedOnceAndTheShowGoesOn)
{
    // A plain file where the folder should be: nothing can be created there.
    tree.File("blocked", "x");
    statePath = tree.Path("blocked/Tessaview.shuffle");
    const StringList all = Photos("/p/", 4);
    ScopedTestLog log;
    StringList drawn = Run(all, 8);
    EXPECT_EQ(std::set<std::string>(drawn.begin(), drawn.begin() + 4), std::set<std::string>(all.begin(), all.end()));
    auto m = log.Messages();
    EXPECT_EQ(std::count_if(m.begin(), m.end(),
                            [](const std::string& l) { return l.rfind("ChooseBitmap: Can't write", 0) == 0; }),
              1);
    EXPECT_EQ(m.at(0), "ChooseBitmap: Shuffle state " + statePath + " refused (unreadable: Not a directory), a new "
                                                                       "cycle begins");
}

// What a show does with its image list at start: build it, then take up the
// kept cycle unless it is a preview.
void StartShowLists(CSaverSettings& settings, bool preview)
{
    BuildImageList(settings, false);
    if (!preview)
        StartKeptShuffle(settings);
}

TEST_F(KeptShuffleTest, OffOrPreviewOrEmptyListChangeNothing)
{
    TempTree photos;
    photos.File("a/1.jpg");
    photos.File("a/2.jpg");
    photos.File("a/3.jpg");
    ScopedEnv state("XDG_STATE_HOME", tree.Path("state"));
    const std::string folder = tree.Path("state/Tessaview");

    // Sequential order with KeepShuffle on logs exactly what it logs with it off.
    auto sequentialRun = [&](int keepShuffle) {
        CSaverSettings run;
        run.store = &store;
        run.Random = 0;
        run.KeepShuffle = keepShuffle;
        run.ImageFolders = {photos.Path("a")};
        ScopedTestLog log;
        StartShowLists(run, false);
        for (int i = 0; i < 4; ++i)
            ChooseBitmap(run, run.Random != 0);
        EXPECT_FALSE(run.keptShuffle);
        return log.Messages();
    };
    EXPECT_EQ(sequentialRun(1), sequentialRun(0));
    EXPECT_FALSE(std::filesystem::exists(folder));

    // A preview does not use the kept cycle; an empty list leaves the state as it is.
    for (bool preview : {true, false}) {
        CSaverSettings run;
        run.store = &store;
        run.KeepShuffle = 1;
        run.ImageFolders = {preview ? photos.Path("a") : photos.Path("none")};
        ScopedTestLog log;
        StartShowLists(run, preview);
        EXPECT_FALSE(run.keptShuffle);
        EXPECT_FALSE(HasPrefix(log.Messages(), "ChooseBitmap:"));
    }
    EXPECT_FALSE(std::filesystem::exists(folder));

    // On in a show: the file goes into the state folder.
    CSaverSettings run;
    run.store = &store;
    run.KeepShuffle = 1;
    run.ImageFolders = {photos.Path("a")};
    StartShowLists(run, false);
    ASSERT_TRUE(run.keptShuffle);
    EXPECT_EQ(run.keptShuffle->StatePath(), folder + "/Tessaview.shuffle");
    EXPECT_TRUE(std::filesystem::is_regular_file(folder + "/Tessaview.shuffle"));
}

TEST_F(KeptShuffleTest, ShowsInSeveralProcessesNeverCorruptTheFile)
{
    // Four processes record photos and end cycles at once, each reading the
    // file back between writes, as shows of one user on two displays would.
    const StringList all = Photos("/p/", 50);
    ASSERT_TRUE(ShuffleStateFile(statePath).Replace({}));
    std::vector<pid_t> children;
    for (int c = 0; c < 4; ++c) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            KeptShuffle kept(statePath);
            ShuffleStateFile file(statePath);
            int bad = 0;
            for (int i = 0; i < 1000; ++i) {
                kept.Shown(all[static_cast<std::size_t>((i * 7 + c) % 50)], i % 5 == 4);
                // Read without the lock, as a show does that finds it held.
                bad += file.Read().status != ShuffleStateFile::Contents::kOk;
                if (i % 50 == 0) {
                    // A show starting meanwhile reads and compacts the file.
                    StringList list = all, files = all;
                    KeptShuffle(statePath).Start(files, list);
                }
            }
            _exit(bad == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a process read a broken file";
    }
    auto stored = Stored();
    EXPECT_EQ(stored.status, ShuffleStateFile::Contents::kOk) << stored.problem;
    const auto keys = KeysOf(all);
    for (auto key : stored.keys)
        EXPECT_TRUE(std::binary_search(keys.begin(), keys.end(), key));
}
