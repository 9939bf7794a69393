// Identifiers of the program's resources (dialogs, menu, strings, icons,
// bitmaps) and of the tray-menu commands.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_MAINDLG 129

// Icons
#define IDR_MAINFRAME 128  // the program's icon: 48, 32 and 16 pixels
#define IDI_SETTINGS 203   // the settings sheet's icon
#define IDI_BUSY 223       // tray icon while a capture runs, 16 pixels

// Menu: the tray menu, also attached to the hidden main dialog
#define IDR_TRAYMENU 201
// The identifier of the tray icon itself
#define IDT_TRAYICON 201

// Bitmaps
#define IDB_SPLASH_PRINT 210  // 160 x 80, 8 bits: shown after each capture
#define IDB_SPLASH_START 211  // 256 x 128, 4 bits: shown at start-up

// Controls of the About box
#define IDC_ABOUT_PRODUCT 1063
#define IDC_ABOUT_VERSION 1064
#define IDC_ABOUT_COPYRIGHT 1065

// Commands
#define ID_SETTING 57601
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_HOTKEY_TOGGLE 32775
#define ID_PRINTER_SETTING 32777
#define ID_MODE_DETAIL 32783
#define ID_MODE_EASY 32784
#define ID_SETTING_INITIALIZE 32785
#define ID_OPEN_CAPTURE_FOLDER 32786

// Strings
#define IDS_HOTKEY_ENABLED 1
#define IDS_HOTKEY_DISABLED 2
#define IDS_CHOOSE_FOLDER 3
#define IDS_PRINT_MODES 4
#define IDS_PICTURE_FORMATS 5
#define IDS_COLOUR_DEPTHS 6
#define IDS_CAPTURE_FAILED 129
// The balloon of a press whose files could not be written
#define IDS_SAVE_FAILED_TITLE 301
#define IDS_SAVE_FAILED_TEXT 302  // "%1" the folder, "%2" the reason
#define IDS_SAVE_NO_FOLDER_NAME 303
#define IDS_SAVE_REASON_NO_FOLDER 304
#define IDS_SAVE_REASON_NOT_CREATED 305
#define IDS_SAVE_REASON_NOT_A_FOLDER 306
#define IDS_SAVE_REASON_NO_PERMISSION 307
#define IDS_SAVE_REASON_DISK_FULL 308
#define IDS_SAVE_REASON_PATH_TOO_LONG 309
#define IDS_SAVE_REASON_WRITE_FAILED 310
// The balloon that names what a press wrote
#define IDS_SAVED_TITLE 311
#define IDS_SAVED_TEXT 312  // "%1" the file, "%2" the folder
#define IDS_SAVED_MORE 313  // "%1" the file, "%2" how many more pictures
// The tray menu's "open the capture folder" when there is no folder to open
#define IDS_OPEN_FOLDER_FAILED 320
// The balloon of a press captured while the queue of presses was full
#define IDS_PRESS_DROPPED_TITLE 390
#define IDS_PRESS_DROPPED_TEXT 391
