#include "sim/collision_scan.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "sim_fakes.h"
#include "x87_precision.h"

namespace {

VarbuleRecord Disc(std::int32_t x, std::int32_t y, std::int32_t dx, std::int32_t dy, std::int32_t diameter = 8)
{
    VarbuleRecord v{};
    v.x = x;
    v.y = y;
    v.dx = dx;
    v.dy = dy;
    v.diameter = diameter;
    return v;
}

struct Velocity {
    std::int32_t dx, dy;
    bool operator==(const Velocity& o) const { return dx == o.dx && dy == o.dy; }
};

Velocity VelocityOf(const VarbuleRecord& v)
{
    return {v.dx, v.dy};
}

TEST(CollisionScan, DiscsEightApartTouchAndExchange)
{
    std::vector<VarbuleRecord> t{Disc(100, 100, 1, 2), Disc(108, 100, -3, 4)};
    EXPECT_EQ(CollisionScan(t.data(), 2, 0), 1);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{-3, 4}));
    EXPECT_EQ(VelocityOf(t[1]), (Velocity{1, 2}));
    EXPECT_EQ(t[0].collided, 1);
    EXPECT_EQ(t[1].collided, 1);
}

TEST(CollisionScan, DiscsNineApartDoNotTouch)
{
    std::vector<VarbuleRecord> t{Disc(100, 100, 1, 2), Disc(109, 100, -3, 4)};
    EXPECT_EQ(CollisionScan(t.data(), 2, 0), 0);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{1, 2}));
    EXPECT_EQ(t[0].collided, 0);
    EXPECT_EQ(t[1].collided, 0);
}

TEST(CollisionScan, SixApartIsAnExchangeOnlyAsTheMarginTestIsStrict)
{
    std::vector<VarbuleRecord> t{Disc(0, 0, 1, 2), Disc(6, 0, -3, 4)};
    EXPECT_EQ(CollisionScan(t.data(), 2, 0), 1);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{-3, 4}));
    EXPECT_EQ(VelocityOf(t[1]), (Velocity{1, 2}));
}

TEST(CollisionScan, FiveApartIsADeepOverlapThatReversesTheExchangedVelocities)
{
    std::vector<VarbuleRecord> t{Disc(0, 0, 1, 2), Disc(0, 5, -3, 4)};
    EXPECT_EQ(CollisionScan(t.data(), 2, 0), 0);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{3, -4}));
    EXPECT_EQ(VelocityOf(t[1]), (Velocity{-1, -2}));
    EXPECT_EQ(t[0].collided, 1);
    EXPECT_EQ(t[1].collided, 1);
}

TEST(CollisionScan, ObliqueContactsUseTheEuclideanDistance)
{
    // (6, 5) is about 7.81 away: in contact, not deep.
    std::vector<VarbuleRecord> t{Disc(0, 0, 1, 1), Disc(6, 5, 2, 2)};
    EXPECT_EQ(CollisionScan(t.data(), 2, 0), 1);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{2, 2}));

    // Diameters 8 and 9 meet at 8.5; (6, 6) is about 8.49 away.
    std::vector<VarbuleRecord> u{Disc(0, 0, 1, 1, 8), Disc(6, 6, 2, 2, 9)};
    EXPECT_EQ(CollisionScan(u.data(), 2, 0), 1);
    // (6, 7) is about 9.22 away: no contact.
    std::vector<VarbuleRecord> w{Disc(0, 0, 1, 1, 8), Disc(6, 7, 2, 2, 9)};
    EXPECT_EQ(CollisionScan(w.data(), 2, 0), 0);
}

TEST(CollisionScan, CoincidentCentresAreADeepOverlapOnlyAboveTwoPixels)
{
    std::vector<VarbuleRecord> t{Disc(50, 50, 1, 0), Disc(50, 50, 0, 1)};
    EXPECT_EQ(CollisionScan(t.data(), 2, 0), 0);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{0, -1}));

    // Diameters 1 and 1: the contact distance of 1 minus 2 is below 0, so no reversal.
    std::vector<VarbuleRecord> u{Disc(50, 50, 1, 0, 1), Disc(50, 50, 0, 1, 1)};
    EXPECT_EQ(CollisionScan(u.data(), 2, 0), 1);
    EXPECT_EQ(VelocityOf(u[0]), (Velocity{0, 1}));
}

