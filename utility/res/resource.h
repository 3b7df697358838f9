// Resource numbers of YoltUtility.
#pragma once

#define IDR_MAINFRAME 128        // the program icon
#define IDD_ABOUTBOX 100         // the About box
#define IDS_ABOUTBOX 101         // "&About YOLT Utility..." in the system menu
#define IDD_MAIN_DIALOG 102      // the main window
#define IDB_FACE_NONE 134        // backgrounds: no player (and models without a picture)
#define IDB_FACE_RQ210 147
#define IDB_FACE_RQ310 148
#define IDB_FACE_VN310 149
#define IDB_FACE_WC110 150
#define IDB_FACE_PX410 151
#define IDB_FACE_PX210 152
#define IDB_PRESSED_LEFT 142     // the round buttons drawn pushed in, 136x136
#define IDB_PRESSED_MIDDLE 143
#define IDB_PRESSED_RIGHT 144
#define IDB_PRESSED_CLOSE 146    // the close button drawn pushed in, 33x35
#define IDC_POINTING_HAND 137    // the pointing hand
