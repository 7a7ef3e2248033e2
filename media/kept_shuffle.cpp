#include "media/kept_shuffle.h"

#include "app/log.h"
#include "app/data_path.h"
#include "app/saver_settings.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

namespace {
// How long a show waits for another one writing the same state file. Writes
// take microseconds; a show that holds the lock longer has hung.
constexpr std::chrono::milliseconds kPatience{1000};

// The list's keys with their first position: open addressing over a table
// at most half full, probed from the key's own low bits (keys are hashes).
class KeyIndex {
public:
    explicit KeyIndex(std::size_t count)
        : slots_(std::bit_ceil(std::max<std::size_t>(2 * count, 16))), mask_(slots_.size() - 1)
    {
    }
    // The position stored for `key`; stores `at` when there is none.
    std::size_t FindOrAdd(std::uint64_t key, std::size_t at)
    {
        Slot* slot = Probe(key);
        if (slot->at == kNone)
            *slot = {key, at};
        return slot->at;
    }
    std::size_t Find(std::uint64_t key) { return Probe(key)->at; }
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

private:
    struct Slot {
        std::uint64_t key = 0;
        std::size_t at = kNone;
    };
    Slot* Probe(std::uint64_t key)
    {
        for (std::size_t i = key & mask_;; i = (i + 1) & mask_)
            if (slots_[i].at == kNone || slots_[i].key == key)
                return &slots_[i];
    }
    std::vector<Slot> slots_;
    std::size_t mask_;
};
} // namespace

void KeptShuffle::Start(std::vector<std::string>& files, std::vector<std::string>& all)
{
    std::lock_guard<std::mutex> guard(lock_);
    const std::size_t n = all.size();

    // A path listed twice (a folder configured twice, or inside another one)
    // is one photo: only its first place counts.
    KeyIndex index(n);
    std::vector<char> repeated(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t first = index.FindOrAdd(PhotoKey(all[i]), i);
        repeated[i] = first != i && all[first] == all[i];
    }

    std::string why;
    ShuffleStateFile::Lock fileLock = file_.TakeLock(kPatience, &why);
    // Without the lock the file is still read whole: it is only ever replaced
    // by a rename and appended to in whole records.
    ShuffleStateFile::Contents stored = file_.Read();
    if (stored.status == ShuffleStateFile::Contents::kMissing)
        Log("ChooseBitmap: No shuffle state in %s, a new cycle begins", file_.Path().c_str());
    else if (stored.status == ShuffleStateFile::Contents::kRefused)
        Log("ChooseBitmap: Shuffle state %s refused (%s), a new cycle begins", file_.Path().c_str(),
            stored.problem.c_str());

    // Which photos of the list were shown; stored keys of photos no longer
    // listed (or stored twice) are left behind.
    std::vector<char> wasShown(n, 0);
    std::vector<std::uint64_t> kept;
    kept.reserve(std::min(n, stored.keys.size()));
    for (std::uint64_t key : stored.keys) {
        std::size_t at = index.Find(key);
        if (at != KeyIndex::kNone && !wasShown[at]) {
            wasShown[at] = 1;
            kept.push_back(key);
        }
    }
    const bool stale = kept.size() != stored.keys.size();

    // Both lists keep their order. `files` is filtered in place, so no path
    // is copied.
    if (files.size() != n)
        files = all;
    std::size_t w = 0, f = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (repeated[i])
            continue;
        if (!wasShown[i]) {
            if (f != i)
                files[f] = std::move(files[i]);
            ++f;
        }
        if (w != i)
            all[w] = std::move(all[i]);
        ++w;
    }
    all.resize(w);
    files.resize(f);

    const bool newCycle = files.empty();
    if (newCycle) {
        files = all;
        kept.clear();
    }
    if (newCycle || stale || stored.status != ShuffleStateFile::Contents::kOk) {
        if (fileLock.Held()) {
            bool ok = file_.Replace(kept, &why);
            Stored(ok, why);
        } else {
            Stored(false, why);
        }
    }
    Log("ChooseBitmap: %d of %d not yet shown in this cycle", static_cast<int>(files.size()),
        static_cast<int>(all.size()));
}

void KeptShuffle::Shown(std::string_view path, bool cycleEnded)
{
    std::lock_guard<std::mutex> guard(lock_);
    std::string why;
    ShuffleStateFile::Lock fileLock = file_.TakeLock(kPatience, &why);
    if (!fileLock.Held()) {
        Stored(false, why);
        return;
    }
    bool ok = cycleEnded ? file_.Replace({}, &why) : file_.Append(PhotoKey(path), &why);
    Stored(ok, why);
}

void KeptShuffle::Stored(bool ok, const std::string& why)
{
    // Once per run of failures: a read-only folder must not double the log.
    if (!ok && !failing_)
        Log("ChooseBitmap: Can't write shuffle state %s: %s", file_.Path().c_str(), why.c_str());
    failing_ = !ok;
}

namespace {
bool WantsKeptShuffle(const CSaverSettings& settings)
{
    // An empty list (a disk not mounted, say) leaves the state as it is.
    return settings.KeepShuffle && settings.Random && !settings.ImageFiles.empty();
}
} // namespace

void StartKeptShuffle(CSaverSettings& settings, const std::string& statePath)
{
    std::lock_guard<std::mutex> guard(settings.imageListLock);
    if (!WantsKeptShuffle(settings))
        return;
    auto kept = std::make_shared<KeptShuffle>(statePath);
    kept->Start(settings.ImageFiles, settings.AllImageFiles);
    settings.keptShuffle = std::move(kept);
}

void StartKeptShuffle(CSaverSettings& settings)
{
    bool wanted;
    {
        std::lock_guard<std::mutex> guard(settings.imageListLock);
        wanted = WantsKeptShuffle(settings);
    }
    // Only then: finding the path creates the state folder.
    if (wanted)
        StartKeptShuffle(settings, GetStateFilePath(kKeptShuffleFileName));
}
