#pragma once

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
