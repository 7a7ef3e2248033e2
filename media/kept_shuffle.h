#pragma once
// Random order that resumes across runs: the photos shown in the current
// cycle are kept in a state file, and a run draws only from the others.
//
// A photo is its full path. Photos added to the folders join the cycle as not
// yet shown; photos that left the list (removed, or in a folder switched off)
// leave the cycle, so a folder switched on again brings its photos back as not
// yet shown. A missing or broken state file starts a new cycle.
#include "media/shuffle_state_file.h"

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class CSaverSettings;

class KeptShuffle {
public:
    explicit KeptShuffle(std::string statePath) : file_(std::move(statePath)) {}

    // Start of a show, over the full list `all` of the build and `files`, the
    // copy of it that the draws take from. Drops repeated paths from `all`,
    // leaves in `files` the photos not yet shown in this cycle, in list order,
    // and begins a new cycle when none remain. Brings the state file in line
    // with the list and logs what it found.
    void Start(std::vector<std::string>& files, std::vector<std::string>& all);

    // After each random draw: `path` was chosen; `cycleEnded` when it was the
    // last photo of the cycle (the draw refilled the list).
    void Shown(std::string_view path, bool cycleEnded);

    const std::string& StatePath() const { return file_.Path(); }

private:
    void Stored(bool ok, const std::string& why);

    ShuffleStateFile file_;
    std::mutex lock_;
    bool failing_ = false; // the last write failed (logged once per streak)
};

// File name of the state, in the per-user state folder.
inline constexpr const char* kKeptShuffleFileName = "Tessaview.shuffle";

// Start of a show, once the image list is built: with KeepShuffle and Random
// on and a list that is not empty, the image list resumes the kept cycle of
// the state file (settings.keptShuffle is set); otherwise nothing changes and
// no file or folder is made. Takes the image-list lock.
void StartKeptShuffle(CSaverSettings& settings);
// The same with the state file at `statePath`.
void StartKeptShuffle(CSaverSettings& settings, const std::string& statePath);
