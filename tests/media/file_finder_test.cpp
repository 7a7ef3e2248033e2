#include "media/file_finder.h"
#include "media/path_helpers.h"

#include "app/test_log.h"
#include "media/temp_tree.h"
#include "support/unprivileged.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <random>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace {
std::set<std::string> AsSet(const StringList& l) { return {l.begin(), l.end()}; }

std::string Sep() { return std::string(1, kPathSeparator); }
} // namespace

TEST(FileFinder, ListsPlainFilesOnlyAndNeverDotEntries)
{
    TempTree t;
    std::string a = t.File("a.jpg");
    std::string b = t.File("B.JPG");
    t.File(".hidden.jpg");
    t.File("c.gif");
    t.Dir("folder.jpg");
    ASSERT_EQ(::mkfifo(t.Path("pipe.jpg").c_str(), 0644), 0);
    fs::create_symlink(a, t.Path("link.jpg"));
    fs::create_symlink(t.Path("gone"), t.Path("dangling.jpg"));

    FileFinder finder;
    std::string link = t.Path("link.jpg");
    EXPECT_EQ(AsSet(finder.ListFiles(JoinPath(t.Root(), "*.jpg"), FileAttr::kPlainFiles)),
              (std::set<std::string>{a, b, link}));
    // Filter 0 is the plain-files filter too.
    EXPECT_EQ(finder.ListFiles(JoinPath(t.Root(), "*.jpg"), 0).size(), 3u);

    StringList all = finder.ListFiles(JoinPath(t.Root(), "*"), FileAttr::kEverything);
    EXPECT_EQ(all.size(), 7u); // the dangling link has nothing to report
    for (const std::string& p : all) {
        EXPECT_NE(GetFileName(p), ".");
        EXPECT_NE(GetFileName(p), "..");
    }
    EXPECT_EQ(AsSet(finder.ListFiles(JoinPath(t.Root(), "*"), FileAttr::kDevice)),
              (std::set<std::string>{t.Path("pipe.jpg")}));
    EXPECT_EQ(AsSet(finder.ListFiles(JoinPath(t.Root(), "*"), FileAttr::kHidden)),
              (std::set<std::string>{t.Path(".hidden.jpg")}));
}

TEST(FileFinder, FindNextContinuesTheOpenSearchAndReportsAttributes)
{
    TempTree t;
    t.File("one.txt");
    t.Dir("sub");
    FileFinder finder;
    std::string name;
    std::set<std::string> seen;
    for (bool f = finder.FindNext(name, JoinPath(t.Root(), "*"), FileAttr::kEverything); f;
         f = finder.FindNext(name, "", FileAttr::kEverything)) {
        seen.insert(name);
        EXPECT_EQ(finder.LastAttributes(), name == "sub" ? FileAttr::kDirectory : FileAttr::kNormal);
    }
    EXPECT_TRUE(name.empty());
    EXPECT_EQ(seen, (std::set<std::string>{"one.txt", "sub"}));
    EXPECT_FALSE(finder.FindNext(name, JoinPath(t.Path("missing"), "*"), FileAttr::kEverything));
    EXPECT_FALSE(finder.FindNext(name, "", FileAttr::kEverything));
}

TEST(FileFinder, ABarePatternListsTheWorkingFolderWithBareNames)
{
    TempTree t;
    t.File("a.jpg");
    t.File("b.txt");
    fs::path old = fs::current_path();
    fs::current_path(t.Root());
    StringList l = FileFinder().ListFiles("*.jpg", FileAttr::kPlainFiles);
    fs::current_path(old);
    EXPECT_EQ(l, StringList{"a.jpg"});
}

TEST(FileFinder, SubfoldersIncludeHiddenOnesAndLinkedFolders)
{
    TempTree t;
    t.Dir("A");
    t.Dir(".cache");
    t.File("file");
    fs::create_directory_symlink(t.Path("A"), t.Path("toA"));
    FileFinder finder;
    EXPECT_EQ(AsSet(finder.ListSubfolders(t.Root(), false)), (std::set<std::string>{"A", ".cache", "toA"}));
    EXPECT_EQ(AsSet(finder.ListSubfolders(t.Root() + Sep(), true)),
              (std::set<std::string>{t.Path("A"), t.Path(".cache"), t.Path("toA")}));
}

