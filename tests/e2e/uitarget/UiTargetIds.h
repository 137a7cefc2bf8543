// Dialog and control IDs of the UI driver's test target.
#pragma once

#define IDD_TARGET_HOST 100
#define IDD_TARGET_PAGE_A 101
#define IDD_TARGET_PAGE_B 102

#define IDC_FRAME 1001
#define IDC_ASK 1002
#define IDC_ANSWER 1003
#define IDC_NEVER 1004
#define IDC_ITEMS 1005
#define IDC_LAST 1006

// The same IDs on both pages: the driver must prefer the visible page's.
#define IDC_PAGE_NAME 2000
#define IDC_TICK 2003
#define IDC_COMBO 2001
#define IDC_LIST 2002
#define IDC_LEFT 2004
#define IDC_RIGHT 2005
