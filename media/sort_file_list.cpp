#include "media/sort_file_list.h"

#include "media/path_order.h"
#include "media/ascii_fold.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <numeric>
#include <sys/stat.h>

namespace {
// Puts files into the order of `order` (indices into files).
void Permute(StringList& files, const std::vector<std::uint32_t>& order)
{
    StringList sorted;
    sorted.reserve(files.size());
    for (std::uint32_t i : order)
        sorted.push_back(std::move(files[i]));
    files.swap(sorted);
}

void SortByKeys(StringList& files, bool byName)
{
    Permute(files, CaseInsensitiveOrder(files, byName));
}

std::int64_t ModificationTime(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return static_cast<std::int64_t>(std::time(nullptr));
    return static_cast<std::int64_t>(st.st_mtime);
}

bool SortByTime(StringList& files, bool newFirst, const std::atomic<bool>* stop)
{
    // Each status is read once, before sorting.
    std::vector<std::int64_t> times;
    times.reserve(files.size());
    for (const std::string& f : files) {
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
        times.push_back(ModificationTime(f));
    }
    std::vector<std::uint32_t> order(files.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (times[a] != times[b])
            return newFirst ? times[a] > times[b] : times[a] < times[b];
        return a < b;
    });
    Permute(files, order);
    return true;
}
} // namespace

int CompareNoCase(std::string_view a, std::string_view b)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(FoldAscii(a[i]));
        auto y = static_cast<unsigned char>(FoldAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SortFileList(StringList& files, int sortType, bool newFirst, const std::atomic<bool>* stop)
{
    if (files.size() < 2)
        return true;
    switch (sortType) {
    case kSortByName:
        SortByKeys(files, true);
        break;
    case kSortByModified:
        return SortByTime(files, newFirst, stop);
    default:
        SortByKeys(files, false);
        break;
    }
    return true;
}
