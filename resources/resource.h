// Ids of the program's own resources (the conditions dialog keeps its ids beside its template).
#pragma once

#define IDS_VERSION 1
#define IDI_APPLICATION_ICON 128
#define IDD_PROGRESS 131
#define IDC_PROGRESS_OVERALL 1018
#define IDC_PROGRESS_ACTIVITY 1019
