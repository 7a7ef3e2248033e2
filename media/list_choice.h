#pragma once
// How the image and the sound lists pick their next entry.
#include "app/log.h"
#include "app/random.h"

#include <string>
#include <vector>

// The sequential position after `last` in a list of `count` entries: 0 when
// the step leaves the list (a stored index may be anything).
inline int NextListIndex(int last, int count)
{
    long long next = static_cast<long long>(last) + 1;
    return (next < 0 || next >= count) ? 0 : static_cast<int>(next);
}

// Random order without repetition: each draw removes its entry, and the last
// one of a cycle refills the list from `all` (the refilled list holds it again).
// `files` must not be empty. The log lines name the caller ("ChooseBitmap: ...").
inline std::string DrawWithoutRepeat(std::vector<std::string>& files, const std::vector<std::string>& all,
                                     const char* routine, const char* lastText)
{
    if (files.size() == 1) {
        std::string chosen = files.front();
        files = all;
        Log("%s: %s", routine, lastText);
        return chosen;
    }
    const int n = static_cast<int>(files.size());
    const int d = static_cast<int>(GetRandom(static_cast<unsigned>(n)));
    Log("%s: GetRandom(%d)= %d", routine, n, d);
    std::string chosen = std::move(files[static_cast<std::size_t>(d)]);
    files.erase(files.begin() + d);
    return chosen;
}
