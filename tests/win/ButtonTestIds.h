#pragma once
// The bitmap button test dialog.

#define IDD_BUTTON_TEST 900

#define IDC_BT_PUSH 1   // IDOK
#define IDC_BT_CHECK 2002
#define IDC_BT_ONE 2003
#define IDC_BT_TWO 2004
#define IDC_BT_THREE 2006   // 2005 left out: the group walk skips gaps
#define IDC_BT_LABEL 2008
#define IDC_BT_OTHER 2009
#define IDC_BT_FOUR 2015
#define IDC_BT_PLAIN 2016
#define IDC_BT_FIVE 2017
#define IDC_BT_CURSOR 2018
