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

// Controls of the settings dialog. The count buttons' ids are 4000 + count / 16.
#define IDC_HELP_BUTTON 1010
#define IDC_COUNT_BASE 4000
#define IDC_COUNT_16 4001
#define IDC_COUNT_32 4002
#define IDC_COUNT_64 4004
#define IDC_COUNT_GROUP 4007
