/* Identifiers shared by the monitor's code and its resource scripts of both languages. */
#ifndef VIGILO_RESOURCE_IDS_H
#define VIGILO_RESOURCE_IDS_H

/* Main menus: the class takes one of them at start-up, by the language then in force. */
#define IDR_MENU_JAPANESE 1
#define IDR_MENU_ENGLISH 2
/* Keyboard shortcuts of both languages: Ctrl+F, F3, Shift+F3, Ctrl+L. */
#define IDR_ACCELERATORS 3

#define IDI_VIGILO 4   /* program icon: 32x32 and 16x16 */
#define IDB_TOOLBAR 5  /* toolbar strip: nine 16x15 images, 16 colours */
#define IDB_TOOLBAR_24 6  /* the same drawn at 24x22, for 120 to 167 DPI */
#define IDB_TOOLBAR_32 7  /* and at 32x30, from 168 DPI */

/* Commands: one number space for the main menu, the toolbar and the console's context menu. */
#define ID_FILE_START_LOG 101
#define ID_FILE_STOP_LOG 102
#define ID_FILE_SETTING 103
#define ID_FILE_EXIT 104
#define ID_FILE_OPEN 105
#define ID_FILE_SAVE_AS 106
#define ID_FILE_FOLLOW 107
#define ID_FILE_CLOSE_FILE 108
#define ID_EDIT_COPY 111
#define ID_EDIT_PASTE 112
#define ID_EDIT_SELECT_ALL 113
#define ID_EDIT_ALL_COPY 114
#define ID_EDIT_ALL_ERASE 115
#define ID_EDIT_FIND 116
#define ID_EDIT_FIND_NEXT 117
#define ID_EDIT_FIND_PREVIOUS 118  /* Shift+F3: a shortcut only, not in the menu */
#define ID_EDIT_FILTER 119         /* Ctrl+L */
#define ID_VIEW_GLOBAL_DEBUG_OUTPUT 120  /* the global objects, where services write */
#define ID_VIEW_TOOLBAR 121
#define ID_VIEW_STATUS_BAR 122
#define ID_VIEW_DEBUG_OUTPUT 123
#define ID_VIEW_TIME_STAMPS 124
#define ID_VIEW_SENDERS 125
#define ID_VIEW_FILTER 126
#define ID_VIEW_NEW 127            /* Ctrl+T */
#define ID_VIEW_CLOSE 128          /* Ctrl+W: the last view stays */
#define ID_VIEW_NEXT 129           /* Ctrl+Tab */
#define ID_VIEW_PREVIOUS 1291      /* Ctrl+Shift+Tab: a shortcut only, not in the menu */
#define ID_VIEW_RENAME 130
/* The console's context menu on a line of a known sender. */
#define ID_VIEW_SHOW_ONLY_PROCESS 1271
#define ID_VIEW_HIDE_PROCESS 1272
/* View > Time Stamp Form (below Time Stamps, 124): the form, then which time; radio items. */
#define ID_VIEW_STAMP_CLOCK 1241
#define ID_VIEW_STAMP_DATE 1242
#define ID_VIEW_STAMP_ELAPSED 1243
#define ID_VIEW_STAMP_DELTA 1244
#define ID_VIEW_STAMP_SENT 1245
#define ID_VIEW_STAMP_ARRIVAL 1246
#define ID_HELP_TOPICS 131
#define ID_HELP_ABOUT 132
#define ID_HELP_LANGUAGE 133

/* Dialog templates: Japanese 20xx, English 21xx. */
#define IDD_ABOUT_JA 2003
#define IDD_ABOUT_EN 2103
#define IDD_LANGUAGE_JA 2004
#define IDD_LANGUAGE_EN 2104
#define IDD_RENAME_VIEW_JA 2007
#define IDD_RENAME_VIEW_EN 2107

/* User-visible texts: Japanese 30xx, English 31xx. */
#include "ui_text_ids.h"

#define IDC_VERSION_LABEL 1300   /* About box: "Version 1.10", filled at initialisation */
#define IDC_TOOLBAR 1310         /* control identifier of the toolbar */
#define IDC_LANGUAGE_COMBO 1320  /* language dialog: English and Japanese entries */
#define IDC_VIEW_NAME 1330       /* rename dialog: the view's name */
#define IDC_VIEW_TABS 1340       /* control identifier of the tabs of the views */

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Identifiers of the log and console settings dialogs. */
#if defined(__has_include)
#if __has_include("log_settings_ids.h")
#include "log_settings_ids.h"
#endif
#endif

/* Identifiers of the filter dialogs. */
#include "filter_ids.h"

#endif
