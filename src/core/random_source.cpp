// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/random_source.h"

#include <chrono>
#include <random>

namespace {

// SplitMix64 finaliser: spreads every input bit over the whole word.
std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

} // namespace

std::uint64_t ClockMixedRandom::HighResolutionTicks()
{
    return static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

ClockMixedRandom::ClockMixedRandom(Clock clock) : m_clock(clock)
{
    std::random_device entropy;
    m_state = (std::uint64_t(entropy()) << 32) ^ entropy();
}

void ClockMixedRandom::Reseed()
{
    m_state ^= mix(m_clock());
}

std::uint64_t ClockMixedRandom::next64()
{
    m_state += 0x9e3779b97f4a7c15ULL;
    return mix(m_state);
}

float ClockMixedRandom::NextValue()
{
    // The top 24 bits fill a float's mantissa exactly, so the value is always below 1.
    return static_cast<float>(next64() >> 40) * (1.0f / 16777216.0f);
}
