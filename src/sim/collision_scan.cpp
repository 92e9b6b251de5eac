#include "sim/collision_scan.h"

#include <cmath>
#include <cstring>

#include "sim/single_precision.h"

namespace {

// Differences wrap like the 32-bit machine arithmetic they model, instead of overflowing.
std::int32_t Difference(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// The sum of two diameters, wrapping like the machine's addition.
std::int32_t Sum(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// Negation as the machine does it: the most negative value is its own negation.
std::int32_t Negated(std::int32_t value)
{
    return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(value));
}

// The machine's absolute value: the magnitude of the most negative value stays negative,
// so a contact distance made from it is never reached.
std::int32_t Magnitude(std::int32_t value)
{
    return value < 0 ? Negated(value) : value;
}

// True when a difference is certainly too far for contact: beyond reach either way.
bool Beyond(std::int32_t difference, std::uint32_t reach)
{
    return static_cast<std::uint32_t>(difference) + reach > 2 * reach;
}

// Reaches up to this size leave the float arithmetic far more exact than the pixel of
// margin the quick test relies on; larger discs always take the exact test.
constexpr std::uint32_t kLargestQuickReach = 1u << 20;

// The centre distance of two discs: their differences in x and y turned into floats,
// each squared in float, the root of the sum of the squares rounded to float. Each value
// the rule rounds to float is rounded as it is made, so the x87 unit gives the same bits
// as SSE. The squares are whole numbers of at most 2^62, so their sum is exact as a
// 64-bit integer, and its conversion to double is the correctly rounded sum whatever
// precision the x87 unit is set to; and a root that the unit rounds to 24, 53 or 64 bits
// is the same once it is rounded to float.
float CentreDistance(const VarbuleRecord& s, const VarbuleRecord& partner)
{
    const float deltaX = RoundedToFloat(static_cast<float>(Difference(s.x, partner.x)));
    const float deltaY = RoundedToFloat(static_cast<float>(Difference(s.y, partner.y)));
    // A float product is the correctly rounded square, the same as powf(delta, 2.0f).
    const float squareX = RoundedToFloat(deltaX * deltaX);
    const float squareY = RoundedToFloat(deltaY * deltaY);
    const std::uint64_t sum = static_cast<std::uint64_t>(static_cast<std::int64_t>(squareX)) +
                              static_cast<std::uint64_t>(static_cast<std::int64_t>(squareY));
    return RoundedToFloat(static_cast<float>(std::sqrt(RoundedToDouble(static_cast<double>(sum)))));
}

// The exact rule for one pair: returns the change to the scan's count.
std::int32_t TestPair(VarbuleRecord& s, VarbuleRecord& partner, bool samePlace)
{
    const float centreDistance = CentreDistance(s, partner);
    // Halving a float is exact; turning a sum of more than 24 bits into one is not.
    const float contactDistance = RoundedToFloat(static_cast<float>(Magnitude(Sum(s.diameter, partner.diameter)))) / 2.0f;
    if (contactDistance < centreDistance || samePlace || partner.collided == 1)
        return 0;

    const std::int32_t formerDx = s.dx;
    const std::int32_t formerDy = s.dy;
    s.dx = partner.dx;
    s.dy = partner.dy;
    partner.dx = formerDx;
    partner.dy = formerDy;
    partner.collided = 1;
    s.collided = 1;

    if (RoundedToFloat(contactDistance - 2.0f) > centreDistance) {
        s.dx = Negated(s.dx);
        s.dy = Negated(s.dy);
        partner.dx = Negated(partner.dx);
        partner.dy = Negated(partner.dy);
        return 0;  // the exchange, taken back by the reversal
    }
    return 1;
}

// The quick test of the scan below for a whole table at once: whether each partner is
// near enough to need the exact test. Free of branches, so the compiler does several
// partners per instruction.
void MarkNearPartners(const ScanLayout& layout, std::int32_t length, const VarbuleRecord& s, std::uint8_t* near)
{
    const std::uint32_t x = static_cast<std::uint32_t>(s.x);
    const std::uint32_t y = static_cast<std::uint32_t>(s.y);
    for (std::int32_t p = 0; p < length; ++p) {
        const std::int32_t sum = Sum(s.diameter, layout.diameter[p]);
        const std::uint32_t magnitude = sum < 0 ? 0u - static_cast<std::uint32_t>(sum) : static_cast<std::uint32_t>(sum);
        const std::uint32_t reach = magnitude / 2u + 2u;
        const std::uint32_t shiftedX = x - static_cast<std::uint32_t>(layout.x[p]) + reach;
        const std::uint32_t shiftedY = y - static_cast<std::uint32_t>(layout.y[p]) + reach;
        near[p] = static_cast<std::uint8_t>((reach > kLargestQuickReach) | ((shiftedX <= 2 * reach) & (shiftedY <= 2 * reach)));
    }
}

}  // namespace

void LayOut(const VarbuleRecord* table, std::int32_t length, ScanLayout& layout)
{
    for (std::int32_t k = 0; k < length; ++k) {
        layout.x[k] = table[k].x;
        layout.y[k] = table[k].y;
        layout.diameter[k] = table[k].diameter;
    }
}

std::int32_t CollisionScan(VarbuleRecord* table, std::int32_t length, std::int32_t index, const ScanLayout& layout)
{
    alignas(8) std::uint8_t near[kMaxVarbules] = {};
    MarkNearPartners(layout, length, table[index], near);
    near[index] = 0;  // a varbule never exchanges with itself
    std::int32_t count = 0;
    // Near pairs are few: look at the marks eight at a time.
    for (std::int32_t first = 0; first < length; first += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, near + first, sizeof eight);
        if (eight == 0)
            continue;
        for (std::int32_t p = first; p < first + 8 && p < length; ++p) {
            if (near[p])
                count += TestPair(table[index], table[p], p == index);
        }
    }
    return count;
}

std::int32_t CollisionScan(VarbuleRecord* table, std::int32_t length, std::int32_t index)
{
    VarbuleRecord& s = table[index];
    // The scan never moves a disc or changes its size, so these hold for the whole scan.
    const std::int32_t x = s.x;
    const std::int32_t y = s.y;
    const std::int32_t diameter = s.diameter;
    std::int32_t count = 0;
    for (std::int32_t p = 0; p < length; ++p) {
        const VarbuleRecord& partner = table[p];
        // Most pairs are far apart. A pair more than a whole pixel beyond the contact
        // distance along either axis cannot be brought into contact by any rounding in
        // the exact test, so only near pairs take it.
        const std::uint32_t reach = static_cast<std::uint32_t>(Magnitude(Sum(diameter, partner.diameter))) / 2u + 2u;
        if (reach <= kLargestQuickReach &&
            (Beyond(Difference(x, partner.x), reach) || Beyond(Difference(y, partner.y), reach)))
            continue;
        count += TestPair(s, table[p], p == index);
    }
    return count;
}