TEST(CollisionScan, AFlaggedPartnerIsPassedOverButAFlaggedScannerScans)
{
    std::vector<VarbuleRecord> t{Disc(0, 0, 1, 2), Disc(5, 0, 3, 4)};
    t[1].collided = 1;
    EXPECT_EQ(CollisionScan(t.data(), 2, 0), 0);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{1, 2}));
    EXPECT_EQ(VelocityOf(t[1]), (Velocity{3, 4}));
    EXPECT_EQ(t[0].collided, 0);

    t[1].collided = 0;
    t[0].collided = 1;
    EXPECT_EQ(CollisionScan(t.data(), 2, 0), 0);  // an exchange and a reversal
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{-3, -4}));
}

TEST(CollisionScan, EqualVelocitiesStillCountAndFlag)
{
    std::vector<VarbuleRecord> t{Disc(0, 0, 2, 3), Disc(7, 0, 2, 3)};
    EXPECT_EQ(CollisionScan(t.data(), 2, 1), 1);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{2, 3}));
    EXPECT_EQ(VelocityOf(t[1]), (Velocity{2, 3}));
    EXPECT_EQ(t[0].collided, 1);
    EXPECT_EQ(t[1].collided, 1);
}

TEST(CollisionScan, ASingleEntryNeverCollidesWithItself)
{
    std::vector<VarbuleRecord> t{Disc(10, 10, 1, 2)};
    EXPECT_EQ(CollisionScan(t.data(), 1, 0), 0);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{1, 2}));
    EXPECT_EQ(t[0].collided, 0);
}

TEST(CollisionScan, ThreeTouchingVarbulesOverOneFrame)
{
    // s, p and q all touch (7 apart along a line would leave s and q apart, so a triangle).
    const Velocity vs{1, 1}, vp{2, 2}, vq{3, 3};
    std::vector<VarbuleRecord> t{Disc(0, 0, vs.dx, vs.dy), Disc(7, 0, vp.dx, vp.dy), Disc(3, 6, vq.dx, vq.dy)};
    std::vector<std::int32_t> counts;
    for (std::int32_t k = 0; k < 3; ++k) {
        t[static_cast<std::size_t>(k)].collided = 0;  // as the frame loop does before each scan
        counts.push_back(CollisionScan(t.data(), 3, k));
    }
    EXPECT_EQ(counts, (std::vector<std::int32_t>{2, 0, 1}));
    EXPECT_EQ(VelocityOf(t[0]), vq);
    EXPECT_EQ(VelocityOf(t[1]), vp);
    EXPECT_EQ(VelocityOf(t[2]), vs);
}

// The rule written out step by step, with the C library's single-precision power function
// and nothing clever, to hold the product's arithmetic to it bit for bit. Every value the
// rule rounds to single precision is a volatile float, stored and so rounded even on the
// x87 unit; the sum and the root are taken in long double, at the unit's full precision
// (the caller sets it), so no rounding comes in between.
float ReferenceCentreDistance(const VarbuleRecord& a, const VarbuleRecord& b)
{
    volatile const float deltaX = static_cast<float>(static_cast<std::int32_t>(static_cast<std::uint32_t>(a.x) - static_cast<std::uint32_t>(b.x)));
    volatile const float deltaY = static_cast<float>(static_cast<std::int32_t>(static_cast<std::uint32_t>(a.y) - static_cast<std::uint32_t>(b.y)));
    volatile const float squareX = std::pow(deltaX, 2.0f);
    volatile const float squareY = std::pow(deltaY, 2.0f);
    const long double sum = static_cast<long double>(squareX) + static_cast<long double>(squareY);
    volatile const float centre = static_cast<float>(std::sqrt(sum));
    return centre;
}

