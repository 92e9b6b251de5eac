// Fuzzes the collision scan with tables of any 32-bit positions, velocities and sizes.
// Each input is one table; every varbule scans it in turn, as in a frame, once by each
// overload, and every scan is checked against what a scan may and may not do.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "sim/collision_scan.h"

namespace {

using Table = std::vector<VarbuleRecord>;

void Print(const char* name, const Table& table)
{
    std::fprintf(stderr, "  %s:\n", name);
    for (const VarbuleRecord& v : table)
        std::fprintf(stderr, "    x=%d y=%d dx=%d dy=%d diameter=%d collided=%d\n", v.x, v.y, v.dx, v.dy, v.diameter,
                     v.collided);
}

void Check(bool condition, const char* what, std::int32_t index, const Table& before, const Table& after)
{
    if (condition)
        return;
    std::fprintf(stderr, "collision_scan_fuzz: %s (scan of varbule %d)\n", what, index);
    Print("before", before);
    Print("after", after);
    std::abort();
}

bool SameRecord(const VarbuleRecord& a, const VarbuleRecord& b)
{
    return a.x == b.x && a.y == b.y && a.dx == b.dx && a.dy == b.dy && a.diameter == b.diameter &&
           a.collided == b.collided && a.bounds.left == b.bounds.left && a.bounds.top == b.bounds.top &&
           a.bounds.right == b.bounds.right && a.bounds.bottom == b.bounds.bottom && a.brush == b.brush &&
           a.region == b.region;
}

bool SameTable(const Table& a, const Table& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameRecord);
}

// Negation as the 32-bit machine does it: INT32_MIN stays itself.
std::int32_t Negated(std::int32_t v)
{
    return static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v));
}

// The pair rule written out for every pair, with no quick test in front of it. The
// scans' quick test only spares work: it must never change a result.
std::int32_t ExhaustiveScan(Table& table, std::int32_t index)
{
    VarbuleRecord& s = table[static_cast<std::size_t>(index)];
    std::int32_t count = 0;
    for (std::size_t p = 0; p < table.size(); ++p) {
        VarbuleRecord& partner = table[p];
        const auto wrapped = [](std::int32_t a, std::int32_t b) {
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
        };
        const float deltaX = static_cast<float>(wrapped(s.x, partner.x));
        const float deltaY = static_cast<float>(wrapped(s.y, partner.y));
        const float squareX = deltaX * deltaX;
        const float squareY = deltaY * deltaY;
        const float centre = static_cast<float>(std::sqrt(static_cast<double>(squareX) + static_cast<double>(squareY)));
        const std::int32_t sum = wrapped(s.diameter, Negated(partner.diameter));
        const float contact = static_cast<float>(sum < 0 ? Negated(sum) : sum) / 2.0f;
        if (contact < centre || p == static_cast<std::size_t>(index) || partner.collided == 1)
            continue;
        std::swap(s.dx, partner.dx);
        std::swap(s.dy, partner.dy);
        s.collided = 1;
        partner.collided = 1;
        if (contact - 2.0f > centre) {
            s.dx = Negated(s.dx);
            s.dy = Negated(s.dy);
            partner.dx = Negated(partner.dx);
            partner.dy = Negated(partner.dy);
        } else {
            ++count;
        }
    }
    return count;
}

// A velocity and its reverse stand for the same entry, so a scan may turn any vector
// round but must neither make up nor lose one.
std::vector<std::pair<std::int32_t, std::int32_t>> VelocitiesUpToSign(const Table& table)
{
    std::vector<std::pair<std::int32_t, std::int32_t>> velocities;
    for (const VarbuleRecord& v : table)
        velocities.push_back(std::min(std::make_pair(v.dx, v.dy), std::make_pair(Negated(v.dx), Negated(v.dy))));
    std::sort(velocities.begin(), velocities.end());
    return velocities;
}

// Small values put discs close together, so most inputs touch; any 32-bit value may
// stand in for any field too, to reach the extremes.
std::int32_t Field(FuzzedDataProvider& input, bool wide)
{
    return wide ? input.ConsumeIntegral<std::int32_t>() : input.ConsumeIntegral<std::int8_t>();
}

