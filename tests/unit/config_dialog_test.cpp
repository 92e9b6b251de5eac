#include "settings/config_dialog.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "globals/saver_globals.h"
#include "host/saver_main.h"
#include "port/fake/fake_desktop.h"
#include "resources/resource.h"
#include "temp_directory.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The dialog as the desktop's settings switch opens it, in a directory of its own, with
// the user's part played by each test.
class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFakeDesktop();
        saver.varbuleCount = 32;
        saver.settingsRecord.fill(0);
    }

    static void StoreFile(Bytes bytes)
    {
        std::ofstream out("Varbule.ini", std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes StoredFile()
    {
        std::ifstream in("Varbule.ini", std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static std::vector<int> Marked()
    {
        std::vector<int> marked;
        for (const auto& [id, mark] : Desktop().checks)
            if (mark == BST_CHECKED)
                marked.push_back(id);
        return marked;
    }
    static INT_PTR Command(HWND dialog, int id) { return ConfigDialogProc(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); }

    // Opens the dialog; play is the user's part.
    static void Run(std::function<void(HWND)> play)
    {
        Desktop().onDialog = std::move(play);
        RunConfigDialog();
    }

    ScopedTempDirectory directory_;
};

TEST_F(ConfigDialog, WithoutAFileThirtyTwoIsMarkedAndOkStoresIt)
{
    Desktop().foreground = MakeFakeParent(800, 600);
    Run([](HWND dialog) {
        EXPECT_EQ(Marked(), (std::vector<int>{IDC_COUNT_32}));
        EXPECT_EQ(Command(dialog, IDOK), TRUE);
    });
    ASSERT_EQ(Desktop().dialogs.size(), 1u);
    EXPECT_EQ(Desktop().dialogs[0].templateId, 2003u);
    EXPECT_EQ(Desktop().dialogs[0].owner, Desktop().foreground);
    EXPECT_EQ(Desktop().dialogs[0].result, 1);
    Bytes expected(512, 0);
    expected[1] = 32;
    EXPECT_EQ(StoredFile(), expected);
}

TEST_F(ConfigDialog, TheStoredCountMarksItsButtonAndNeighboursMarkTheirs)
{
    const std::vector<std::pair<int, std::vector<int>>> cases{
        {16, {IDC_COUNT_16}}, {32, {IDC_COUNT_32}}, {64, {IDC_COUNT_64}}, {17, {IDC_COUNT_16}},
        {47, {IDC_COUNT_32}}, {79, {IDC_COUNT_64}}, {0, {}},            {15, {}},
        {48, {}},             {63, {}},             {80, {}},            {200, {}},
    };
    for (const auto& [count, marked] : cases) {
        Bytes file(512, 0x5A);
        file[1] = static_cast<unsigned char>(count);
        StoreFile(file);
        saver.settingsRecord.fill(0);
        Run([&, count = count, marked = marked](HWND dialog) {
            EXPECT_EQ(Marked(), marked) << count;
            EXPECT_EQ(saver.varbuleCount, count);
            Command(dialog, IDOK);
        });
        EXPECT_EQ(StoredFile(), file) << "OK without a click writes the file back unchanged: " << count;
    }
}

TEST_F(ConfigDialog, ClickingMovesTheMarkAndOnlyOkWrites)
{
    Run([](HWND dialog) {
        EXPECT_EQ(Command(dialog, IDC_COUNT_64), TRUE);
        EXPECT_EQ(Marked(), (std::vector<int>{IDC_COUNT_64}));
        EXPECT_EQ(saver.varbuleCount, 64);
        EXPECT_EQ(Command(dialog, IDC_COUNT_16), TRUE);
        EXPECT_EQ(Marked(), (std::vector<int>{IDC_COUNT_16}));
        EXPECT_FALSE(std::filesystem::exists("Varbule.ini")) << "nothing is written before OK";
        Command(dialog, IDOK);
    });
    EXPECT_EQ(StoredFile().at(1), 16);
}

TEST_F(ConfigDialog, EscapeTheCloseBoxAndUnknownCommandsLeaveItOpen)
{
    Run([](HWND dialog) {
        EXPECT_EQ(Command(dialog, IDCANCEL), FALSE);
        EXPECT_EQ(Command(dialog, IDC_COUNT_GROUP), FALSE);
        EXPECT_EQ(Command(dialog, 4003), FALSE);
        EXPECT_EQ(ConfigDialogProc(dialog, WM_CLOSE, 0, 0), FALSE);
        EXPECT_FALSE(Desktop().dialogEnded);
        Command(dialog, IDOK);
    });
    EXPECT_TRUE(Desktop().dialogEnded);
}

TEST_F(ConfigDialog, TheHelpButtonOpensTheHelpFileAndChangesNothing)
{
    Run([](HWND dialog) {
        EXPECT_EQ(Command(dialog, IDC_HELP_BUTTON), TRUE);
        EXPECT_EQ(Command(dialog, IDC_HELP_BUTTON | 0x10000), TRUE) << "the notification code is not looked at";
        EXPECT_EQ(Marked(), (std::vector<int>{IDC_COUNT_32}));
        EXPECT_EQ(saver.varbuleCount, 32);
        EXPECT_FALSE(Desktop().dialogEnded);
        Command(dialog, IDOK);
    });
    EXPECT_EQ(Desktop().helpCalls, (std::vector<std::string>{"Varbule.hlp|3|1", "Varbule.hlp|3|1"}));
}

TEST_F(ConfigDialog, AFileThatCannotBeWrittenIsReportedAndTheDialogEndsAllTheSame)
{
    std::filesystem::create_directory("Varbule.ini");
    Run([](HWND dialog) {
        Command(dialog, IDC_COUNT_64);
        Command(dialog, IDOK);
    });
    EXPECT_EQ(Desktop().messageBoxes, (std::vector<std::string>{"Can not open INI file|Error|64"}));
    EXPECT_EQ(Desktop().dialogs.at(0).result, 1);
    EXPECT_TRUE(std::filesystem::is_directory("Varbule.ini"));
}

}  // namespace
