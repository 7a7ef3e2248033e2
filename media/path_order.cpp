#include "media/path_order.h"

#include "media/ascii_fold.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <string_view>
#include <unordered_map>

// Each path is split at its last separator into a folder part (with the
// separator) and a name. Folder parts are folded and ranked once. Two paths
// in the same folder compare by name; two paths whose folders are unrelated
// compare as their folders do; only when one folder is a prefix of the
// other does the name of the first meet the rest of the second's path.
namespace {
int CompareBytes(std::string_view a, std::string_view b)
{
    std::size_t n = std::min(a.size(), b.size());
    if (int c = n ? std::memcmp(a.data(), b.data(), n) : 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// x against the concatenation r + n.
int CompareWithJoined(std::string_view x, std::string_view r, std::string_view n)
{
    std::size_t m = std::min(x.size(), r.size());
    if (int c = m ? std::memcmp(x.data(), r.data(), m) : 0)
        return c;
    if (x.size() < r.size())
        return -1;
    return CompareBytes(x.substr(r.size()), n);
}

struct Item {
    std::uint64_t head;  // first eight bytes of the folded name, big-endian, zero-padded
    std::size_t name;    // offset of the folded name in the arena
    std::uint32_t length;
    std::uint32_t folder; // rank of the folded folder part
    std::uint32_t index;
};

class Orderer {
public:
    Orderer(const std::vector<std::string>& paths, bool byName)
    {
        std::size_t total = 0;
        for (const std::string& p : paths)
            total += p.size();
        names_.reserve(total);
        items_.reserve(paths.size());
        std::vector<std::uint32_t> folderIds;
        folderIds.reserve(paths.size());
        std::string folded;
        std::string_view previousFolder;
        std::uint32_t previous = 0;
        for (std::uint32_t i = 0; i < paths.size(); ++i) {
            std::string_view path = paths[i];
            std::size_t split = path.size();
            while (split > 0 && path[split - 1] != '/' && path[split - 1] != '\\')
                --split;
            std::string_view folder = byName ? std::string_view() : path.substr(0, split);
            std::string_view name = path.substr(split);

            // Paths of one folder usually come together.
            if (i == 0 || folder != previousFolder) {
                folded.assign(folder);
                for (char& c : folded)
                    c = FoldAscii(c);
                previous = FolderId(folded);
                previousFolder = folder;
            }
            folderIds.push_back(previous);

            std::size_t offset = names_.size();
            names_.resize(offset + name.size());
            char* out = names_.data() + offset;
            std::uint64_t head = 0;
            for (std::size_t k = 0; k < name.size(); ++k) {
                out[k] = FoldAscii(name[k]);
                if (k < 8)
                    head |= static_cast<std::uint64_t>(static_cast<unsigned char>(out[k])) << (56 - 8 * k);
            }
            items_.push_back({head, offset, static_cast<std::uint32_t>(name.size()), 0, i});
        }
        RankFolders();
        for (Item& item : items_)
            item.folder = rank_[folderIds[item.index]];
    }

    std::vector<std::uint32_t> Order()
    {
        std::sort(items_.begin(), items_.end(), [this](const Item& a, const Item& b) { return Less(a, b); });
        std::vector<std::uint32_t> order;
        order.reserve(items_.size());
        for (const Item& item : items_)
            order.push_back(item.index);
        return order;
    }

private:
    std::uint32_t FolderId(const std::string& folded)
    {
        if (auto it = ids_.find(folded); it != ids_.end())
            return it->second;
        auto id = static_cast<std::uint32_t>(folders_.size());
        folders_.push_back(folded);
        ids_.emplace(folders_.back(), id);
        return id;
    }

    void RankFolders()
    {
        std::vector<std::uint32_t> byKey(folders_.size());
        for (std::uint32_t i = 0; i < byKey.size(); ++i)
            byKey[i] = i;
        std::sort(byKey.begin(), byKey.end(),
                  [this](std::uint32_t a, std::uint32_t b) { return folders_[a] < folders_[b]; });
        rank_.resize(folders_.size());
        sorted_.reserve(folders_.size());
        for (std::uint32_t r = 0; r < byKey.size(); ++r) {
            rank_[byKey[r]] = r;
            sorted_.push_back(&folders_[byKey[r]]);
        }
        // In sorted order the folders that start with a given one follow it
        // directly; prefixEnd_[r] is one past the last of them.
        prefixEnd_.assign(sorted_.size(), static_cast<std::uint32_t>(sorted_.size()));
        std::vector<std::uint32_t> open;
        for (std::uint32_t r = 0; r < sorted_.size(); ++r) {
            while (!open.empty() && !sorted_[r]->starts_with(*sorted_[open.back()])) {
                prefixEnd_[open.back()] = r;
                open.pop_back();
            }
            open.push_back(r);
        }
    }

    std::string_view Name(const Item& item) const { return {names_.data() + item.name, item.length}; }

    bool Less(const Item& a, const Item& b) const
    {
        int c;
        if (a.folder == b.folder) {
            if (a.head != b.head)
                return a.head < b.head;
            c = CompareBytes(Name(a), Name(b));
        } else if (b.folder > a.folder && b.folder < prefixEnd_[a.folder]) {
            std::string_view rest = std::string_view(*sorted_[b.folder]).substr(sorted_[a.folder]->size());
            c = CompareWithJoined(Name(a), rest, Name(b));
        } else if (a.folder > b.folder && a.folder < prefixEnd_[b.folder]) {
            std::string_view rest = std::string_view(*sorted_[a.folder]).substr(sorted_[b.folder]->size());
            c = -CompareWithJoined(Name(b), rest, Name(a));
        } else {
            return a.folder < b.folder;
        }
        return c != 0 ? c < 0 : a.index < b.index;
    }

    std::string names_;
    std::vector<Item> items_;
    std::deque<std::string> folders_; // by id; a deque keeps the map's keys in place
    std::unordered_map<std::string_view, std::uint32_t> ids_;
    std::vector<std::uint32_t> rank_;      // by id
    std::vector<const std::string*> sorted_; // by rank
    std::vector<std::uint32_t> prefixEnd_;  // by rank
};
} // namespace

std::vector<std::uint32_t> CaseInsensitiveOrder(const std::vector<std::string>& paths, bool byName)
{
    return Orderer(paths, byName).Order();
}
