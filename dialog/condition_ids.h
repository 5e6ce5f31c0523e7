// Ids of the conditions dialog (template 130). Plain defines, so that the resource
// script can include this header as well as the C++ code.
#pragma once

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
