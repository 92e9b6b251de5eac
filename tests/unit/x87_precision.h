#pragma once

#include <cstdint>

// The precision control of the x87 unit: how many bits of mantissa its additions,
// multiplications, divisions and roots keep (24, 53 or 64). Windows starts threads with
// 53, the MinGW runtime sets 64 for the main thread, other runtimes differ again, so the
// simulation must give the same bits under each. The 32-bit Windows build computes on
// this unit; on the others it serves long double alone.
// Elsewhere (WebAssembly) there is no such unit, and it does nothing.
class X87Precision {
public:
#if defined(__i386__) || defined(__x86_64__)
    explicit X87Precision(int bits)
    {
        asm volatile("fnstcw %0" : "=m"(saved_));
        const std::uint16_t field = bits == 24 ? 0x000 : bits == 53 ? 0x200 : 0x300;
        const std::uint16_t word = static_cast<std::uint16_t>((saved_ & ~0x300u) | field);
        asm volatile("fldcw %0" : : "m"(word));
    }
    ~X87Precision() { asm volatile("fldcw %0" : : "m"(saved_)); }
#else
    explicit X87Precision(int) {}
#endif
    X87Precision(const X87Precision&) = delete;
    X87Precision& operator=(const X87Precision&) = delete;

#if defined(__i386__) || defined(__x86_64__)
private:
    std::uint16_t saved_ = 0;
#endif
};

constexpr int kX87Precisions[] = {24, 53, 64};
