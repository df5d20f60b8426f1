// Resource identifiers of UpDate.exe.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_UPDATE_DIALOG 102

#define IDC_LIST 1003
#define IDC_DETAILS 1004
#define IDC_PROGRESS 1006
#define IDC_DETAILS_LABEL 1008
#define IDC_PROGRESS_LABEL 1009
#define IDC_BANNER 1014
