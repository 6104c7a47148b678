// Resource ids of Tarvello: dialog templates, controls, icon, strings and
// the system-menu command. Shared by the C++ code and Tarvello.rc.
#pragma once

// Dialog templates, strings, icon.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128

// About box controls.
#define IDC_ABOUT_LINK_PRODUCT 1000
#define IDC_ABOUT_LINK_MAKER 1001

// Main window controls.
#define IDC_LOAD_CAPKS 1002
#define IDC_USE_LOADED 1003
#define IDC_CAPK_LIST 1004
#define IDC_MODULUS 1005
#define IDC_EXP_3 1006
#define IDC_EXP_65537 1007
#define IDC_ENCRYPTED 1008
#define IDC_DECRYPTED 1009
#define IDC_DECRYPT 1010
#define IDC_HASH_DATA 1011
#define IDC_HASH 1012
#define IDC_HASH_RESULT 1013
#define IDC_CALC_CHECKSUM 1014
#define IDC_RID 1015
#define IDC_INDEX 1016
#define IDC_CHECKSUM 1017
#define IDC_MODULUS_LEN 1018
#define IDC_LINK_MAKER 1021
#define IDC_LINK_PRODUCT 1022
#define IDC_CLEAR_DECRYPTED 1023
#define IDC_CLEAR_HASH 1024

// System-menu command of the About box. The system keeps its own flags in
// the low four bits of a system-command id, so the id must have them clear
// and stay below the standard commands (0xF000 and up).
#define IDM_ABOUTBOX 0x0010

// Controls without an id.
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
