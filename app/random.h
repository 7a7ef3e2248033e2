#pragma once
// The process-wide random source: MT19937 seeded once at the first call.
#include <array>
#include <cstdint>

// MT19937 with the 1998 reference initialisation (state[i] = 69069 * state[i-1]).
class Mt19937 {
public:
    static constexpr int N = 624;
    explicit Mt19937(std::uint32_t seed);
    std::uint32_t Next();
    const std::array<std::uint32_t, N>& InitialState() const { return initial_; }

private:
    void Twist();
    std::array<std::uint32_t, N> state_{};
    std::array<std::uint32_t, N> initial_{};
    int index_ = N; // regenerate before the first output
};

// The seed: tick count in the high half; free clusters of the current drive
// XOR a second tick count in the low half (a clock-based mix when that fails).
std::uint32_t MakeRandomSeed();

// A random index in 0 .. n-1 (n > 0). Calls from any thread are serialised.
unsigned GetRandom(unsigned n);
