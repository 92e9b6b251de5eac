#include "host/command_line.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(SkipProgramName, CutsAPlainOrQuotedNameAndTheBlanksAfterIt)
{
    EXPECT_STREQ(SkipProgramName("Varbule.scr /s"), "/s");
    EXPECT_STREQ(SkipProgramName("C:\\WINDOWS\\VARBULE.SCR\t \t/p 1234"), "/p 1234");
    EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\Screen Savers\\Varbule.scr\" /c"), "/c");
    // Letters inside a quoted path never count as switches.
    const SaverCommand command = ScanCommandLine(SkipProgramName("\"C:\\Saves\\Previews\\V.scr\""));
    EXPECT_EQ(command.what, SaverSwitch::Configure);
    EXPECT_STREQ(SkipProgramName("\"unterminated path /s"), "");
    EXPECT_STREQ(SkipProgramName("Varbule.scr"), "");
    EXPECT_STREQ(SkipProgramName(""), "");
    EXPECT_STREQ(SkipProgramName("\"\"/s"), "/s");
}

TEST(ScanCommandLine, TheFirstSwitchLetterAnywhereDecides)
{
    EXPECT_EQ(ScanCommandLine("").what, SaverSwitch::Configure);
    EXPECT_EQ(ScanCommandLine("/x").what, SaverSwitch::Configure);
    for (const char* save : {"/s", "-s", "/S", "s", "/save"})
        EXPECT_EQ(ScanCommandLine(save).what, SaverSwitch::Save) << save;
    EXPECT_EQ(ScanCommandLine("xyz abc").what, SaverSwitch::ChangePassword) << "the a of abc";
    EXPECT_EQ(ScanCommandLine("/c:1234").what, SaverSwitch::Configure);
    EXPECT_EQ(ScanCommandLine("/c:1234").window, 0u);
    // /preview reads its number from "review": none, so 0.
    const SaverCommand preview = ScanCommandLine("/preview");
    EXPECT_EQ(preview.what, SaverSwitch::Preview);
    EXPECT_EQ(preview.window, 0u);
}

TEST(ScanCommandLine, PreviewAndPasswordReadTheNumberRightAfterTheLetter)
{
    EXPECT_EQ(ScanCommandLine("/p 1234").window, 1234u);
    EXPECT_EQ(ScanCommandLine("/p1234").window, 1234u);
    EXPECT_EQ(ScanCommandLine("/p:1234").window, 0u);
    EXPECT_EQ(ScanCommandLine("/p").window, 0u);
    EXPECT_EQ(ScanCommandLine("/a 66666").what, SaverSwitch::ChangePassword);
    EXPECT_EQ(ScanCommandLine("/a 66666").window, 66666u);
}

TEST(ReadWindowNumber, FollowsTheCRuntimesUnsigned32BitRules)
{
    EXPECT_EQ(ReadWindowNumber(" \t\n\v\f\r42"), 42u);
    EXPECT_EQ(ReadWindowNumber("+7"), 7u);
    EXPECT_EQ(ReadWindowNumber("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadWindowNumber("-4294967295"), 1u);
    EXPECT_EQ(ReadWindowNumber("4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadWindowNumber("4294967296"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadWindowNumber("-4294967296"), 0xFFFFFFFFu) << "an overflow ignores the sign";
    EXPECT_EQ(ReadWindowNumber("99999999999999999999999"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadWindowNumber("12ab"), 12u);
    EXPECT_EQ(ReadWindowNumber(""), 0u);
    EXPECT_EQ(ReadWindowNumber("+-5"), 0u);
    EXPECT_EQ(ReadWindowNumber("- 5"), 0u);
    EXPECT_EQ(ReadWindowNumber(":1234"), 0u);
}

}  // namespace
