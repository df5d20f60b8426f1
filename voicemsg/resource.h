/* Resource and control numbers of the voice-message dialog, shared by the
 * resource script and the code. */
#ifndef LUMVOX_RESOURCE_H
#define LUMVOX_RESOURCE_H

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_LUMVOX_DIALOG 102
#define IDR_MAINFRAME 134

#define IDC_SEND 3
#define IDC_DATA_RECEIVED 4
#define IDC_RECORD 1002
#define IDC_STOP 1003
#define IDC_PLAY 1004
#define IDC_HIDDEN1 1005
#define IDC_HIDDEN2 1006
#define IDC_PROGRESS 1007
#define IDC_ELAPSED 1008

#define IDB_RECORD 1020
#define IDB_STOP 1021
#define IDB_PLAY 1022
#define IDB_HIDDEN1 1023
#define IDB_HIDDEN2 1024

#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
