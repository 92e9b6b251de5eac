// The settings file where the name may belong to things other than files: a pipe or a
// device in the current directory is neither read nor written.
#include "settings/settings_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "globals/saver_globals.h"
#include "settings/saver_strings.h"
#include "temp_directory.h"

namespace {

class SettingsFileOnPosix : public ::testing::Test {
protected:
    void SetUp() override
    {
        saver.varbuleCount = 32;
        saver.settingsRecord.fill(0);
        saver.settingsRecord[1] = 99;
        LoadSaverStrings();
        // Opening a pipe that nobody writes to blocks for ever; should it happen, the
        // alarm ends the test program instead of leaving it hanging.
        alarm(10);
    }
    void TearDown() override { alarm(0); }

private:
    ScopedTempDirectory directory_;
};

TEST_F(SettingsFileOnPosix, APipeIsNeitherReadNorWritten)
{
    ASSERT_EQ(mkfifo("Varbule.ini", 0644), 0);
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 32);
    EXPECT_EQ(saver.settingsFile, nullptr);

    // Written into a pipe, the record would be gone while the dialog said it was stored.
    EXPECT_FALSE(WriteSettingsFile());
    struct stat status {};
    ASSERT_EQ(stat("Varbule.ini", &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_EQ(saver.settingsFile, nullptr);
}

TEST_F(SettingsFileOnPosix, ALinkToAFileIsFollowedAndALinkToADeviceIsNot)
{
    {
        std::FILE* file = std::fopen("real.ini", "wb");
        ASSERT_NE(file, nullptr);
        const unsigned char bytes[2] = {7, 48};
        std::fwrite(bytes, 1, sizeof bytes, file);
        std::fclose(file);
    }
    std::filesystem::create_symlink("real.ini", "Varbule.ini");
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 48);

    std::filesystem::remove("Varbule.ini");
    std::filesystem::create_symlink("/dev/zero", "Varbule.ini");
    saver.varbuleCount = 32;
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 32);
    EXPECT_FALSE(WriteSettingsFile());
}

}  // namespace
