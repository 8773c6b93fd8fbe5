#pragma once

#define IDD_SETUP_DIALOG 102
#define IDR_MAINFRAME 128
#define IDC_STATIC -1
#define IDD_WELCOME 129
#define IDD_DESTINATION 130
#define IDD_PROGRESS 131
#define IDD_LICENSE 135

#define IDC_WELCOME_TEXT 1001
#define IDC_STATUS 1004
#define IDC_PROGRESS 1006
#define IDC_DESTINATION 1008
#define IDC_LICENSE_TEXT 1009
#define IDC_BROWSE 1010

// Progress notifications the file phase sends to the progress dialog.
#define ID_PROGRESS_FILE 1224
#define ID_PROGRESS_STEP 1225
#define ID_PROGRESS_COPYFILE 1425
