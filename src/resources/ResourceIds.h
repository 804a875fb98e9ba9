// Ids of Velto's resources: dialog templates, their controls, the menu and
// its commands, icons and bitmaps. Shared by Velto.rc and the program's code,
// so plain #defines only.
#pragma once

// Dialog templates
#define IDD_ABOUT 103
#define IDD_MAIN 128
#define IDD_TRACKS_IN_ALBUM 129
#define IDD_CONSTANT_GAIN 152
#define IDD_QUESTION 157
#define IDD_TOOL_ERROR 190
#define IDD_JOB_SUMMARY 191
#define IDD_LOUDNESS_OVERVIEW 185

// Menu and accelerator table of the main window
#define IDR_MAIN_MENU 111
#define IDR_MAIN_ACCELERATORS 111

// Icons (big and small) and the toolbar's image strips
#define IDI_VELTO 107
#define IDI_VELTO_SMALL 108
#define IDB_TOOLBAR_NORMAL 163
#define IDB_TOOLBAR_HOT 164
#define IDB_TOOLBAR_DISABLED 165

// Main window (128)
#define IDC_MAIN_FILE_PROGRESS 1000
#define IDC_MAIN_LIST 1001
#define IDC_MAIN_VOLUME_TRACKBAR 1002
#define IDC_MAIN_TOTAL_PROGRESS 1003
#define IDC_MAIN_VOLUME_VALUE 1004
#define IDC_MAIN_FILE_PROGRESS_LABEL 1005
#define IDC_MAIN_TOTAL_PROGRESS_LABEL 1006
#define IDC_MAIN_CANCEL 1007
#define IDC_MAIN_EXIT 1008
#define IDC_MAIN_PLAYLISTS 1009

// Tracks in Album (129)
#define IDC_TRACKS_IN_ALBUM_LIST 1011

// Constant Gain Change (152)
#define IDC_CONSTANT_GAIN_VALUE 1015
#define IDC_CONSTANT_GAIN_TRACKBAR 1016
#define IDC_CONSTANT_GAIN_BOTH 1017
#define IDC_CONSTANT_GAIN_LEFT 1018
#define IDC_CONSTANT_GAIN_RIGHT 1019

// Question box (157); its buttons are IDYES, IDNO and IDCANCEL
#define IDC_QUESTION_DONT_ASK 1020
#define IDC_QUESTION_TEXT 1021

// The gain tool's error (190); its buttons are IDYES and IDNO
#define IDC_TOOL_ERROR_ICON 1050
#define IDC_TOOL_ERROR_TEXT 1051
#define IDC_TOOL_ERROR_DONT_ASK 1052

// Job summary (191); Close is IDCANCEL
#define IDC_JOB_SUMMARY_TEXT 1055
#define IDC_JOB_SUMMARY_LIST 1056
#define IDC_JOB_SUMMARY_COPY 1057

// Loudness Overview (185); no buttons, the picture is drawn above the counts
#define IDC_OVERVIEW_COUNTS 1060

// Commands: menu items, accelerators, toolbar buttons
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_CANCEL 32788
#define IDM_DONT_CLIP 32796
#define IDM_HELP_CONTENTS 32799
#define IDM_SELECT_ALL 32807
#define IDM_SELECT_NONE 32808
#define IDM_VIEW_TRACKS 32822
#define IDM_VIEW_ALBUMS 32823
#define IDM_CLEAR_DATABASE 32825
#define IDM_TRACKS_IN_ALBUM 32827
#define IDM_ANALYZE 32830
#define IDM_APPLY_GAIN 32831
#define IDM_APPLY_CONSTANT_GAIN 32832
#define IDM_CLEAR_DATA 32833
#define IDM_UNDO_GAIN 32834
#define IDM_SYNC 32839
#define IDM_ANALYZE_SELECTION_AS_ALBUM 32840
#define IDM_APPLY_ALBUM_GAIN_TO_SELECTION 32841
#define IDM_TIMESTAMP_COMMENTS 32843
#define IDM_REMOVE_TAGS 32844
#define IDM_ALBUM_UNDO 32846
#define IDM_REMOVE_TAGS_UNDO 32848
#define IDM_SET_DEFAULTS 32849
#define IDM_LICENSE 32855
// Options > Tool Runs at Once: one per processor, or a fixed number.
#define IDM_TOOL_RUNS_PER_PROCESSOR 32860
#define IDM_TOOL_RUNS_1 32861
#define IDM_TOOL_RUNS_2 32862
#define IDM_TOOL_RUNS_4 32863
#define IDM_TOOL_RUNS_8 32864
#define IDM_TOOL_RUNS_16 32865
#define IDM_LOUDNESS_OVERVIEW 32870
