#include "settings/config_dialog.h"

#include "globals/saver_globals.h"
#include "resources/resource.h"
#include "settings/saver_strings.h"
#include "settings/settings_file.h"

namespace {

struct CountChoice {
    int buttonId;
    std::int32_t count;
};

constexpr CountChoice kCountChoices[] = {{IDC_COUNT_16, 16}, {IDC_COUNT_32, 32}, {IDC_COUNT_64, 64}};

// The radio button that stands for a count: 4000 + count / 16. Counts the dialog does
// not offer name an id without a button, so nothing is marked for them.
int CountButtonId(std::int32_t count)
{
    return IDC_COUNT_BASE + (count >> 4);
}

INT_PTR OnInitDialog(HWND dialog)
{
    // The dialog runs in a process of its own, without a saver window to load these.
    LoadSaverStrings();
    ReadSettingsFile();
    SendDlgItemMessageA(dialog, CountButtonId(saver.varbuleCount), BM_SETCHECK, BST_CHECKED, 0);
    return TRUE;  // the focus goes to OK, the first control with a tab stop
}

INT_PTR OnCommand(HWND dialog, unsigned id)
{
    if (id == IDOK) {
        if (!WriteSettingsFile())
            MessageBoxA(dialog, "Can not open INI file", "Error", MB_OK | MB_ICONINFORMATION);
        EndDialog(dialog, 1);
        return TRUE;
    }
    if (id == IDC_HELP_BUTTON) {
        WinHelpA(dialog, saver.helpFileName, HELP_CONTENTS, 1);
        return TRUE;
    }
    for (const CountChoice& choice : kCountChoices) {
        if (static_cast<int>(id) == choice.buttonId) {
            // The buttons are not automatic: the mark moves here, and the file is written
            // only on OK.
            CheckRadioButton(dialog, IDC_COUNT_16, IDC_COUNT_64, choice.buttonId);
            saver.varbuleCount = choice.count;
            return TRUE;
        }
    }
    return FALSE;  // IDCANCEL among them: Escape and the close box do not end the dialog
}

}  // namespace

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    default:
        return FALSE;
    }
}
