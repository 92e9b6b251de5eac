#include "settings/settings_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "globals/saver_globals.h"
#include "settings/saver_strings.h"
#include "temp_directory.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

// Each test runs in an empty directory of its own, as a fresh saver process would.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        saver.varbuleCount = 32;
        saver.settingsRecord.fill(0);
        LoadSaverStrings();
    }

    static void WriteFile(const Bytes& bytes)
    {
        std::ofstream out("Varbule.ini", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes ReadFile(const fs::path& name = "Varbule.ini")
    {
        std::ifstream in(name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Bytes that differ from each other and from zero, so any byte lost or moved shows.
    static Bytes Pattern(std::size_t size)
    {
        Bytes bytes(size);
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(i * 7 + 3);
        return bytes;
    }

    ScopedTempDirectory directory_;
};

TEST_F(SettingsFile, NoFileKeepsTheCountAndWritingCreatesA512ByteRecord)
{
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 32);
    EXPECT_EQ(saver.settingsFile, nullptr);

    ASSERT_TRUE(WriteSettingsFile());
    Bytes expected(512, 0);
    expected[1] = 32;
    EXPECT_EQ(ReadFile(), expected);
    EXPECT_EQ(saver.settingsFile, nullptr);
}

TEST_F(SettingsFile, AnEmptyOrOneByteFileGivesACountOfZero)
{
    WriteFile({});
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 0);

    saver.varbuleCount = 32;
    WriteFile({0x55});
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 0);
    ASSERT_TRUE(WriteSettingsFile());
    Bytes expected(512, 0);
    expected[0] = 0x55;
    EXPECT_EQ(ReadFile(), expected);
}

TEST_F(SettingsFile, AShortFileSuppliesWhatItHasAndIsWrittenBackAtFullLength)
{
    for (const std::size_t size : {2u, 100u, 511u}) {
        saver.settingsRecord.fill(0);
        Bytes bytes = Pattern(size);
        bytes[1] = 16;
        WriteFile(bytes);
        ReadSettingsFile();
        EXPECT_EQ(saver.varbuleCount, 16) << size;

        saver.varbuleCount = 64;
        ASSERT_TRUE(WriteSettingsFile());
        Bytes expected = bytes;
        expected[1] = 64;
        expected.resize(512, 0);
        EXPECT_EQ(ReadFile(), expected) << size;
    }
}

TEST_F(SettingsFile, EveryOtherByteSurvivesAReadAndWriteAndAnyCountIsTaken)
{
    Bytes bytes = Pattern(512);
    bytes[1] = 200;
    WriteFile(bytes);
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 200);
    ASSERT_TRUE(WriteSettingsFile());
    EXPECT_EQ(ReadFile(), bytes);
}

TEST_F(SettingsFile, ALongerFileIsReadInPartAndTruncatedOnWriting)
{
    Bytes bytes = Pattern(1000);
    bytes[1] = 32;
    WriteFile(bytes);
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 32);
    saver.varbuleCount = 16;
    ASSERT_TRUE(WriteSettingsFile());
    Bytes expected(bytes.begin(), bytes.begin() + 512);
    expected[1] = 16;
    EXPECT_EQ(ReadFile(), expected);
}

TEST_F(SettingsFile, OnlyTheLowEightBitsOfTheCountAreStored)
{
    saver.varbuleCount = 300;
    ASSERT_TRUE(WriteSettingsFile());
    EXPECT_EQ(ReadFile().at(1), 300 & 0xFF);
}

TEST_F(SettingsFile, ADirectoryInPlaceOfTheFileIsNeitherReadNorWritten)
{
    fs::create_directory("Varbule.ini");
    saver.settingsRecord[1] = 99;
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 32);
    EXPECT_EQ(saver.settingsFile, nullptr);

    EXPECT_FALSE(WriteSettingsFile());
    EXPECT_TRUE(fs::is_directory("Varbule.ini"));
    EXPECT_EQ(saver.settingsFile, nullptr);
}

// The saver's own folder in the user's settings folder.
fs::path UserFolderIn(const fs::path& base)
{
#ifdef _WIN32
    return base / "Varbules";
#else
    return base / "varbules";
#endif
}

// The same, with a settings folder of the user's own that can be used.
class UserSettingsFile : public SettingsFile {
protected:
    fs::path base_ = directory_.path() / "user settings";
    ScopedEnvironmentVariable variable_{kUserSettingsVariable, base_.string()};
};

TEST_F(UserSettingsFile, TheUsersOwnFileComesFirstAndAWriteGoesThereLeavingTheCurrentOneAlone)
{
    fs::create_directories(base_);
    Bytes current = Pattern(512);
    current[1] = 64;
    WriteFile(current);
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 64) << "without a file of the user's own the current directory's counts";

    saver.varbuleCount = 16;
    ASSERT_TRUE(WriteSettingsFile());
    EXPECT_EQ(ReadFile(), current) << "the current directory's file is left as it was";
    Bytes expected = current;
    expected[1] = 16;
    EXPECT_EQ(ReadFile(UserFolderIn(base_) / "Varbule.ini"), expected) << "written, with its folder, in the user's";

    saver.varbuleCount = 32;
    saver.settingsRecord.fill(0);
    ReadSettingsFile();
    EXPECT_EQ(saver.varbuleCount, 16) << "from now on the user's own file counts";
    EXPECT_EQ(saver.settingsFile, nullptr);
}

// No settings folder of the user's, one named too long for a path, or one that cannot be
// made: the current directory serves, as it always did, and no buffer overflows.
TEST_F(SettingsFile, WithoutAUsableUserFolderTheCurrentDirectoryServes)
{
    std::ofstream(directory_.path() / "a file") << "not a folder";
    const std::vector<std::string> unusable{
        "",
        std::string(300, 'x'),
        (directory_.path() / std::string(1100, 'y')).string(),
        (directory_.path() / "a file").string(),
        (directory_.path() / "a file" / "below").string(),
    };
    for (const std::string& base : unusable) {
        const ScopedEnvironmentVariable variable(kUserSettingsVariable, base);
        fs::remove("Varbule.ini");
        saver.varbuleCount = 16;
        ASSERT_TRUE(WriteSettingsFile()) << base.substr(0, 60);
        EXPECT_EQ(ReadFile().size(), 512u) << base.substr(0, 60);
        saver.varbuleCount = 32;
        ReadSettingsFile();
        EXPECT_EQ(saver.varbuleCount, 16) << base.substr(0, 60);
    }
}

}  // namespace
