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