std::int32_t ReferenceScan(std::vector<VarbuleRecord>& table, std::int32_t s, std::int32_t& reversals)
{
    std::int32_t count = 0;
    for (std::int32_t p = 0; p < static_cast<std::int32_t>(table.size()); ++p) {
        VarbuleRecord& a = table[static_cast<std::size_t>(s)];
        VarbuleRecord& b = table[static_cast<std::size_t>(p)];
        const float centre = ReferenceCentreDistance(a, b);
        volatile const float contact = static_cast<float>(std::abs(a.diameter + b.diameter)) / 2.0f;
        if (contact < centre)
            continue;
        if (p == s)
            continue;
        if (b.collided == 1)
            continue;
        std::swap(a.dx, b.dx);
        std::swap(a.dy, b.dy);
        a.collided = b.collided = 1;
        ++count;
        volatile const float margin = contact - 2.0f;
        if (margin > centre) {
            a.dx = -a.dx;
            a.dy = -a.dy;
            b.dx = -b.dx;
            b.dy = -b.dy;
            --count;
            ++reversals;
        }
    }
    return count;
}

bool SameRecords(const std::vector<VarbuleRecord>& a, const std::vector<VarbuleRecord>& b)
{
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].dx != b[i].dx || a[i].dy != b[i].dy || a[i].collided != b[i].collided)
            return false;
    return true;
}

// Both ways of scanning agree with the rule, under every precision the x87 unit can be
// set to: the 32-bit build computes on it, and a thread may start with any of them.
TEST(CollisionScan, MatchesTheStepByStepRuleOverManyRandomTables)
{
    MsvcrtRandom random(12345);
    random.Seed();
    std::int32_t contacts = 0, reversals = 0;
    for (int round = 0; round < 3000; ++round) {
        const X87Precision full(64);
        // Crowded tables in small fields make contacts and deep overlaps common; every
        // fifth table spreads far out, where the squares are no longer exact in float;
        // and every fifth puts pairs of discs far apart at the very edge of contact or of
        // a deep overlap, where only exact rounding decides.
        const std::int32_t n = 1 + random.Next() % 64;
        const bool spread = round % 5 == 4, edges = round % 5 == 3;
        const std::int32_t field = spread ? 1 << (10 + random.Next() % 20)
                                   : edges ? 1 << (10 + random.Next() % 18)
                                           : 24 + random.Next() % 200;
        std::vector<VarbuleRecord> table;
        for (std::int32_t i = 0; i < n; ++i) {
            VarbuleRecord v = Disc(random.Next() * 65536 % field - field / 2, random.Next() * 65536 % field - field / 2,
                                   random.Next() % 17 - 8, random.Next() % 17 - 8, 1 + random.Next() % 41);
            if (spread || edges)
                v.diameter = (random.Next() * 32768 + random.Next()) % (field / 4 + 1);
            if (edges && i % 2 == 1) {
                // The pair's diameters add up to twice their centre distance, give or take
                // a pixel or two: contact and margin tests land on the rounding boundary.
                const VarbuleRecord& before = table.back();
                v.x = before.x + random.Next() * 65536 % field;
                v.y = before.y + random.Next() * 65536 % field;
                const auto twiceCentre = static_cast<std::int32_t>(2.0f * ReferenceCentreDistance(v, before));
                v.diameter = twiceCentre - before.diameter + random.Next() % 8 - 2;
            }
            v.collided = random.Next() % 4 == 0;
            table.push_back(v);
        }
        // The expected state after each varbule's scan, in the order of the frame loop.
        std::vector<VarbuleRecord> expected = table;
        std::vector<std::vector<VarbuleRecord>> steps;
        std::vector<std::int32_t> counts;
        for (std::int32_t k = 0; k < n; ++k) {
            expected[static_cast<std::size_t>(k)].collided = 0;  // as the frame loop does before each scan
            counts.push_back(ReferenceScan(expected, k, reversals));
            steps.push_back(expected);
            contacts += counts.back();
        }
        for (const int bits : kX87Precisions) {
            std::vector<VarbuleRecord> plain = table;
            std::vector<VarbuleRecord> laidOut = table;  // scanned the frame loop's way
            ScanLayout layout;
            LayOut(laidOut.data(), n, layout);
            const X87Precision precision(bits);  // within the full precision above
            for (std::int32_t k = 0; k < n; ++k) {
                const auto at = static_cast<std::size_t>(k);
                plain[at].collided = laidOut[at].collided = 0;
                const std::int32_t got = CollisionScan(plain.data(), n, k);
                const std::int32_t gotLaidOut = CollisionScan(laidOut.data(), n, k, layout);
                ASSERT_EQ(got, counts[at]) << "round " << round << " index " << k << ", " << bits << "-bit x87";
                ASSERT_EQ(gotLaidOut, counts[at]) << "round " << round << " index " << k << ", " << bits << "-bit x87";
                ASSERT_TRUE(SameRecords(plain, steps[at])) << "round " << round << " index " << k << ", " << bits << "-bit x87";
                ASSERT_TRUE(SameRecords(laidOut, steps[at])) << "round " << round << " index " << k << ", " << bits << "-bit x87";
            }
        }
    }
    // The comparison only means something if the tables really collided.
    EXPECT_GT(contacts, 1000);
    EXPECT_GT(reversals, 1000);
}

