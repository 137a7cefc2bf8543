/* Resource and control ids of Uninstall, and the texts of its string table.
 * Plain macros only: the resource compiler reads this file as well as the C++
 * code, so a text shown by the engine and the same text loaded by number
 * never differ. */
#ifndef KV_UNINSTALL_IDS_H
#define KV_UNINSTALL_IDS_H

/* Dialogs and icons. */
#define IDD_ABOUTBOX 100
#define IDD_UNINSTALL 102
#define IDI_UNINSTALL 128
#define IDD_RESTART 129
#define IDI_RESTART 131

/* Controls of the main dialog (the Exit button is IDCANCEL, 2). */
#define IDC_UNINSTALL 1002
#define IDC_STATUS_LIST 1008
#define IDC_INSTRUCTION 1006
#define IDC_ITEM_LIST 1010
#define IDC_SELECT_ALL 1012

/* The About entry of the system menu. */
#define IDM_ABOUTBOX 0x0010

/* The string table, by number. */
#define IDS_ABOUTBOX 101
#define IDS_NOT_ADMIN 102
#define IDS_NO_CURRENT_DIR 103
#define IDS_SEARCH_FAILED 104
#define IDS_NO_INI 105
#define IDS_NOTHING_TO_REMOVE 106
#define IDS_SELECT_ITEMS 107
#define IDS_INSTRUCTION 108
#define IDS_DELETING 109
#define IDS_IN_USE 110
#define IDS_REMOVE_ERROR 111
#define IDS_DELETED 112
#define IDS_OPEN_PRINTER_ERROR 113
#define IDS_DELETING_PRINTER 114
#define IDS_PRINTER_INFO_ERROR 115
#define IDS_NO_MEMORY 116
#define IDS_PRINTER_HAS_JOBS 117
#define IDS_DELETE_PRINTER_ERROR 118
#define IDS_DRIVER_IN_USE 119
#define IDS_DRIVER_DELETED 120
#define IDS_DELETE_DRIVER_ERROR 121
#define IDS_DELETING_DRIVER 122
#define IDS_DELETE_JOBS_FIRST 123

#define TEXT_101 "About Uninstall(&A)..."
#define TEXT_102 "You must be logged on the computer as an administrator!"
#define TEXT_103 "Get system Directory error!"
#define TEXT_104 "Invalid File Handle."
#define TEXT_105 "Can't find file Uninstall.ini!"
#define TEXT_106 "No printer to uninstall!"
#define TEXT_107 "Please select the printers you want to uninstall."
#define TEXT_108 "Tick the items to remove, then click Uninstall."
#define TEXT_109 "Deleting %s,please wait..."
#define TEXT_110 "%s is using,can't be deleted."
#define TEXT_111 "Uninstall %s error."
#define TEXT_112 "%s has been deleted."
#define TEXT_113 "Open %s printer error."
#define TEXT_114 "Deleting printer %s,please wait..."
#define TEXT_115 "Get printer info error"
#define TEXT_116 "Allocate memory error"
#define TEXT_117 "%s can't be deleted,please delete jobs in printer first."
#define TEXT_118 "Delete printer error."
#define TEXT_119 "The driver is using,can't be deleted."
#define TEXT_120 "The printer driver has been deleted."
#define TEXT_121 "Delete printer driver error."
#define TEXT_122 "Deleting %s's driver,please wait..."
#define TEXT_123 "Please delete jobs in printer %s first."

#endif
