#include "settings/saver_strings.h"

#include <cstring>

#include <gtest/gtest.h>

#include "globals/saver_globals.h"
#include "resources/resource.h"

namespace {

TEST(SaverStrings, FillsEveryBufferFromTheStringTable)
{
    LoadSaverStrings();
    EXPECT_STREQ(saver.descriptionText, "Varbules collisions");
    EXPECT_STREQ(saver.appName, "Screen Saver.Varbules");
    EXPECT_STREQ(saver.settingsFileName, "Varbule.ini");
    EXPECT_STREQ(saver.screenSaverName, "ScreenSaver");
    EXPECT_STREQ(saver.helpFileName, "Varbule.hlp");
    EXPECT_STREQ(saver.noHelpMemoryText, "Insufficient memory for help.");
    EXPECT_STREQ(saver.rateLabel, "Actions per sec:");
    EXPECT_NE(std::strstr(saver.creditLine, "Varbules"), nullptr) << saver.creditLine;
}

TEST(SaverStrings, TheCreditLineFitsItsBufferUncut)
{
    char wide[256] = {};
    const int length = LoadStringA(saver.saverInstance, IDS_CREDIT_LINE, wide, sizeof wide);
    EXPECT_GT(length, 0);
    EXPECT_LE(length, 63);
    LoadSaverStrings();
    EXPECT_STREQ(saver.creditLine, wide);
}

TEST(SaverStrings, LoadingAgainDropsARateWrittenBehindTheLabel)
{
    LoadSaverStrings();
    std::strcat(saver.rateLabel, "123.45");
    LoadSaverStrings();
    EXPECT_STREQ(saver.rateLabel, "Actions per sec:");
}

TEST(LoadStringA, CutsATextToItsBufferAndAlwaysTerminates)
{
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(LoadStringA(saver.saverInstance, IDS_NO_HELP_MEMORY, buffer, 13), 12);
    EXPECT_STREQ(buffer, "Insufficient");
    EXPECT_EQ(buffer[13], 'x') << "nothing is written past the given size";

    EXPECT_EQ(LoadStringA(saver.saverInstance, IDS_SETTINGS_FILE, buffer, 12), 11);
    EXPECT_STREQ(buffer, "Varbule.ini");
    EXPECT_EQ(LoadStringA(saver.saverInstance, IDS_SETTINGS_FILE, buffer, 11), 10);
    EXPECT_STREQ(buffer, "Varbule.in");
}

}  // namespace
