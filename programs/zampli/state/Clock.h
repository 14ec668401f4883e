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

} // namespace zampli
