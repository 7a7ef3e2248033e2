#pragma once
// The photos a renderer has put on its faces, newest last, so that a key can
// bring an earlier one back. Stepping back moves a cursor through the list;
// stepping forward from there replays the later ones before new photos are
// wanted again. Photos shown again are not added a second time.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

class PhotoHistory {
public:
    static constexpr std::size_t kCapacity = 50;

    // A photo reached a face. A new one goes to the end (the oldest leaves
    // beyond the capacity) and becomes the current one; a photo shown again
    // changes nothing, as the step that asked for it moved the cursor already.
    // Photos without a file name are not remembered.
    void Shown(const std::string& file, bool again);

    // The photo before the current one, which becomes the current one; nothing
    // at the start of the list.
    std::optional<std::string> StepBack();
    // After steps back, the photo after the current one, which becomes the
    // current one; nothing at the end of the list (a new photo is wanted).
    std::optional<std::string> StepForward();

    std::size_t Size() const { return files_.size(); }
    // Index of the current photo; Size() - 1 unless stepped back.
    std::size_t Position() const { return current_; }

private:
    std::deque<std::string> files_;
    std::size_t current_ = 0;
};
