#include "settings/settings_path.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(JoinPath, JoinsWithOneSeparatorAndRefusesWhatDoesNotFit)
{
    char wide[32];
    EXPECT_TRUE(JoinPath(wide, sizeof wide, "C:\\Data", "Varbules", '\\'));
    EXPECT_STREQ(wide, "C:\\Data\\Varbules");
    EXPECT_TRUE(JoinPath(wide, sizeof wide, "/home/", "x", '/'));
    EXPECT_STREQ(wide, "/home/x") << "no second separator";

    char out[16];

    // Fifteen characters and the terminator fit exactly; sixteen do not.
    EXPECT_TRUE(JoinPath(out, sizeof out, "0123456789", "abcd", '/'));
    EXPECT_STREQ(out, "0123456789/abcd");
    EXPECT_FALSE(JoinPath(out, sizeof out, "0123456789", "abcde", '/'));
    EXPECT_STREQ(out, "") << "left empty, not cut short";
    const std::string huge(100000, 'z');
    EXPECT_FALSE(JoinPath(out, sizeof out, huge.c_str(), "x", '/'));
    EXPECT_FALSE(JoinPath(out, sizeof out, "x", huge.c_str(), '/'));
}

TEST(JoinPath, RefusesMissingOrEmptyParts)
{
    char out[16] = "old";
    EXPECT_FALSE(JoinPath(out, sizeof out, nullptr, "x", '/'));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(JoinPath(out, sizeof out, "", "x", '/'));
    EXPECT_FALSE(JoinPath(out, sizeof out, "x", nullptr, '/'));
    EXPECT_FALSE(JoinPath(out, sizeof out, "x", "", '/'));
    EXPECT_FALSE(JoinPath(out, 0, "x", "y", '/'));
}

}  // namespace
