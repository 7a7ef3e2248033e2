#pragma once
// Ordering of the media lists.
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

using StringList = std::vector<std::string>;

enum FileSortType {
    kSortByPath = 0,     // full path, ascending, letter case ignored
    kSortByName = 1,     // file name, ascending, letter case ignored
    kSortByModified = 2, // modification time; newest first when asked
};

// Case-insensitive comparison: ASCII letters fold to lower case, every other
// byte compares by its unsigned value, and a prefix sorts first. <0, 0 or >0.
int CompareNoCase(std::string_view a, std::string_view b);

// Orders the list in place by the sort type (any unknown type sorts by path).
// Equal keys keep their collection order. A file whose status cannot be read
// sorts by modification time as if modified now. False, with the list left
// in its order, when `stop` is set while the files' times are read.
bool SortFileList(StringList& files, int sortType, bool newFirst, const std::atomic<bool>* stop = nullptr);
