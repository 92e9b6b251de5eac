#include "settings/saver_strings.h"

#include "globals/saver_globals.h"
#include "resources/resource.h"

namespace {

template <int Size>
void Load(UINT id, char (&buffer)[Size])
{
    LoadStringA(saver.saverInstance, id, buffer, Size);
}

}  // namespace

void LoadSaverStrings()
{
    Load(IDS_DESCRIPTION, saver.descriptionText);
    Load(IDS_APP_NAME, saver.appName);
    Load(IDS_SETTINGS_FILE, saver.settingsFileName);
    Load(IDS_SCREENSAVER_NAME, saver.screenSaverName);
    Load(IDS_HELP_FILE, saver.helpFileName);
    Load(IDS_NO_HELP_MEMORY, saver.noHelpMemoryText);
    Load(IDS_RATE_LABEL, saver.rateLabel);
    Load(IDS_CREDIT_LINE, saver.creditLine);
}
