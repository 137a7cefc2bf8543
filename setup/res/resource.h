// Resource and control IDs of Setup. Included by Setup.rc and by the wizard's
// code, so plain #defines only.
#pragma once

// ---- dialog templates
#define IDD_ABOUTBOX 100
#define IDD_WIZARD 102
#define IDD_OS_PAGE 130
#define IDD_MODULE_PAGE 131
#define IDD_PORT_PAGE 132
#define IDD_SETUP_TYPE_PAGE 137
#define IDD_PROGRESS 141

// ---- icon
#define IDI_SETUP 128

// ---- system menu command of the About box
#define IDM_ABOUTBOX 0x0010

// ---- string table (the texts themselves are in Setup.rc)
#define IDS_ABOUTBOX 101
#define IDS_SUPPORT_MULTI_USB 136
#define IDS_SUPPORT_DRIVER_MODE 137
// The captions stored with the four pages.
#define IDS_CAPTION_MODULE 151
#define IDS_CAPTION_SETUP_TYPE 152
#define IDS_CAPTION_OS 153
#define IDS_CAPTION_PORT 154

// ---- wizard host (102)
#define IDC_FRAME 1001
#define IDC_BACK 1002
#define IDC_PICTURE 1087
#define IDC_F1_HINT 1088

// ---- OS page (130)
#define IDC_OS_98 1026
#define IDC_OS_NT 1027
#define IDC_OS_2000 1028
#define IDC_OS_XP 1029
#define IDC_OS_2003 1075
#define IDC_OS_VISTA 1076
#define IDC_VIET_FONTS 1090

// ---- module page (131)
#define IDC_MODULE_RECEIPT 1019
#define IDC_MODULE_TICKET 1020
#define IDC_MODULE_LABEL 1021
#define IDC_MODULE_EMBEDDED 1073
#define IDC_LIST_RECEIPT 1030
#define IDC_LIST_TICKET 1031
#define IDC_LIST_LABEL 1032
#define IDC_LIST_EMBEDDED 1074
#define IDC_SET_DEFAULT 1046

// ---- port page (132)
#define IDC_BAUD 1041
#define IDC_DATA_BITS 1042
#define IDC_PARITY 1043
#define IDC_STOP_BITS 1044
#define IDC_FLOW 1045
#define IDC_PORT 1049
#define IDC_RASTER 1052
#define IDC_USB_NOTE 1065

// ---- setup-type page (137)
#define IDC_TYPICAL 1066
#define IDC_ADVANCED 1067
#define IDC_REMARK1 1068
#define IDC_REMARK2 1069
#define IDC_REMARK3 1070

// ---- progress window (141)
#define IDC_PROGRESS 1079

// ---- About box (100)
#define IDC_ABOUT_TEXT 1100
