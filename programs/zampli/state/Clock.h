// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zampli {

inline constexpr double kSecondsPerDay = 86400.0;

// The clock as seconds since midnight, with fractions.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() const = 0;
};

class SystemClock final : public Clock {
public:
    double secondsSinceMidnight() const override;
};

// Seconds from `from` to `to`, both read from a clock that wraps at midnight.
inline double elapsedSeconds(double from, double to)
{
    const double d = to - from;
    return d < 0 ? d + kSecondsPerDay : d;
}

} // namespace zampli
