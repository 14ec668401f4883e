// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace zampli {

// A 16-bit signed counter that never wraps: a step past 32767 stays at 32767.
class Counter16 {
public:
    static constexpr int kMax = 32767;
    static constexpr int kMin = -32768;

    constexpr Counter16() = default;
    constexpr explicit Counter16(int v) : value_(clamp(v)) {}

    constexpr int value() const { return value_; }
    constexpr operator int() const { return value_; }
    constexpr Counter16 &operator=(int v) { value_ = clamp(v); return *this; }
    constexpr Counter16 &operator++() { return *this = value_ + 1; }
    constexpr Counter16 &operator+=(int d) { return *this = value_ + d; }

private:
    static constexpr std::int16_t clamp(int v)
    {
        return static_cast<std::int16_t>(v > kMax ? kMax : v < kMin ? kMin : v);
    }
    std::int16_t value_ = 0;
};

} // namespace zampli
