#pragma once
// The profile store: integer and string values addressed by section and key.
// It stands where the registry stands on other systems; settings load from it
// and a few writers (selection indices, Reset, folder browser, Trace) write to
// it directly.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One write of a batch.
struct ProfileWrite {
    std::string section;
    std::string key;
    std::string value;
};

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The stored value when it exists and is a 32-bit integer, else the default.
    virtual int GetProfileInt(std::string_view section, std::string_view key, int defaultValue) = 0;
    virtual std::string GetProfileString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) = 0;
    // Creates or replaces the value; answers false when the store could not keep it.
    virtual bool WriteProfileInt(std::string_view section, std::string_view key, int value) = 0;
    virtual bool WriteProfileString(std::string_view section, std::string_view key,
                                    std::string_view value) = 0;

    // Makes all the writes or none; the default writes them one by one.
    virtual bool WriteBatch(const std::vector<ProfileWrite>& writes);
    // Where the values are kept, for messages (a file path); empty when nowhere in particular.
    virtual std::string Location() const { return {}; }
    // Every key=value of a section in one pass, in stored order (a later
    // duplicate overrides an earlier one, as a single look-up would find it).
    // Lets a reader visit only the keys that exist instead of probing each
    // index a stored count claims.
    virtual std::vector<std::pair<std::string, std::string>> GetProfileSection(std::string_view section) = 0;
};

// Collects writes instead of making them, reading through to another store,
// so a whole record can be handed to WriteBatch at once.
class BatchingProfileStore : public ProfileStore {
public:
    explicit BatchingProfileStore(ProfileStore& readFrom) : readFrom_(readFrom) {}
    int GetProfileInt(std::string_view section, std::string_view key, int defaultValue) override;
    std::string GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) override;
    bool WriteProfileInt(std::string_view section, std::string_view key, int value) override;
    bool WriteProfileString(std::string_view section, std::string_view key,
                            std::string_view value) override;
    std::vector<std::pair<std::string, std::string>> GetProfileSection(std::string_view section) override;
    const std::vector<ProfileWrite>& Writes() const { return writes_; }

private:
    ProfileStore& readFrom_;
    std::vector<ProfileWrite> writes_;
};

// Reads the text of a stored integer: any 32-bit value, signed or as its
// unsigned pattern (4294967295 reads back as -1); nothing else.
std::optional<int> ParseProfileInt(std::string_view text);

// A store in memory, for tests and for runs that must not touch the user's file.
// Values are kept as text, exactly as the file store keeps them.
class MemoryProfileStore : public ProfileStore {
public:
    int GetProfileInt(std::string_view section, std::string_view key, int defaultValue) override;
    std::string GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) override;
    bool WriteProfileInt(std::string_view section, std::string_view key, int value) override;
    bool WriteProfileString(std::string_view section, std::string_view key,
                            std::string_view value) override;
    std::vector<std::pair<std::string, std::string>> GetProfileSection(std::string_view section) override;

    // Raw access for tests.
    void Set(std::string_view section, std::string_view key, std::string_view text);
    bool Has(std::string_view section, std::string_view key) const;
    std::optional<std::string> Raw(std::string_view section, std::string_view key) const;
    // Every write in order, as "Section/Key=value".
    const std::vector<std::string>& Writes() const { return writes_; }
    void ClearWrites() { writes_.clear(); }

private:
    using Key = std::pair<std::string, std::string>;
    static Key MakeKey(std::string_view section, std::string_view key);
    mutable std::mutex lock_; // written from loader threads and the main thread
    std::map<Key, std::string> values_;
    std::vector<std::string> writes_;
};
