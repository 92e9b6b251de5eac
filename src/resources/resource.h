#pragma once

// Resource ids, shared by the resource script and the code.

#define IDI_VARBULE 100
#define IDD_SETTINGS 2003

#define IDS_DESCRIPTION 1
#define IDS_SETTINGS_FILE 1001
#define IDS_SCREENSAVER_NAME 1002
#define IDS_APP_NAME 1007
#define IDS_NO_HELP_MEMORY 1008
#define IDS_HELP_FILE 1009
#define IDS_CREDIT_LINE 1011
#define IDS_RATE_LABEL 1012
