#include "host/saver_main.h"

#include <string>

#include <gtest/gtest.h>

#include "globals/saver_globals.h"
#include "fresh_process.h"
#include "port/fake/fake_desktop.h"

namespace {

int verifyCalls = 0;
BOOL WINAPI FakeVerify(HWND)
{
    ++verifyCalls;
    return TRUE;
}

std::string passwordProvider;
HWND passwordOwner = nullptr;
DWORD WINAPI FakePwdChangePassword(LPCSTR provider, HWND owner, UINT reserved1, UINT reserved2)
{
    passwordProvider = provider;
    passwordOwner = owner;
    EXPECT_EQ(reserved1, 0u);
    EXPECT_EQ(reserved2, 0u);
    return 0;
}

template <typename Proc>
FARPROC Export(Proc proc)
{
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(proc));
}

class SaverMainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartAsFreshProcess();
        passwordProvider.clear();
        passwordOwner = nullptr;
        // A saver run ends as soon as the loop has nothing to do: the window is closed.
        Desktop().onIdle = [] {
            if (saver.saverWindow == nullptr || !WindowOf(saver.saverWindow).alive)
                return false;
            DestroyWindow(saver.saverWindow);
            return true;
        };
        Desktop().onDialog = [](HWND dialog) { EndDialog(dialog, 1); };
    }

    static int Main(const char* commandLine)
    {
        std::string text = commandLine;
        return SaverMain(FakeModule(), nullptr, text.data(), 1);
    }

    static bool SaverRan() { return !Desktop().windows.empty() && saver.saverWindow != nullptr; }
};

TEST_F(SaverMainTest, SaveSwitchesRunFullScreen)
{
    for (const char* line : {"/s", "-s", "/S", "s", "/save"}) {
        SetUp();
        EXPECT_EQ(Main(line), 0) << line;
        ASSERT_TRUE(SaverRan()) << line;
        EXPECT_EQ(WindowOf(saver.saverWindow).parent, nullptr) << line;
        EXPECT_EQ(saver.previewMode, 0) << line;
        EXPECT_FALSE(Desktop().loopRanDry) << line;
    }
}

TEST_F(SaverMainTest, APreviewRunsOnlyInsideARealWindow)
{
    HWND parent = MakeFakeParent(152, 112);
    const std::string line = "/p " + std::to_string(reinterpret_cast<std::uintptr_t>(parent));
    EXPECT_EQ(Main(line.c_str()), 0);
    ASSERT_TRUE(SaverRan());
    EXPECT_EQ(WindowOf(saver.saverWindow).parent, parent);
    EXPECT_EQ(saver.previewMode, 1);

    for (const char* nothing : {"/p 1234", "/p:1234", "/p", "/p 0", "/preview"}) {
        SetUp();
        EXPECT_EQ(Main(nothing), 0) << nothing;
        EXPECT_TRUE(Desktop().windows.empty()) << nothing;
        EXPECT_EQ(saver.previewMode, 0) << nothing;
    }
}

TEST_F(SaverMainTest, TheSettingsDialogOpensForCAndForNoSwitch)
{
    Desktop().foreground = MakeFakeParent(800, 600);
    for (const char* line : {"/c", "/c:1234", "", "/x", "1234"}) {
        Desktop().dialogs.clear();
        EXPECT_EQ(Main(line), 0) << line;
        ASSERT_EQ(Desktop().dialogs.size(), 1u) << line;
        EXPECT_EQ(Desktop().dialogs[0].owner, Desktop().foreground) << line;
        EXPECT_EQ(Desktop().dialogs[0].templateId, 2003u) << line;
    }
}

