#include "music/playlist.h"

#include <gtest/gtest.h>

using Entries = std::vector<std::string>;

TEST(Playlist, ResolvesRelativeEntriesAgainstTheListsFolder)
{
    EXPECT_EQ(ParseM3u("one.mp3\nsub/two.wav\n/abs/three.mid\n", "/music/lists"),
              (Entries{"/music/lists/one.mp3", "/music/lists/sub/two.wav", "/abs/three.mid"}));
    EXPECT_EQ(ParseM3u("a.mp3", "/music/"), (Entries{"/music/a.mp3"}));
}

TEST(Playlist, SkipsCommentsBlankLinesAndLineEndingsOfOtherSystems)
{
    const char* text = "\xEF\xBB\xBF#EXTM3U\r\n"
                       "#EXTINF:123,Artist - Title\r\n"
                       "  first.mp3  \r\n"
                       "\r\n"
                       "\t\n"
                       "second.wma";
    EXPECT_EQ(ParseM3u(text, "/m"), (Entries{"/m/first.mp3", "/m/second.wma"}));
    EXPECT_TRUE(ParseM3u("", "/m").empty());
    EXPECT_TRUE(ParseM3u("#EXTM3U\n# nothing\n", "/m").empty());
}

TEST(Playlist, TakesLocalFileUrlsAndDropsOtherUrls)
{
    EXPECT_EQ(ParseM3u("file:///music/My%20Song.mp3\nhttp://radio.invalid/stream\nfile://host/x.mp3\n"
                       "FILE:///a/b%2.mp3\n",
                       "/m"),
              (Entries{"/music/My Song.mp3", "/a/b%2.mp3"}));
}

TEST(Playlist, BackslashesOfListsFromOtherSystemsBecomeSlashes)
{
    EXPECT_EQ(ParseM3u("Album\\Track 1.mp3\n", "/m"), (Entries{"/m/Album/Track 1.mp3"}));
}
