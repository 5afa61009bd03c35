// Ids of the program's resources, shared by the resource scripts and the code.
#pragma once

// Menu, accelerators and icon of the main window; string: the product name.
#define IDR_MAINFRAME 10001
// Accelerators of the tab container (Ctrl+Tab, Ctrl+Shift+Tab).
#define IDR_TAB_ACCELERATORS 30001
#define ID_NEXT_PAGE 30002
#define ID_PREVIOUS_PAGE 30003
// String: the Language menu's list, "LANGID,name" pairs separated by ";".
#define IDS_LANGUAGE_LIST 30009
// String: the status line's text while nothing happens.
#define IDS_READY 30010

#define IDD_ABOUT 100
#define IDC_ABOUT_ICON 1001
#define IDC_ABOUT_VERSION 1002

// Status bar pane beside the default one.
#define ID_STATUS_PANE 10002

// Commands.
#define ID_FILE_OPEN_SPECTRUM 201
#define ID_FILE_SAVE_SPECTRUM 203
#define ID_FILE_OPEN_MODEL 251
#define ID_FILE_SAVE_MODEL 253
#define ID_FILE_VIEW_RESULTS 362
#define ID_FILE_SAVE_RESULTS 356
#define ID_FILE_SAVE_RESULTS_TABLE 361
#define ID_FILE_SET_DEFAULT_FOLDER 452
#define ID_FILE_RECENT_SPECTRUM_FIRST 621
#define ID_FILE_RECENT_MODEL_FIRST 601
#define ID_FILE_RECENT_FOLDER_FIRST 661
#define ID_SPECTRUM_LOAD_CALIBRATION 208
#define ID_SPECTRUM_RECENT_CALIBRATION_FIRST 641
#define ID_FILE_SAVE_GRAPH_TABLE 357
#define ID_FILE_SAVE_ALL_RESULTS 360
#define ID_FILE_DEMO_SPECTRUM_FIRST 23101
#define ID_FILE_DEMO_MODEL_FIRST 23201
#define ID_APP_EXIT 451
#define ID_EDIT_UNDO 257
#define ID_EDIT_REDO 258
#define ID_EDIT_CUT 993
#define ID_EDIT_COPY 991
#define ID_EDIT_PASTE 992
#define ID_FIT_RUN 351
#define ID_FIT_STEP 352
#define ID_FIT_STOP 353
#define ID_FIT_PAUSE 363
#define ID_FIT_ACCEPT 355
#define ID_FIT_AREA 359
#define ID_FIT_SETTINGS 358
#define ID_LANGUAGE_WINDOWS 701
#define ID_LANGUAGE_FIRST 702
#define ID_LANGUAGE_LAST 750
#define ID_HELP_CONTENTS 952
#define ID_APP_ABOUT 951

// The grids: Copy, Paste and Cut keys; the padlock images at 16 and at 32 pixels.
#define IDR_GRID_ACCELERATORS 30005
#define IDB_PADLOCKS 20001
#define IDB_PADLOCKS_LARGE 20002
// The keyword-list editor and the placeholder that marks its grid's place.
#define IDD_PROPERTIES 10201
#define IDC_PROPERTIES_GRID 10201
// The parameter grid's context menu.
#define IDR_GRID_MENU 30004
#define IDR_DISTRIBUTION_MENU 30007
#define IDD_DIST_WEIGHT 11501
#define IDD_DIST_POINTS 11521
#define IDC_DIST_POINTS 11501
#define IDC_DIST_VALUE 11502
#define IDC_DIST_VALUE_LABEL 11503
// The distribution's statistics page and the report viewer: each placeholder gives its
// place and its id to the browser (or, without one, to the statistics list).
#define IDD_DIST_STATS 11541
#define IDC_DIST_STATS_PAGE 11541
#define IDC_DIST_STATS_POINTS_LABEL 11542
#define IDC_DIST_STATS_GRIP 11543
#define IDD_REPORT 11601
#define IDC_REPORT_PAGE 11601
#define IDC_REPORT_GRIP 11602
// The fit settings and the distribution parameters dialogs (their controls' ids are in
// ui/logic/fit_settings_form.h and ui/logic/dist_params_form.h).
#define IDD_FIT_SETTINGS 10101
#define IDD_DIST_PARAMS 11001
// The open dialog's part below the common dialog's controls, and the static control
// that marks the preview plot's place.
#define IDD_OPEN_PREVIEW 10011
#define IDC_OPEN_PREVIEW 10011
// Quick save: the model under its current name; no menu item, sent by the close prompt.
#define ID_FILE_SAVE_MODEL_QUICK 252
// The link-factor dialog, the bounds dialog and the expression editor.
#define IDD_LINK_FACTOR 10301
#define IDC_LINK_TARGET 10301
#define IDC_LINK_FACTOR 10302
#define IDC_LINK_DEPENDENT 10303
#define IDD_BOUNDS 10021
#define IDC_BOUND_LOWER 10001
#define IDC_BOUND_UPPER 10002
#define IDD_FILTER 10501
#define IDC_FILTER_WIDTH 10501
#define IDC_FILTER_LABEL 10502
#define IDD_DECONVOLUTION 11651
#define IDC_DECONVOLUTION_SOURCE_WIDTH 11651
#define IDC_DECONVOLUTION_PROBABILITY 11652
#define IDC_DECONVOLUTION_FRACTION 11653
#define IDD_VELOCITY_RANGE 10001
#define IDC_VELOCITY_MIN 10001
#define IDC_VELOCITY_MAX 10002
#define IDC_VELOCITY_POINTS 10003
#define IDC_VELOCITY_NOISE 10004
#define IDD_DATA_POINT 11701
#define IDD_CALIBRATE 10551
#define IDC_CALIBRATE_FILTER_WIDTH 10501
#define IDC_CALIBRATE_PREVIEW 10011
#define IDC_CALIBRATE_USE_MODEL 10551
#define IDC_CALIBRATE_ZERO_CHANNEL 10552
#define IDC_CALIBRATE_PRICE 10553
#define IDC_CALIBRATE_RESULT 10554
#define IDC_CALIBRATE_PRICE_LABEL 10556
#define IDC_CALIBRATE_ZERO_LABEL 10557
#define IDC_DATA_POINT_VALUE 11702
#define IDD_EXPRESSION_EDITOR 10401
#define IDC_EXPRESSION_TEXT 10401
#define IDC_EXPRESSION_PARAMETERS 10402
#define IDC_EXPRESSION_NAME 10403
#define IDC_EXPRESSION_OPERATIONS 10404
#define IDC_EXPRESSION_CONSTANTS 10405
#define IDC_EXPRESSION_OPERATIONS_LABEL 10406
#define IDC_EXPRESSION_CONSTANTS_LABEL 10407
#define IDC_EXPRESSION_GRIPPER 10408
