#include "sim/random_source.h"

#include <cstdlib>

void StdRandom::Seed()
{
    std::srand(static_cast<unsigned>(now_(nullptr)));
}

int StdRandom::Next()
{
    return std::rand();
}

int MsvcrtRandom::Next()
{
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
}
