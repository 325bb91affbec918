// Identifiers of the log file dialog (2002/2102) and the console settings page (2001/2101) and their controls.
#pragma once

#define IDD_CONSOLE_CONFIG_JA 2001
#define IDD_CONSOLE_CONFIG_EN 2101
#define IDD_LOG_FILE_JA 2002
#define IDD_LOG_FILE_EN 2102

// Log file dialog.
#define IDC_LOG_FILE_NAME 1201
#define IDC_LOG_BROWSE 1202
#define IDC_LOG_SAVE_CONSOLE 1203
#define IDC_LOG_MAX_SIZE 1204  /* megabytes; 0: no limit */
#define IDC_LOG_KEEP 1205      /* older files kept beside the current one */
#define IDC_LOG_UTF8 1206      /* the log in UTF-8, every character; else the ANSI code page */

// Console settings page.
#define IDC_CONFIG_V_SCROLL 1101
#define IDC_CONFIG_H_SCROLL 1102
#define IDC_CONFIG_HEX_MODE 1103
#define IDC_CONFIG_AUTO_SCROLL 1104
#define IDC_CONFIG_TAB_2 1105
#define IDC_CONFIG_TAB_4 1106
#define IDC_CONFIG_TAB_8 1107
#define IDC_CONFIG_FONT_NAME 1108
#define IDC_CONFIG_FONT_SIZE 1109
#define IDC_CONFIG_WRAP_COLUMN 1110
#define IDC_CONFIG_BUFFER_SIZE 1111
#define IDC_CONFIG_NORMAL_TEXT 1112
#define IDC_CONFIG_NORMAL_BACK 1113
#define IDC_CONFIG_HEX_TEXT 1114
#define IDC_CONFIG_HEX_BACK 1115
#define IDC_CONFIG_SELECT_TEXT 1116
#define IDC_CONFIG_SELECT_BACK 1117