void CheckScan(const Table& before, std::int32_t index)
{
    const auto n = static_cast<std::int32_t>(before.size());
    Table plain = before;
    Table laidOut = before;
    ScanLayout layout;
    LayOut(laidOut.data(), n, layout);
    const std::int32_t count = CollisionScan(plain.data(), n, index);
    const std::int32_t countLaidOut = CollisionScan(laidOut.data(), n, index, layout);

    Check(count == countLaidOut, "the two scans count differently", index, before, plain);
    Check(SameTable(plain, laidOut), "the two scans leave different tables", index, plain, laidOut);
    Table exhaustive = before;
    const std::int32_t countExhaustive = ExhaustiveScan(exhaustive, index);
    Check(count == countExhaustive, "the scan counts unlike the rule applied to every pair", index, before, exhaustive);
    Check(SameTable(plain, exhaustive), "the scan leaves another table than the rule applied to every pair", index, plain,
          exhaustive);
    Check(count >= 0 && count <= n - 1, "the count is outside 0 to n-1", index, before, plain);

    std::int32_t newlyCollided = 0;
    for (std::int32_t p = 0; p < n; ++p) {
        const VarbuleRecord& was = before[static_cast<std::size_t>(p)];
        const VarbuleRecord& is = plain[static_cast<std::size_t>(p)];
        VarbuleRecord kept = is;
        kept.dx = was.dx;
        kept.dy = was.dy;
        kept.collided = was.collided;
        Check(SameRecord(kept, was), "a scan changes more than dx, dy and collided", index, before, plain);
        Check(is.collided == 0 || is.collided == 1, "collided is neither 0 nor 1", index, before, plain);
        Check(was.collided <= is.collided, "collided goes back to 0", index, before, plain);
        if (p == index)
            continue;
        if (was.collided == 1)
            Check(SameRecord(is, was), "a partner that had collided is changed", index, before, plain);
        if (is.collided != was.collided)
            ++newlyCollided;
        else
            Check(SameRecord(is, was), "a partner changes without colliding", index, before, plain);
    }
    const VarbuleRecord& scanner = plain[static_cast<std::size_t>(index)];
    if (newlyCollided > 0)
        Check(scanner.collided == 1, "a partner collides but the scanning varbule does not", index, before, plain);
    else
        Check(SameTable(plain, before), "a scan without any contact changes the table", index, before, plain);
    Check(count <= newlyCollided, "more exchanges counted than partners collided", index, before, plain);
    Check(VelocitiesUpToSign(plain) == VelocitiesUpToSign(before), "the velocities are not those of before, up to sign",
          index, before, plain);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::int32_t n = input.ConsumeIntegralInRange<std::int32_t>(1, kMaxVarbules);
    Table table;
    for (std::int32_t k = 0; k < n; ++k) {
        const std::uint8_t form = input.ConsumeIntegral<std::uint8_t>();
        VarbuleRecord v{};
        v.x = Field(input, form & 1);
        v.y = Field(input, form & 2);
        v.dx = Field(input, form & 4);
        v.dy = Field(input, form & 8);
        v.diameter = Field(input, form & 16);
        v.collided = (form & 32) ? 1 : 0;
        // Contacts between large discs are rare among random positions, and it is at the
        // edge of contact that rounding matters. These two bits place the disc at the
        // contact distance from the one before, along x, y or both, and x and y become
        // offsets from there.
        if (k > 0 && (form & 0xC0) != 0) {
            const VarbuleRecord& before = table.back();
            const std::int64_t contact = (static_cast<std::int64_t>(before.diameter) + v.diameter) / 2;
            const auto at = [](std::int32_t from, std::int64_t distance, std::int32_t offset) {
                return static_cast<std::int32_t>(static_cast<std::uint32_t>(from) +
                                                 static_cast<std::uint32_t>(distance + offset));
            };
            v.x = at(before.x, (form & 0x40) ? contact : 0, v.x);
            v.y = at(before.y, (form & 0x80) ? contact : 0, v.y);
        }
        // Fields the scan must never touch, each with its own value.
        v.bounds = {k, k + 1, k + 2, k + 3};
        v.brush = static_cast<Surface::Brush>(k + 100);
        v.region = static_cast<Surface::Region>(k + 200);
        table.push_back(v);
    }

    // Every varbule scans in turn, each on the table the scans before it left.
    for (std::int32_t index = 0; index < n; ++index) {
        CheckScan(table, index);
        CollisionScan(table.data(), n, index);
    }
    return 0;
}
