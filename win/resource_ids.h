// SPDX-License-Identifier: GPL-3.0-or-later
// Identifiers of the resources and controls, shared by the resource script and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDI_QUILLET 100
#define IDD_MAIN 101
#define IDD_ABOUT 102
#define IDD_HISTORY 103
#define IDD_QUESTION 104
#define IDD_MAP_URL 105

// The main dialog's controls; 1 and 2 are the standard OK and Cancel.
#define IDC_FILE_VERSION 1000
#define IDC_ACCESS_COUNT 1001
#define IDC_RECORD_COUNT 1002
#define IDC_RECORD_LIST 1003
#define IDC_MAKE_GPX 1004
#define IDC_DELETE 1007
#define IDC_VIEW_TABS 1008
#define IDC_FILTER 1009
#define IDC_STATUS_BAR 1010

// The history's list and the question with its history box.
#define IDC_HISTORY_LIST 1100
#define IDC_RESTORE 1101
#define IDC_QUESTION_ICON 1102
#define IDC_QUESTION_TEXT 1103
#define IDC_KEEP_HISTORY 1104

// The preview's question for a tile URL template.
#define IDC_MAP_URL_LABEL 1200
#define IDC_MAP_URL 1201

// The About entry of the system menu: a system command keeps its low four bits clear.
#define IDM_ABOUTBOX 0x0010
// The context menu's entry that opens the preview.
#define IDM_PREVIEW 0x0020
// The entry of both menus that opens the history.
#define IDM_HISTORY 0x0030

#define QUILLET_VERSION_TEXT "1.0.0.0"
#define QUILLET_VERSION_NUMBERS 1, 0, 0, 0
