#include "app/random.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <sys/statvfs.h>
#include <time.h>

Mt19937::Mt19937(std::uint32_t seed)
{
    state_[0] = seed | 1u;
    for (int i = 1; i < N; ++i)
        state_[i] = state_[i - 1] * 69069u;
    initial_ = state_;
}

void Mt19937::Twist()
{
    constexpr std::uint32_t upper = 0x80000000u, lower = 0x7fffffffu, matrix = 0x9908b0dfu;
    for (int i = 0; i < N; ++i) {
        std::uint32_t y = (state_[i] & upper) | (state_[(i + 1) % N] & lower);
        state_[i] = state_[(i + 397) % N] ^ (y >> 1) ^ ((y & 1u) ? matrix : 0u);
    }
    index_ = 0;
}

std::uint32_t Mt19937::Next()
{
    if (index_ >= N)
        Twist();
    std::uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

namespace {
std::uint32_t TickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint32_t>(ts.tv_sec * 1000u + ts.tv_nsec / 1000000);
}

// Free blocks of the current directory's file system, standing in for free clusters.
std::optional<std::uint64_t> FreeClusters()
{
    struct statvfs st {};
    if (statvfs(".", &st) != 0)
        return std::nullopt;
    return st.f_bavail;
}
} // namespace

std::uint32_t MakeRandomSeed()
{
    std::uint32_t t1 = TickCount();
    std::uint32_t low;
    if (auto free = FreeClusters()) {
        low = static_cast<std::uint32_t>((*free ^ TickCount()) & 0xFFFFu);
    } else {
        auto now = std::chrono::system_clock::now().time_since_epoch();
        auto ms = static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count() % 1000);
        auto sec = static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count() % 60);
        low = ((ms & 0xFFu) << 8) | ((((ms >> 8) & 0xFFu) + (sec & 0xFFu)) % 256u);
    }
    return ((t1 & 0xFFFFu) << 16) | low;
}

unsigned GetRandom(unsigned n)
{
    static std::mutex lock;
    static std::optional<Mt19937> generator;
    std::lock_guard<std::mutex> guard(lock);
    if (!generator)
        generator.emplace(MakeRandomSeed());
    std::uint32_t r = generator->Next();
    return n ? r % n : 0;
}
