#pragma once
// The file that keeps, across runs, which photos the current shuffle cycle has
// shown: an 8-byte header, then one 8-byte record per photo shown, each the
// photo's key with a check byte. A photo shown is appended; a new cycle
// replaces the whole file atomically (a temporary file renamed over it). The
// writers of several processes take turns through a lock file beside it.
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A photo's identity in the file: 56 bits of a hash of its full path.
std::uint64_t PhotoKey(std::string_view path);

class ShuffleStateFile {
public:
    // Larger files are refused unread (eight million photos).
    static constexpr std::uint64_t kMaxBytes = 64u << 20;

    explicit ShuffleStateFile(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    // Exclusive use of the file among processes while held.
    class Lock {
    public:
        Lock() = default;
        Lock(Lock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
        Lock& operator=(Lock&& other) noexcept;
        ~Lock();
        bool Held() const { return fd_ >= 0; }

    private:
        friend class ShuffleStateFile;
        explicit Lock(int fd) : fd_(fd) {}
        int fd_ = -1;
    };
    // Waits at most `patience` for the other writers; not held, with the
    // reason in `why`, when they keep it longer or the lock file cannot be made.
    Lock TakeLock(std::chrono::milliseconds patience, std::string* why = nullptr) const;

    struct Contents {
        enum Status { kOk, kMissing, kRefused };
        Status status = kMissing;
        std::string problem; // why it was refused
        std::vector<std::uint64_t> keys;
    };
    // The keys stored, or why there are none: missing, or refused when it is
    // unreadable, not a regular file, too large, truncated or garbage.
    Contents Read() const;

    // Each answers false with the reason in `why` when the file could not be
    // written; the stored file is then as it was.
    bool Replace(std::span<const std::uint64_t> keys, std::string* why = nullptr) const;
    // A missing file is created holding just this key.
    bool Append(std::uint64_t key, std::string* why = nullptr) const;

private:
    std::string path_;
};
