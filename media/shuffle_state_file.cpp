#include "media/shuffle_state_file.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr std::array<char, 8> kMagic = {'T', 's', 'v', 'S', 'h', 'u', 'f', '1'};
constexpr std::size_t kRecord = 8;
constexpr std::uint64_t kKeyMask = (std::uint64_t{1} << 56) - 1;

// The check byte of a record: garbage, a zero-filled tail or a torn write
// fails it in all but one case of 256 per record.
std::uint8_t CheckByte(std::uint64_t key)
{
    return static_cast<std::uint8_t>(((key * 0x9E3779B97F4A7C15ull) >> 56) ^ 0xA5u);
}

void PutRecord(std::uint64_t key, unsigned char* out)
{
    std::uint64_t word = (key & kKeyMask) | std::uint64_t{CheckByte(key & kKeyMask)} << 56;
    for (std::size_t i = 0; i < kRecord; ++i)
        out[i] = static_cast<unsigned char>(word >> (8 * i));
}

bool GetRecord(const unsigned char* in, std::uint64_t& key)
{
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < kRecord; ++i)
        word |= std::uint64_t{in[i]} << (8 * i);
    key = word & kKeyMask;
    return static_cast<std::uint8_t>(word >> 56) == CheckByte(key);
}

std::string Errno(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

// Writes all of `data`; false on any failure (errno tells).
bool WriteAll(int fd, const unsigned char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void SetWhy(std::string* why, std::string text)
{
    if (why)
        *why = std::move(text);
}
} // namespace

std::uint64_t PhotoKey(std::string_view path)
{
    // Eight bytes a step (paths are long and share their beginnings), then a
    // finaliser that spreads every byte's influence over the 56 bits kept.
    // The key is stored: changing it forgets every kept cycle.
    auto load = [](const char* p, std::size_t n) {
        std::uint64_t w = 0;
        if (std::endian::native == std::endian::little && n == 8) {
            std::memcpy(&w, p, 8);
            return w;
        }
        for (std::size_t i = 0; i < n; ++i)
            w |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
        return w;
    };
    auto step = [](std::uint64_t h, std::uint64_t w) {
        h ^= w * 0x87C37B91114253D5ull;
        h = (h << 31 | h >> 33) * 0x4CF5AD432745937Full;
        return h;
    };
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ path.size();
    std::size_t at = 0;
    for (; at + 8 <= path.size(); at += 8)
        h = step(h, load(path.data() + at, 8));
    h = step(h, load(path.data() + at, path.size() - at));
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h & kKeyMask;
}

ShuffleStateFile::Lock& ShuffleStateFile::Lock::operator=(Lock&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

ShuffleStateFile::Lock::~Lock()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}

ShuffleStateFile::Lock ShuffleStateFile::TakeLock(std::chrono::milliseconds patience, std::string* why) const
{
    const std::string lockPath = path_ + ".lock";
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0) {
        SetWhy(why, Errno("cannot create the lock file"));
        return Lock();
    }
    // Polled rather than blocking, so that a writer that hangs holding it
    // cannot stall the show.
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return Lock(fd);
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= until)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    SetWhy(why, errno == EWOULDBLOCK ? std::string("held by another show") : Errno("cannot lock"));
    ::close(fd);
    return Lock();
}

ShuffleStateFile::Contents ShuffleStateFile::Read() const
{
    Contents result;
    auto refuse = [&](std::string problem) {
        result.status = Contents::kRefused;
        result.problem = std::move(problem);
        result.keys.clear();
        return result;
    };
    // Non-blocking: a pipe put in its place must not hold the show up.
    int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT)
            return result;
        return refuse(Errno("unreadable"));
    }
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return refuse(Errno("unreadable"));
    if (!S_ISREG(st.st_mode))
        return refuse("not a regular file");
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size > kMaxBytes)
        return refuse("too large");
    if (size < kMagic.size())
        return refuse("truncated");

    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refuse(Errno("unreadable"));
        if (n == 0)
            return refuse("truncated"); // shrank while read
        got += static_cast<std::size_t>(n);
    }
    if (std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0)
        return refuse("not a shuffle state");
    if ((bytes.size() - kMagic.size()) % kRecord != 0)
        return refuse("truncated");
    result.keys.reserve((bytes.size() - kMagic.size()) / kRecord);
    for (std::size_t at = kMagic.size(); at < bytes.size(); at += kRecord) {
        std::uint64_t key = 0;
        if (!GetRecord(bytes.data() + at, key))
            return refuse("damaged");
        result.keys.push_back(key);
    }
    result.status = Contents::kOk;
    return result;
}

bool ShuffleStateFile::Replace(std::span<const std::uint64_t> keys, std::string* why) const
{
    std::vector<unsigned char> bytes(kMagic.size() + keys.size() * kRecord);
    std::memcpy(bytes.data(), kMagic.data(), kMagic.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        PutRecord(keys[i], bytes.data() + kMagic.size() + i * kRecord);

    std::string temp = path_ + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        SetWhy(why, Errno("cannot create"));
        return false;
    }
    // Synced before the rename, so that after a crash the name holds either
    // the old file or the whole new one. An empty cycle needs no sync: lost,
    // it reads as missing or truncated, which begins the same empty cycle.
    bool ok = WriteAll(fd, bytes.data(), bytes.size()) && (keys.empty() || ::fdatasync(fd) == 0);
    if (!ok)
        SetWhy(why, Errno("cannot write"));
    if (::close(fd) != 0 && ok) {
        SetWhy(why, Errno("cannot write"));
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), path_.c_str()) != 0) {
        SetWhy(why, Errno("cannot replace"));
        ok = false;
    }
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

bool ShuffleStateFile::Append(std::uint64_t key, std::string* why) const
{
    int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0 && errno == ENOENT) {
        const std::uint64_t only[1] = {key};
        return Replace(only, why);
    }
    if (fd < 0) {
        SetWhy(why, Errno("cannot open"));
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!ok) {
        SetWhy(why, "not a regular file");
    } else {
        unsigned char record[kRecord];
        PutRecord(key, record);
        ok = WriteAll(fd, record, kRecord);
        if (!ok) {
            SetWhy(why, Errno("cannot write"));
            // A partial record would make the whole file unreadable.
            if (::ftruncate(fd, st.st_size) != 0)
                SetWhy(why, Errno("cannot write, the last record is torn"));
        }
    }
    ::close(fd);
    return ok;
}