TEST(FileFinder, WalkIsDepthFirstPreOrderInEnumerationOrder)
{
    TempTree t;
    for (const char* f : {"top1.jpg", "top2.jpg", "A/a1.jpg", "A/deep/ad.jpg", "A/a2.jpg", "B/b1.jpg",
                          "B/x/bx.jpg", ".hid/h.jpg", "A/.h.jpg"})
        t.File(f);
    FileFinder finder;
    StringList got = finder.ListFilesRecursive(JoinPath(t.Root(), "*.jpg"), FileAttr::kPlainFiles, true);

    // Expected: the folder's own files, then each sub-folder's whole tree, in
    // the order the file system lists them.
    std::function<void(const std::string&, StringList&)> expect = [&](const std::string& dir, StringList& out) {
        StringList own = finder.ListFiles(JoinPath(dir, "*.jpg"), FileAttr::kPlainFiles);
        out.insert(out.end(), own.begin(), own.end());
        for (const std::string& sub : finder.ListSubfolders(dir, true))
            expect(sub, out);
    };
    StringList want;
    expect(t.Root(), want);
    EXPECT_EQ(got, want);
    EXPECT_EQ(got.size(), 8u);
    EXPECT_EQ(AsSet(StringList(got.begin(), got.begin() + 2)),
              (std::set<std::string>{t.Path("top1.jpg"), t.Path("top2.jpg")}));
    // The hidden folder is walked, the hidden file is not listed.
    EXPECT_EQ(std::count(got.begin(), got.end(), t.Path(".hid/h.jpg")), 1);
    EXPECT_EQ(std::count(got.begin(), got.end(), t.Path("A/.h.jpg")), 0);

    EXPECT_EQ(finder.ListFilesRecursive(JoinPath(t.Root(), "*.jpg"), FileAttr::kPlainFiles, false).size(), 2u);
}

TEST(FileFinder, RecursiveListAppendsToTheGivenList)
{
    TempTree t;
    t.File("a.jpg");
    StringList list{"kept"};
    FileFinder finder;
    finder.ListFilesRecursive(JoinPath(t.Root(), "*.jpg"), FileAttr::kPlainFiles, true, list);
    finder.ListFilesRecursive(JoinPath(t.Root(), "*.JPG"), FileAttr::kPlainFiles, true, list);
    EXPECT_EQ(list, (StringList{"kept", t.Path("a.jpg"), t.Path("a.jpg")}));
}

TEST(FileFinder, MissingFolderGivesNothingAndLogsNothing)
{
    ScopedTestLog log;
    TempTree t;
    FileFinder finder;
    EXPECT_TRUE(finder.ListFilesRecursive(JoinPath(t.Path("nope"), "*.jpg"), FileAttr::kPlainFiles, true).empty());
    EXPECT_TRUE(finder.ListSubfolders(t.Path("nope"), true).empty());
    EXPECT_TRUE(log.Messages().empty());
}

TEST(FileFinder, LinkCyclesAreNotFollowedButLinkedTreesAre)
{
    TempTree t;
    t.File("root.jpg");
    t.File("A/a.jpg");
    t.File("other/o.jpg");
    fs::create_directory_symlink(t.Root(), t.Path("A/up"));         // back to the root
    fs::create_directory_symlink(t.Path("A"), t.Path("A/self"));     // to itself
    fs::create_directory_symlink(t.Path("other"), t.Path("A/side")); // no cycle
    StringList got = FileFinder().ListFilesRecursive(JoinPath(t.Root(), "*.jpg"), FileAttr::kPlainFiles, true);
    std::multiset<std::string> bag(got.begin(), got.end());
    EXPECT_EQ(bag.count(t.Path("root.jpg")), 1u);
    EXPECT_EQ(bag.count(t.Path("A/a.jpg")), 1u);
    EXPECT_EQ(bag.count(t.Path("other/o.jpg")), 1u);
    EXPECT_EQ(bag.count(t.Path("A/side/o.jpg")), 1u);
    EXPECT_EQ(got.size(), 4u);
}

TEST(FileFinder, FolderPathsBeyondTheLimitAreSkipped)
{
    TempTree t;
    // Nested folders with a file each, until one folder path is too long.
    std::vector<std::string> folders;
    std::string rel;
    do {
        rel += (rel.empty() ? "" : "/") + std::string(200, 'd');
        t.File(rel + "/f.jpg");
        folders.push_back(t.Path(rel));
    } while (folders.back().size() <= FileFinder::kMaxFolderPath);
    ASSERT_GE(folders.size(), 2u);

    ScopedTestLog log;
    StringList got = FileFinder().ListFilesRecursive(JoinPath(t.Root(), "*.jpg"), FileAttr::kPlainFiles, true);
    ASSERT_EQ(got.size(), folders.size() - 1);
    EXPECT_EQ(got.back(), JoinPath(folders[folders.size() - 2], "f.jpg"));
    auto messages = log.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("FileFinder: Folder path too long, skipped: ", 0), 0u);
}

