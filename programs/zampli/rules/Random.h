// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <random>

namespace zampli {

// The one pseudo-random generator of the program: a value r with 0 <= r < 1.
class Random {
public:
    virtual ~Random() = default;
    virtual double next() = 0;
    // Called once, by the start-up routine; nothing reseeds afterwards.
    virtual void seedFromClock() {}

    // A number from 1 to n: integer part of r * n, plus 1.
    int drawNumber(int n) { return drawPlace(n) + 1; }
    // A place from 0 to n - 1: integer part of r * n.
    int drawPlace(int n);
};

// Mersenne twister, seeded from the clock at start-up.
class SystemRandom final : public Random {
public:
    SystemRandom() = default;
    explicit SystemRandom(std::uint64_t seed) : engine_(seed) {}
    double next() override;
    void seedFromClock() override;

private:
    std::mt19937_64 engine_;
};

} // namespace zampli
