#include "app/profile_store.h"

#include <cctype>
#include <charconv>
#include <cstdint>

std::optional<int> ParseProfileInt(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    std::int64_t v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    if (v < INT32_MIN || v > static_cast<std::int64_t>(UINT32_MAX))
        return std::nullopt;
    return static_cast<int>(static_cast<std::uint32_t>(v));
}

MemoryProfileStore::Key MemoryProfileStore::MakeKey(std::string_view section, std::string_view key)
{
    // Section and key names are case-insensitive, as in the registry.
    auto lower = [](std::string_view s) {
        std::string out(s);
        for (char& c : out)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    return {lower(section), lower(key)};
}

int MemoryProfileStore::GetProfileInt(std::string_view section, std::string_view key, int defaultValue)
{
    std::lock_guard<std::mutex> guard(lock_);
    auto it = values_.find(MakeKey(section, key));
    if (it == values_.end())
        return defaultValue;
    return ParseProfileInt(it->second).value_or(defaultValue);
}

std::string MemoryProfileStore::GetProfileString(std::string_view section, std::string_view key,
                                                 std::string_view defaultValue)
{
    std::lock_guard<std::mutex> guard(lock_);
    auto it = values_.find(MakeKey(section, key));
    return it == values_.end() ? std::string(defaultValue) : it->second;
}

bool MemoryProfileStore::WriteProfileInt(std::string_view section, std::string_view key, int value)
{
    return WriteProfileString(section, key, std::to_string(value));
}

bool MemoryProfileStore::WriteProfileString(std::string_view section, std::string_view key,
                                            std::string_view value)
{
    std::lock_guard<std::mutex> guard(lock_);
    values_[MakeKey(section, key)] = std::string(value);
    writes_.push_back(std::string(section) + "/" + std::string(key) + "=" + std::string(value));
    return true;
}

std::vector<std::pair<std::string, std::string>> MemoryProfileStore::GetProfileSection(std::string_view section)
{
    std::lock_guard<std::mutex> guard(lock_);
    const std::string wanted = MakeKey(section, "").first;
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [key, value] : values_)
        if (key.first == wanted)
            out.emplace_back(key.second, value);
    return out;
}

void MemoryProfileStore::Set(std::string_view section, std::string_view key, std::string_view text)
{
    std::lock_guard<std::mutex> guard(lock_);
    values_[MakeKey(section, key)] = std::string(text);
}

bool MemoryProfileStore::Has(std::string_view section, std::string_view key) const
{
    std::lock_guard<std::mutex> guard(lock_);
    return values_.count(MakeKey(section, key)) != 0;
}

std::optional<std::string> MemoryProfileStore::Raw(std::string_view section, std::string_view key) const
{
    std::lock_guard<std::mutex> guard(lock_);
    auto it = values_.find(MakeKey(section, key));
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

bool ProfileStore::WriteBatch(const std::vector<ProfileWrite>& writes)
{
    bool ok = true;
    for (const ProfileWrite& w : writes)
        ok = WriteProfileString(w.section, w.key, w.value) && ok;
    return ok;
}

int BatchingProfileStore::GetProfileInt(std::string_view section, std::string_view key, int defaultValue)
{
    return readFrom_.GetProfileInt(section, key, defaultValue);
}

std::string BatchingProfileStore::GetProfileString(std::string_view section, std::string_view key,
                                                   std::string_view defaultValue)
{
    return readFrom_.GetProfileString(section, key, defaultValue);
}

// Reads see the stored section only: the pending writes are the record being
// saved, which nobody reads back before the batch is written.
std::vector<std::pair<std::string, std::string>> BatchingProfileStore::GetProfileSection(std::string_view section)
{
    return readFrom_.GetProfileSection(section);
}

bool BatchingProfileStore::WriteProfileInt(std::string_view section, std::string_view key, int value)
{
    return WriteProfileString(section, key, std::to_string(value));
}

bool BatchingProfileStore::WriteProfileString(std::string_view section, std::string_view key,
                                              std::string_view value)
{
    writes_.push_back({std::string(section), std::string(key), std::string(value)});
    return true;
}
