#pragma once

// The rules compute some values in single precision, and every build must give them the
// same bits. SSE arithmetic rounds each result to its type. The x87 unit, on which the
// 32-bit Windows build computes, keeps results in its 80-bit registers with as many bits
// as its precision control says (24, 53 or 64, set differently by Windows, Wine and the C
// runtime) and rounds a value to its type only when it stores it to memory. GCC's C++
// front end has no way to ask for that rounding at every assignment; a store to a
// volatile variable does it, on every unit and whatever the setting.
inline float RoundedToFloat(float value)
{
    volatile float stored = value;
    return stored;
}

inline double RoundedToDouble(double value)
{
    volatile double stored = value;
    return stored;
}
