#pragma once

#include <cstdint>
#include <ctime>

// The pseudo-random numbers the scatter draws. The saver seeds the C library's generator
// with the calendar time and draws with rand(); tests hand in sequences of their own.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void Seed() = 0;
    virtual int Next() = 0;
};

class StdRandom final : public RandomSource {
public:
    using TimeSource = std::time_t (*)(std::time_t*);

    explicit StdRandom(TimeSource now = &std::time) : now_(now) {}

    void Seed() override;
    int Next() override;

private:
    TimeSource now_;
};

// The Microsoft C runtime's rand(), written out: srand(seed) then rand() gives the same
// numbers on every platform as the Windows saver's runtime does. The web page draws from
// it, so that a page and the 32-bit saver seeded in the same second scatter alike; tests
// use it for runs that are the same everywhere.
class MsvcrtRandom final : public RandomSource {
public:
    explicit MsvcrtRandom(std::uint32_t seed) : seed_(seed), state_(seed) {}

    void Seed() override { state_ = seed_; }
    int Next() override;

private:
    std::uint32_t seed_;
    std::uint32_t state_;
};