// Both ways of scanning, which must agree; the table is left as the plain scan leaves it.
std::int32_t ScanBothWays(std::vector<VarbuleRecord>& t, std::int32_t index)
{
    const auto n = static_cast<std::int32_t>(t.size());
    std::vector<VarbuleRecord> laidOut = t;
    ScanLayout layout;
    LayOut(laidOut.data(), n, layout);
    const std::int32_t count = CollisionScan(t.data(), n, index);
    EXPECT_EQ(CollisionScan(laidOut.data(), n, index, layout), count);
    EXPECT_TRUE(SameRecords(t, laidOut));
    return count;
}

// The scan computes like the 32-bit machine: two diameters of INT32_MAX add up to -2,
// whose magnitude 2 makes a contact distance of 1.
TEST(CollisionScan, DiameterSumsWrapAroundLikeTheMachine)
{
    const std::int32_t huge = std::numeric_limits<std::int32_t>::max();
    std::vector<VarbuleRecord> t{Disc(0, 0, 1, 2, huge), Disc(1, 0, 3, 4, huge)};
    EXPECT_EQ(ScanBothWays(t, 0), 1);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{3, 4}));
    EXPECT_EQ(VelocityOf(t[1]), (Velocity{1, 2}));

    std::vector<VarbuleRecord> u{Disc(0, 0, 1, 2, huge), Disc(2, 0, 3, 4, huge)};
    EXPECT_EQ(ScanBothWays(u, 0), 0);
    EXPECT_EQ(u[0].collided, 0);
}

// The magnitude of the most negative sum is itself, as on the machine, so its contact
// distance is negative and no pair reaches it, not even one on the same spot.
TEST(CollisionScan, TheMostNegativeDiameterSumNeverTouches)
{
    const std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    std::vector<VarbuleRecord> t{Disc(5, 5, 1, 2, lowest), Disc(5, 5, 3, 4, 0)};
    EXPECT_EQ(ScanBothWays(t, 0), 0);
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{1, 2}));
    EXPECT_EQ(t[0].collided, 0);
    EXPECT_EQ(t[1].collided, 0);

    // Twice the most negative wraps to 0: a contact distance of 0, met only on the spot.
    std::vector<VarbuleRecord> u{Disc(5, 5, 1, 2, lowest), Disc(5, 5, 3, 4, lowest)};
    EXPECT_EQ(ScanBothWays(u, 0), 1);
    EXPECT_EQ(VelocityOf(u[0]), (Velocity{3, 4}));
}

// Reversing a velocity of INT32_MIN leaves it INT32_MIN, as the machine's negation does.
TEST(CollisionScan, ReversingTheMostNegativeVelocityKeepsIt)
{
    const std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
    std::vector<VarbuleRecord> t{Disc(0, 0, lowest, 5), Disc(0, 0, 7, lowest)};
    EXPECT_EQ(ScanBothWays(t, 0), 0);  // a deep overlap: exchanged, then reversed
    EXPECT_EQ(VelocityOf(t[0]), (Velocity{-7, lowest}));
    EXPECT_EQ(VelocityOf(t[1]), (Velocity{lowest, -5}));
}

}  // namespace
