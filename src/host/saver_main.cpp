#include "host/saver_main.h"

#include "globals/saver_globals.h"
#include "host/command_line.h"
#include "host/proc_address.h"
#include "host/run_saver.h"
#include "resources/resource.h"
#include "settings/config_dialog.h"

namespace {

using PasswordChangeProc = DWORD(WINAPI*)(LPCSTR provider, HWND owner, UINT reserved1, UINT reserved2);

bool PasswordSwitchedOn()
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD usePassword = 0;  // a shorter stored value fills only the low bytes
    DWORD size = sizeof usePassword;
    const LSTATUS status = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, &type,
                                            reinterpret_cast<unsigned char*>(&usePassword), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && usePassword != 0;
}

// Windows 9x leaves the password to the saver itself, through the system's PASSWORD.CPL.
// Elsewhere the system asks for it, and the saver closes on input without asking.
void SetUpPasswordCheck()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS)
        return;
    saver.win9xPasswords = 1;
    if (!PasswordSwitchedOn())
        return;
    saver.passwordModule = LoadLibraryA("PASSWORD.CPL");
    if (saver.passwordModule != nullptr)
        saver.verifyPassword = ProcAddress<VerifyPasswordProc>(saver.passwordModule, "VerifyScreenSavePwd");
}

HWND AsWindow(std::uint32_t number)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(number));
}

}  // namespace

INT_PTR RunConfigDialog()
{
    RegisterExtraClasses(saver.saverInstance);
    return DialogBoxParamA(saver.saverInstance, MAKEINTRESOURCEA(IDD_SETTINGS), GetForegroundWindow(),
                           ConfigDialogProc, 0);
}

void ChangePassword(HWND owner)
{
    HMODULE module = LoadLibraryA("MPR.DLL");
    if (module == nullptr)
        return;
    if (const auto change = ProcAddress<PasswordChangeProc>(module, "PwdChangePasswordA"))
        change("SCRSAVE", owner, 0, 0);
    FreeLibrary(module);
}

int SaverMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    saver.saverInstance = instance;
    SetUpPasswordCheck();

    const SaverCommand command = ScanCommandLine(commandLine);
    HWND window = AsWindow(command.window);
    switch (command.what) {
    case SaverSwitch::Save:
        return RunSaver(nullptr);
    case SaverSwitch::Preview:
        if (window == nullptr || !IsWindow(window))
            return 0;
        saver.previewMode = 1;
        return RunSaver(window);
    case SaverSwitch::ChangePassword:
        ChangePassword(window != nullptr && IsWindow(window) ? window : GetForegroundWindow());
        return 0;
    case SaverSwitch::Configure:
        RunConfigDialog();
        return 0;
    }
    return 0;
}
