#include "render/photo_history.h"

void PhotoHistory::Shown(const std::string& file, bool again)
{
    if (again || file.empty())
        return;
    files_.push_back(file);
    if (files_.size() > kCapacity)
        files_.pop_front();
    current_ = files_.size() - 1;
}

std::optional<std::string> PhotoHistory::StepBack()
{
    if (files_.empty() || current_ == 0)
        return std::nullopt;
    return files_[--current_];
}

std::optional<std::string> PhotoHistory::StepForward()
{
    if (current_ + 1 >= files_.size())
        return std::nullopt;
    return files_[++current_];
}