TEST(FileFinder, UnreadableFolderContributesNothing)
{
    TempTree t;
    t.File("ok.jpg");
    t.File("locked/secret.jpg");
    t.File("after/b.jpg");
    fs::permissions(t.Path("locked"), fs::perms::none);
    // Permissions do not stop the superuser: the walk runs as an ordinary user.
    auto walk = support::AsUnprivileged([&] {
        std::string out;
        StringList l = FileFinder().ListFilesRecursive(JoinPath(t.Root(), "*.jpg"), FileAttr::kPlainFiles, true);
        for (const std::string& p : l)
            out += p + "\n";
        return out;
    });
    ASSERT_TRUE(walk);
    std::set<std::string> got;
    for (std::size_t s = 0, e; (e = walk->find('\n', s)) != std::string::npos; s = e + 1)
        got.insert(walk->substr(s, e - s));
    EXPECT_EQ(got, (std::set<std::string>{t.Path("ok.jpg"), t.Path("after/b.jpg")}));
}

TEST(FileFinder, FoldersVanishingDuringTheWalkAreSkipped)
{
    TempTree t;
    std::set<std::string> stable;
    for (int i = 0; i < 20; ++i)
        stable.insert(t.File("keep" + std::to_string(i) + "/k.jpg"));
    std::atomic<bool> stop{false};
    std::thread churn([&] {
        for (int n = 0; !stop; ++n) {
            std::string rel = "churn" + std::to_string(n % 8);
            std::error_code ec;
            fs::create_directories(t.Path(rel + "/x/y"), ec);
            std::ofstream(t.Path(rel + "/x/y/c.jpg")) << "c";
            fs::remove_all(t.Path(rel), ec);
        }
    });
    for (int round = 0; round < 200; ++round) {
        StringList got = FileFinder().ListFilesRecursive(JoinPath(t.Root(), "*.jpg"), FileAttr::kPlainFiles, true);
        std::set<std::string> bag(got.begin(), got.end());
        for (const std::string& k : stable)
            ASSERT_EQ(bag.count(k), 1u);
        for (const std::string& p : got)
            ASSERT_TRUE(stable.count(p) || p.find("/churn") != std::string::npos) << p;
    }
    stop = true;
    churn.join();
}

TEST(FileFinder, OneWalkForManyMasksEqualsOneWalkPerMask)
{
    TempTree t;
    std::mt19937 rng(12345);
    const char* exts[] = {"jpg", "JPG", "jpeg", "Jpeg", "gif", "bmp", "png", "txt", "jpg.bak"};
    const char* stems[] = {"a", "pic", "IMG_0001", "Apple", "x.y"};
    std::vector<std::string> dirs{""};
    for (int i = 0; i < 30; ++i) {
        std::string parent = dirs[rng() % dirs.size()];
        std::string name = (rng() % 5 == 0 ? "." : "") + std::string("d") + std::to_string(i);
        dirs.push_back(parent.empty() ? name : parent + "/" + name);
        t.Dir(dirs.back());
    }
    for (int i = 0; i < 400; ++i) {
        std::string dir = dirs[rng() % dirs.size()];
        std::string name = (rng() % 10 == 0 ? "." : "") + std::string(stems[rng() % 5]) + std::to_string(i) +
                           "." + exts[rng() % 9];
        t.File(dir.empty() ? name : dir + "/" + name);
    }
    const std::vector<std::string_view> masks{"*.jpg", "*.jpeg", "a*", "*.?if", "*.jpg", "*"};
    for (bool recurse : {true, false}) {
        FileFinder finder;
        StringList perMask{"before"};
        for (std::string_view m : masks)
            finder.ListFilesRecursive(JoinPath(t.Root(), m), FileAttr::kPlainFiles, recurse, perMask);
        StringList once{"before"};
        finder.ListFilesByMasks(t.Root(), masks, FileAttr::kPlainFiles, recurse, once);
        EXPECT_EQ(once, perMask);
        EXPECT_GT(once.size(), recurse ? 600u : 20u);
        EXPECT_LT(AsSet(once).size(), once.size()); // files matching several masks recur
    }
    // A trailing separator on the folder changes nothing.
    StringList a, b;
    FileFinder().ListFilesByMasks(t.Root() + Sep(), masks, FileAttr::kPlainFiles, true, a);
    FileFinder().ListFilesByMasks(t.Root(), masks, FileAttr::kPlainFiles, true, b);
    EXPECT_EQ(a, b);
}
