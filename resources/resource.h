// Identifiers of the program's resources: the one list shared by ringlog.rc and the C++ code.
// Plain #defines so that the resource compiler's preprocessor reads the same file.
#pragma once

// Main frame: document string, icon and accelerators.
#define IDR_MAINFRAME 128

// Application name string.
#define IDS_APP_TITLE 57344

// Dialog templates.
#define IDD_CALLINFO 104
#define IDD_ABOUTBOX 200
#define IDD_REVLOOKUP 201
#define IDD_FIND 202

// Bitmaps.
#define IDB_LOGO 130
#define IDB_CALLTYPES 143

// Soft-key menu bars.
#define IDR_CALLINFO_MENU 131
#define IDR_MAIN_MENU 134
#define IDR_BLANK_MENU 146

// Controls of the call details dialog.
#define IDC_CALLTYPE 1001
#define IDC_NUMBER 1003
#define IDC_DURATION_LABEL 1004
#define IDC_DURATION 1005
#define IDC_DATE_LABEL 1006
#define IDC_DATE 1007
#define IDC_TIME_LABEL 1008
#define IDC_TIME 1009
#define IDC_LOCATION 1010
#define IDC_NAME 1011

// Controls of the About dialog: a landscape set and a portrait set.
#define IDC_ABOUT_LOGO_LAND 1013
#define IDC_ABOUT_LOGO_PORT 1014
#define IDC_ABOUT_VERSION_LAND 1027
#define IDC_ABOUT_LINE1_LAND 1028
#define IDC_ABOUT_LINE2_LAND 1029
#define IDC_ABOUT_LINE3_LAND 1030
#define IDC_ABOUT_LINE4_LAND 1031
#define IDC_ABOUT_LINE5_LAND 1032
#define IDC_ABOUT_VERSION_PORT 1033
#define IDC_ABOUT_LINE1_PORT 1034
#define IDC_ABOUT_LINE2_PORT 1035
#define IDC_ABOUT_LINE3_PORT 1036
#define IDC_ABOUT_LINE4_PORT 1037
#define IDC_ABOUT_LINE5_PORT 1038

// Controls of the reverse lookup dialog: a landscape set and a portrait set.
#define IDC_LOOKUP_NUMBER_LAND 1021
#define IDC_LOOKUP_RESULT_LAND 1022
#define IDC_LOOKUP_RESULT_PORT 1023
#define IDC_LOOKUP_NUMBER_PORT 1024
#define IDC_LOOKUP_HEADLINE_LAND 1027
#define IDC_LOOKUP_PROMPT_LAND 1028
#define IDC_LOOKUP_HEADLINE_PORT 1029
#define IDC_LOOKUP_PROMPT_PORT 1030
#define IDC_LOOKUP_CLEAR_LAND 1039
#define IDC_LOOKUP_CLEAR_PORT 1040
#define IDC_LOOKUP_LOGO_LAND 1041
#define IDC_LOOKUP_LOGO_PORT 1014

// Controls of the Find dialog: one set, narrow enough for either shape.
#define IDC_FIND_PROMPT 1042
#define IDC_FIND_TEXT 1043

// Commands of the menu bars.
#define ID_INFO_DELETE 32772
#define ID_CALL 32773
#define ID_MENU_DELETE 32776
#define ID_MENU_DELETEALL 32777
#define ID_FILTER_ALLCALLS 32779
#define ID_FILTER_MISSEDCALLS 32780
#define ID_FILTER_INCOMINGCALLS 32781
#define ID_FILTER_OUTGOINGCALLS 32782
#define ID_MENU_REVERSELOOKUP 32783
#define ID_MENU_ABOUT 32784
#define ID_MENU_QUIT 32785
#define ID_MENU_UNDODELETE 32786
#define ID_BLANK 32790

// Commands of the main menu's Undo Delete, This Number, Find and Export Calls. 32783 is Reverse
// Lookup's, and the framework's edit-undo id is what an unhandled Ctrl+Z already sends.
#define ID_MENU_UNDODELETE 32786
#define ID_FILTER_THISNUMBER 32787
#define ID_MENU_FIND 32788
#define ID_MENU_EXPORTCALLS 32789

// Texts of Export Calls' message boxes: what was written, or that nothing was and why.
#define IDS_EXPORT_WRITTEN 400
#define IDS_EXPORT_NOT_WRITTEN 401
#define IDS_EXPORT_NO_DOCUMENTS 402
#define IDS_EXPORT_FOLDER_NOT_CREATABLE 403
#define IDS_EXPORT_NO_PERMISSION 404
#define IDS_EXPORT_READ_ONLY 405
#define IDS_EXPORT_DISK_FULL 406
#define IDS_EXPORT_NO_FREE_NAME 407
#define IDS_EXPORT_WRITE_FAILED 408

// Commands of the main frame's accelerators; no class of the program handles them.
#define ID_FILE_NEW 57600
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
