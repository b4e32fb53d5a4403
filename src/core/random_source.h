// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// Where the drawing takes its random values from. Tests substitute exact values.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // Called before every draw attempt.
    virtual void Reseed() = 0;
    // A single-precision value r with 0 <= r < 1.
    virtual float NextValue() = 0;
};

// Makes the source of each quiz.
class RandomSource;
using RandomSourceFactory = std::function<std::unique_ptr<RandomSource>()>;

// The program's source: seeded once from the system's entropy, with a high-resolution clock
// reading mixed in at each re-seed. The state always moves on, so attempts that follow each
// other faster than the clock ticks still yield fresh values.
class ClockMixedRandom final : public RandomSource
{
public:
    // Ticks of a high-resolution clock; tests pass one that stands still.
    using Clock = std::uint64_t (*)();
    static std::uint64_t HighResolutionTicks();

    explicit ClockMixedRandom(Clock clock = HighResolutionTicks);
    void Reseed() override;
    float NextValue() override;

private:
    std::uint64_t next64();

    Clock m_clock;
    std::uint64_t m_state = 0;
};
