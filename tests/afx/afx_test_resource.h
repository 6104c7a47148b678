// Ids of the afx layer's test resources (afx_test.rc).
#pragma once

#define IDD_ALL 200
#define IDD_SMALL 201
#define IDD_NOSYSMENU 202
#define IDI_TEST 300
#define IDS_HELLO 400
#define IDS_QUOTE 401
#define IDS_LONG 402
#define IDS_EMPTY_NEIGHBOUR 403

#define IDC_MULTI 1000
#define IDC_PLAIN_MULTI 1001
#define IDC_SINGLE 1002
#define IDC_READONLY 1003
#define IDC_LIST 1004
#define IDC_CHECK 1006
#define IDC_RADIO_A 1007
#define IDC_RADIO_B 1008
#define IDC_RADIO_C 1009
#define IDC_RADIO_OTHER (IDC_RADIO_C + 1)
#define IDC_ACTION 0x3F3
#define IDC_LINK 1012
#define IDC_PLAIN 1013
#define IDC_LABEL 1014

// The framework's application-title string (names the application).
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 0xE000
#endif

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
