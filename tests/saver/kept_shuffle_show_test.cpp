// The real executable: short shows one after another over 30 photos, with the
// shuffle kept across runs and without it.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "support/show_harness.h"

#include <algorithm>
#include <csignal>
#include <set>
#include <thread>

using namespace std::chrono_literals;
using namespace show;
namespace fs = std::filesystem;

namespace {
constexpr int kPhotos = 30;
// Each run ends once the six faces have their photos, which load at once; five
// such runs draw exactly one cycle of the list.
constexpr int kLoadsPerRun = 6;
constexpr int kRuns = kPhotos / kLoadsPerRun;

struct RunLog {
    std::vector<std::string> loads;   // the files loaded, in order
    std::vector<std::string> messages;
};

class KeptShuffleShowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = XServer::Virtual(640, 480);
        ASSERT_TRUE(server) << "Xvfb did not start";
        show = std::make_unique<Show>(*server);
        fs::path dir = show->Folder() / "photos";
        fs::create_directories(dir);
        for (int i = 0; i < kPhotos; ++i)
            WritePhoto(dir / ("photo" + std::to_string(i) + ".bmp"), 0x101010u * (i % 15 + 1), 64);
        show->SetImageFolder(dir);
        show->settings["Settings"]["Delay"] = "1";
        show->settings["Settings"]["Random"] = "1";
    }
    void TearDown() override
    {
        if (HasFailure() && show)
            for (auto& m : show->LogMessages())
                std::fprintf(stderr, "log: %s\n", m.c_str());
        show.reset();
        server.reset();
    }

    // One show, ended by the system's terminate signal once it loaded enough.
    RunLog OneRun()
    {
        show->Start({"/s"});
        const std::string loading = "LoadNewImage: Loading file ";
        auto until = std::chrono::steady_clock::now() + 30s;
        while (show->CountLog(loading) < kLoadsPerRun && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(50ms);
        show->Signal(SIGTERM);
        EXPECT_TRUE(show->Wait(20s).has_value()) << "the show did not end";
        RunLog run;
        run.messages = show->LogMessages();
        for (const auto& m : run.messages)
            if (m.rfind(loading, 0) == 0)
                run.loads.push_back(m.substr(loading.size()));
        EXPECT_GE(run.loads.size(), std::size_t{kLoadsPerRun});
        return run;
    }
    static std::string FirstDraw(const RunLog& run)
    {
        for (const auto& m : run.messages)
            if (m.rfind("ChooseBitmap: GetRandom(", 0) == 0)
                return m.substr(0, m.find(')') + 1);
        return {};
    }
    static bool Logged(const RunLog& run, const std::string& message)
    {
        return std::find(run.messages.begin(), run.messages.end(), message) != run.messages.end();
    }
    fs::path StateFolder() const { return show->Folder() / "home" / ".local" / "state"; }

    std::unique_ptr<XServer> server;
    std::unique_ptr<Show> show;
};
} // namespace

TEST_F(KeptShuffleShowTest, NoPhotoComesTwiceBeforeAllWereShown)
{
    show->settings["Settings"]["KeepShuffle"] = "1";
    std::vector<std::string> loads;
    for (int r = 0; r < kRuns; ++r) {
        SCOPED_TRACE("run " + std::to_string(r + 1));
        const int before = static_cast<int>(std::min<std::size_t>(loads.size(), kPhotos));
        RunLog run = OneRun();
        // Each run resumes where the last one stopped, drawing from the rest.
        EXPECT_TRUE(Logged(run, "ChooseBitmap: " + std::to_string(kPhotos - before) + " of " +
                                    std::to_string(kPhotos) + " not yet shown in this cycle"));
        EXPECT_EQ(FirstDraw(run), "ChooseBitmap: GetRandom(" + std::to_string(kPhotos - before) + ")");
        loads.insert(loads.end(), run.loads.begin(), run.loads.end());
    }
    ASSERT_GE(loads.size(), std::size_t{kPhotos});
    std::set<std::string> first(loads.begin(), loads.begin() + kPhotos);
    EXPECT_EQ(first.size(), std::size_t{kPhotos}) << "a photo was loaded twice among the first 30";
    EXPECT_TRUE(fs::is_regular_file(StateFolder() / "Tessaview" / "Tessaview.shuffle"));
}

TEST_F(KeptShuffleShowTest, WithoutItEveryRunStartsFromTheFullList)
{
    std::vector<std::string> loads;
    for (int r = 0; r < kRuns; ++r) {
        SCOPED_TRACE("run " + std::to_string(r + 1));
        RunLog run = OneRun();
        EXPECT_EQ(FirstDraw(run), "ChooseBitmap: GetRandom(30)");
        for (const auto& m : run.messages)
            EXPECT_EQ(m.find("not yet shown"), std::string::npos) << m;
        loads.insert(loads.end(), run.loads.begin(), run.loads.end());
    }
    // Five runs of six from the full list of 30 all but surely meet again
    // (the chance that they do not is far below one in a million).
    std::set<std::string> first(loads.begin(), loads.begin() + kPhotos);
    EXPECT_LT(first.size(), std::size_t{kPhotos});
    EXPECT_FALSE(fs::exists(StateFolder())) << "no state is kept";
}
