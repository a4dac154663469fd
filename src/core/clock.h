#pragma once

// "Now" and randomness come through these interfaces: the program uses the system clock and a
// clock-seeded generator, tests a fixed clock and a fixed seed.

#include <cmath>
#include <cstdint>
#include <random>

namespace dyd {

class Clock {
  public:
    virtual ~Clock() = default;
    // Local date and time as a day number (days since 1899-12-30, time as the fraction).
    virtual double Now() const = 0;
    // The current date without time.
    double Today() const { return std::floor(Now()); }
};

// A moment given as seconds since 1970-01-01 UTC, as a local day number with time.
double LocalDayNumber(std::int64_t unixSeconds);

class SystemClock final : public Clock {
  public:
    double Now() const override;
};

class FixedClock final : public Clock {
  public:
    explicit FixedClock(double now) : now_(now) {}
    double Now() const override { return now_; }
    void Set(double now) { now_ = now; }

  private:
    double now_;
};

class Random {
  public:
    virtual ~Random() = default;
    // A uniform draw from 0..n-1; 0 when n < 1.
    virtual int Below(int n) = 0;
};

class SeededRandom final : public Random {
  public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    // Seeded from the clock.
    SeededRandom();
    int Below(int n) override;

  private:
    std::mt19937_64 engine_;
};

}  // namespace dyd
