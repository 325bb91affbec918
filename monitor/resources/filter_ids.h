/* Identifiers of the filter list dialog (2005/2105), the rule dialog (2006/2106) and their controls. */
#ifndef VIGILO_FILTER_IDS_H
#define VIGILO_FILTER_IDS_H

#define IDD_FILTER_JA 2005
#define IDD_FILTER_EN 2105
#define IDD_FILTER_RULE_JA 2006
#define IDD_FILTER_RULE_EN 2106

/* Filter list dialog. */
#define IDC_FILTER_LIST 1330    /* report-style list view, one row per rule, its check box = enabled */
#define IDC_FILTER_ADD 1331
#define IDC_FILTER_EDIT 1332
#define IDC_FILTER_REMOVE 1333
#define IDC_FILTER_UP 1334
#define IDC_FILTER_DOWN 1335

/* Rule dialog. */
#define IDC_FILTER_RULE_ACTION 1340       /* drop-down list: include, exclude, highlight */
#define IDC_FILTER_RULE_FIELD 1341        /* drop-down list: message text, program name, process id */
#define IDC_FILTER_RULE_PATTERN 1342
#define IDC_FILTER_RULE_MATCH_CASE 1343
#define IDC_FILTER_RULE_ENABLED 1344
#define IDC_FILTER_RULE_TEXT_COLOUR 1345  /* highlight only: opens the colour chooser */
#define IDC_FILTER_RULE_BACK_COLOUR 1346
#define IDC_FILTER_RULE_SAMPLE 1347       /* owner-drawn: the pattern in the chosen colours */

#endif
