// Ids of the program's resources: templates, controls, string and icon. Plain defines,
// so that the resource scripts include this header as well as the C++ code (the
// dialogs' logic, the Win32 views and the host simulator).
#pragma once

#define IDS_VERSION             1
#define IDI_APPLICATION_ICON    128

// Progress window (template 131).
#define IDD_PROGRESS            131
#define IDC_PROGRESS_OVERALL    1018
#define IDC_PROGRESS_ACTIVITY   1019

// Conditions dialog (template 130).
#define IDD_CONDITIONS          130

#define IDC_LABEL_COMPANY       1000
#define IDC_LABEL_PERIOD        1001
#define IDC_COLON_COMPANY       1002
#define IDC_COLON_PERIOD        1003
#define IDC_COMPANY             1004
#define IDC_PERIOD              1005
#define IDC_LABEL_MFGCOST       1006
#define IDC_COLON_MFGCOST       1007
#define IDC_MFGCOST             1008
#define IDC_GROUP_CATEGORY      1009
#define IDC_RADIO_BUSINESS      1010
#define IDC_RADIO_REALESTATE    1011
#define IDC_RADIO_OTHER         1012
#define IDC_EXECUTE             1013
#define IDC_CANCEL_BUTTON       1014
#define IDC_GROUP_OUTPUT        1015
#define IDC_OUTPUT_PATH         1016
#define IDC_BROWSE              1017
