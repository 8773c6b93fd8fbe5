#pragma once

#define IDD_SETUP_DIALOG 102
#define IDR_MAINFRAME 128