TEST_F(SaverMainTest, ThePasswordChangeIsOwnedByTheGivenWindowOrTheForeground)
{
    Desktop().modules["MPR.DLL"]["PwdChangePasswordA"] = Export(FakePwdChangePassword);
    HWND owner = MakeFakeParent(300, 200);
    Desktop().foreground = MakeFakeParent(800, 600);
    EXPECT_EQ(Main(("/a " + std::to_string(reinterpret_cast<std::uintptr_t>(owner))).c_str()), 0);
    EXPECT_EQ(passwordProvider, "SCRSAVE");
    EXPECT_EQ(passwordOwner, owner);
    EXPECT_EQ(Desktop().librariesFreed, 1);

    EXPECT_EQ(Main("xyz abc"), 0);
    EXPECT_EQ(passwordOwner, Desktop().foreground);
    EXPECT_EQ(Main("/a 4294967296"), 0);
    EXPECT_EQ(passwordOwner, Desktop().foreground);

    // Without MPR.DLL or its entry point nothing happens, and the exit code is still 0.
    Desktop().modules.clear();
    passwordProvider.clear();
    EXPECT_EQ(Main("/a"), 0);
    EXPECT_TRUE(passwordProvider.empty());
}

TEST_F(SaverMainTest, OnNtThePlatformAsksForThePasswordNotTheSaver)
{
    Desktop().usePasswordStored = true;
    Desktop().usePassword = 1;
    Desktop().modules["PASSWORD.CPL"]["VerifyScreenSavePwd"] = Export(FakeVerify);
    Main("/s");
    EXPECT_EQ(saver.win9xPasswords, 0);
    EXPECT_EQ(saver.verifyPassword, nullptr);
    EXPECT_TRUE(Desktop().librariesLoaded.empty());
    EXPECT_EQ(Desktop().keysClosed, 0) << "the registry is not even opened";
    EXPECT_TRUE(Desktop().systemParameters.empty());
}

TEST_F(SaverMainTest, OnWindows9xTheSwitchedOnPasswordLoadsTheVerifier)
{
    Desktop().platformId = VER_PLATFORM_WIN32_WINDOWS;
    Desktop().usePasswordStored = true;
    Desktop().usePassword = 1;
    Desktop().modules["PASSWORD.CPL"]["VerifyScreenSavePwd"] = Export(FakeVerify);
    Main("/s");
    EXPECT_EQ(saver.win9xPasswords, 1);
    EXPECT_NE(saver.passwordModule, nullptr);
    EXPECT_EQ(saver.verifyPassword, FakeVerify);
    EXPECT_EQ(Desktop().keysClosed, 1);
    EXPECT_EQ(Desktop().librariesFreed, 1) << "the run releases the module";
    EXPECT_EQ(Desktop().systemParameters,
              (std::vector<std::pair<UINT, UINT>>{{SPI_SCREENSAVERRUNNING, 1}, {SPI_SCREENSAVERRUNNING, 0}}));
}

TEST_F(SaverMainTest, OnWindows9xWithoutAPasswordThereIsNoVerifier)
{
    Desktop().platformId = VER_PLATFORM_WIN32_WINDOWS;
    Desktop().modules["PASSWORD.CPL"]["VerifyScreenSavePwd"] = Export(FakeVerify);
    struct Case {
        bool keyMissing, stored;
        DWORD value;
    };
    for (const Case c : {Case{false, true, 0}, Case{false, false, 0}, Case{true, false, 0}}) {
        Desktop().desktopKeyMissing = c.keyMissing;
        Desktop().usePasswordStored = c.stored;
        Desktop().usePassword = c.value;
        Desktop().librariesLoaded.clear();
        saver.verifyPassword = nullptr;
        Main("/c");
        EXPECT_EQ(saver.win9xPasswords, 1);
        EXPECT_EQ(saver.verifyPassword, nullptr);
        EXPECT_TRUE(Desktop().librariesLoaded.empty());
    }

    // A PASSWORD.CPL without the entry point leaves no verifier either.
    Desktop().desktopKeyMissing = false;
    Desktop().usePasswordStored = true;
    Desktop().usePassword = 1;
    Desktop().modules["PASSWORD.CPL"].clear();
    Main("/c");
    EXPECT_EQ(Desktop().librariesLoaded, (std::vector<std::string>{"PASSWORD.CPL"}));
    EXPECT_EQ(saver.verifyPassword, nullptr);
}

}  // namespace
