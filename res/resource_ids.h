// Every resource and command id of Orvanel, defined once and shared by
// Orvanel.rc and the code.  Plain #defines: the resource compiler reads them.
#pragma once

// Icon
#define IDI_ORVANEL 101

// Menus and accelerators
#define IDM_MAINMENU 201
#define IDA_ACCELERATORS 202
#define IDM_TRAYMENU 203

// Dialog templates
#define IDD_CONFIGURATION 301
#define IDD_SETINIPATH 302
#define IDD_ALARMS 303
#define IDD_ALARM 304

// String table: 401-458, then the program's own additions from 459
#define IDS_ABOUT_CAPTION 401
#define IDS_ABOUT_TEXT 402
#define IDS_FILTER_DICTIONARY 403
#define IDS_TITLE_DICTIONARY 404
#define IDS_FILTER_WAV 405
#define IDS_TITLE_WAV 406
#define IDS_FILTER_INI 407
#define IDS_TITLE_INI 408
#define IDS_TEST_BUTTON 409
#define IDS_UTC_WORDS 410
#define IDS_TIME_INTRO 411
#define IDS_DATE_INTRO 412
#define IDS_PICTURE_12H 413
#define IDS_PICTURE_24H 414
#define IDS_PICTURE_12H_SECONDS 415
#define IDS_PICTURE_24H_SECONDS 416
#define IDS_TOOLBAR_LABELS 417
#define IDS_READY 418
#define IDS_SPEAKING 419
#define IDS_SPEAKER_FIRST 420 /* "Paul" ... 428 "Wendy" */
#define IDS_SPEAKER_LAST 428
#define IDS_HIDE_MENU_BAR 429
#define IDS_SAVE_WINDOW_POSITION 430
#define IDS_CAPTION_QUESTION 431
#define IDS_CAPTION_WARNING 432
#define IDS_CAPTION_INFORMATION 433
#define IDS_CAPTION_ERROR 434
#define IDS_RESTART_NEEDED 435
#define IDS_CONFIRM_RESET 436
#define IDS_RESET_DONE 437
#define IDS_RESET_NOTHING 438
#define IDS_RESET_FAILED 439
#define IDS_CONFIRM_EMPTY_CLIPBOARD 440
#define IDS_CLIPBOARD_EMPTIED 441
#define IDS_CLIPBOARD_EMPTY_FAILED 442
#define IDS_CLIPBOARD_OPEN_FAILED 443
#define IDS_AUDIO_WRITE_FAILED 444
#define IDS_AUDIO_OPEN_FAILED 445
#define IDS_AUDIO_CAPS_FAILED 446
#define IDS_ENGINE_START_FAILED 447
#define IDS_ENGINE_MESSAGE_FAILED 448
#define IDS_OLD_WINDOWS 449
#define IDS_ALREADY_RUNNING 450
#define IDS_MUTEX_FAILED 451
#define IDS_SET_DIRECTORY_FAILED 452
#define IDS_GET_DIRECTORY_FAILED 453
#define IDS_REGISTRY_FAILED 454
#define IDS_CLASS_FAILED 455
#define IDS_WINDOW_FAILED 456
#define IDS_ACCELERATORS_FAILED 457
#define IDS_THREAD_FAILED 458
#define IDS_PATH_NOT_ABSOLUTE 459
#define IDS_PATH_NO_FOLDER 460
#define IDS_PATH_NOT_WRITABLE 461
#define IDS_SETTINGS_NOT_SAVED 462
#define IDS_SETTINGS_NOT_SAVED_STATUS 463
#define IDS_DEFAULT_AUDIO_DEVICE 464
#define IDS_UTC_SUFFIX 465
#define IDS_TRAY_TIP 466
#define IDS_ALARM_MISSED 480
#define IDS_EQUAL_QUIET_HOURS 467
#define IDS_SPEECH_OUTPUT_FIRST 468 /* "Orvanel's own voices", 469 the reader or service */
#define IDS_SPEECH_OUTPUT_LAST 469
#define IDS_SPEECH_FALLBACK 470
// The list of alarms, 481-499.  The five repeats in the order of the Alarm
// dialog's Repeat list.
#define IDS_REPEAT_EVERY_DAY 481
#define IDS_REPEAT_WEEKDAYS 482
#define IDS_REPEAT_WEEKENDS 483
#define IDS_REPEAT_CHOSEN_DAYS 484
#define IDS_REPEAT_ONCE 485
#define IDS_ALARM_ON 486
#define IDS_ALARM_OFF 487
#define IDS_CONFIRM_DELETE_ALARM 488
#define IDS_ALARM_LIST_FULL 489
#define IDS_ALARM_BAD_DATE 490
#define IDS_ALARM_NO_DAYS 491
#define IDS_ALARM_ONCE_ON 492
#define IDS_NEXT_ALARM 493
// The Chime list's entries, in the order of the setting's values.
#define IDS_CHIME_NONE 494
#define IDS_CHIME_BEFORE 495
#define IDS_CHIME_INSTEAD 496
#define IDS_TRAY_TIP_ALARM 497

// Commands 40001-40024 (menu bar, tray menu, accelerators, toolbar, system menu).
// Each command's menu help text is the string of the same id.
#define ID_CONFIGURE 40001
#define ID_RESET_CONFIGURATION 40002
#define ID_SET_INI_PATH 40003
#define ID_SPEAK_TIME 40004
#define ID_MINIMIZE_TO_TRAY 40005
#define ID_RESTORE_WINDOW 40006
#define ID_PAINT_TIME 40007
#define ID_INCLUDE_SECONDS 40008
#define ID_RESTART_SPEECH 40009
#define ID_EXIT 40010
#define ID_READ_CLIPBOARD 40011
#define ID_EMPTY_CLIPBOARD 40012
#define ID_TOOLBAR 40013
#define ID_STATUS_BAR 40014
#define ID_ALWAYS_ON_TOP 40015
#define ID_SHOW_TITLE 40016
#define ID_FONT 40017
#define ID_COLOR 40018
#define ID_ABOUT 40019
// The system menu's two (WM_SYSCOMMAND); scripts and tools send these numbers.
#define ID_HIDE_MENU_BAR 40020
#define ID_SAVE_WINDOW_POSITION 40021
// The program's own commands, after the system menu's.
#define ID_STOP_SPEAKING 40023
#define ID_ALARMS 40024
#define ID_FIRST_MENU_COMMAND ID_CONFIGURE
#define ID_LAST_MENU_COMMAND ID_ABOUT
#define ID_FIRST_OWN_COMMAND ID_STOP_SPEAKING
#define ID_LAST_OWN_COMMAND ID_ALARMS

// System-wide hot keys 1001-1005
#define IDH_CONFIGURE 1001
#define IDH_ABOUT 1002
#define IDH_TOGGLE_TRAY 1003
#define IDH_SPEAK_TIME 1004
#define IDH_READ_CLIPBOARD 1005

// Notification-area icon
#define TRAY_ICON_ID 1
#define TRAY_CALLBACK_MESSAGE 0x8000 /* WM_APP */

// Dialog controls 1001-1046 (the Configuration dialog, then Set INI Path), then
// the program's own from 1047.
// Labels carry IDC_STATIC_LABEL.  Each up-down follows the number box it drives.
#define IDC_STATIC_LABEL 65535
#define IDC_START_HIDDEN 1001
#define IDC_REGISTER_HOTKEYS 1002
#define IDC_24_HOUR 1003
#define IDC_UNIVERSAL_TIME 1004
#define IDC_BYPASS_MARKER 1005
#define IDC_INCLUDE_ZONE 1006
#define IDC_TIME_INTRO 1007
#define IDC_CHECK_INTERVAL 1008
#define IDC_CHECK_INTERVAL_UPDOWN 1009
#define IDC_STARTUP_ANNOUNCE 1010
#define IDC_END_COMMA 1011
#define IDC_ANNOUNCE_DATE 1012
#define IDC_SHORT_DATE 1013
#define IDC_DATE_INTRO 1014
#define IDC_AUDIO_DEVICE 1015
#define IDC_OWN_DEVICE 1016
#define IDC_VOLUME 1017
#define IDC_SPEAKER 1018
#define IDC_RATE 1019
#define IDC_RATE_UPDOWN 1020
#define IDC_RESET_SPEECH 1021
#define IDC_USER_DICTIONARY 1022
#define IDC_BROWSE_DICTIONARY 1023
#define IDC_GREETING 1024
#define IDC_CLOSING 1025
#define IDC_BEEP_INTERVAL 1026
#define IDC_INTERRUPTABILITY 1027
#define IDC_ALARM_ENABLED 1028
#define IDC_ALARM_HOUR 1029
#define IDC_ALARM_HOUR_UPDOWN 1030
#define IDC_ALARM_MINUTE 1031
#define IDC_ALARM_MINUTE_UPDOWN 1032
#define IDC_ALARM_SECOND 1033
#define IDC_ALARM_SECOND_UPDOWN 1034
#define IDC_ALARM_FILE 1035
#define IDC_BROWSE_AUDIO 1036
#define IDC_ALARM_MESSAGE 1037
#define IDC_QUIET_MODE 1038
#define IDC_QUIET_AFTER_HOUR 1039
#define IDC_QUIET_AFTER_HOUR_UPDOWN 1040
#define IDC_QUIET_BEFORE_HOUR 1041
#define IDC_QUIET_BEFORE_HOUR_UPDOWN 1042
#define IDC_APPLY 1043
#define IDC_INI_PATH 1044
#define IDC_BROWSE_INI 1045
#define IDC_USE_REGISTRY 1046
#define IDC_EQUAL_QUIET_HOURS 1047 /* the Configuration dialog's note under the quiet hours */
#define IDC_SPEECH_OUTPUT 1048
// The Alarms dialog 1060-1064, then the Alarm dialog (one alarm) from 1065.
#define IDC_ALARM_LIST 1060
#define IDC_ALARM_ADD 1061
#define IDC_ALARM_EDIT 1062
#define IDC_ALARM_DELETE 1063
#define IDC_ALARM_TOGGLE 1064
#define IDC_ALARM_SET_HOUR 1065
#define IDC_ALARM_SET_HOUR_UPDOWN 1066
#define IDC_ALARM_SET_MINUTE 1067
#define IDC_ALARM_SET_MINUTE_UPDOWN 1068
#define IDC_ALARM_SET_SECOND 1069
#define IDC_ALARM_SET_SECOND_UPDOWN 1070
#define IDC_ALARM_REPEAT 1071
#define IDC_ALARM_SUNDAY 1072 /* ... 1078 Saturday, in the clock's order of days */
#define IDC_ALARM_SATURDAY 1078
#define IDC_ALARM_DATE 1079
#define IDC_ALARM_SET_MESSAGE 1080
#define IDC_ALARM_SET_FILE 1081
#define IDC_ALARM_SET_BROWSE 1082
#define IDC_ALARM_SET_ON 1083
#define IDC_CHIME 1084 /* the Configuration dialog's Chime list, under the interval */
// The alarm and quiet-hour controls that follow their check box's state.
#define IDC_ALARM_FIRST IDC_ALARM_HOUR
#define IDC_ALARM_LAST IDC_ALARM_MESSAGE
#define IDC_QUIET_FIRST IDC_QUIET_AFTER_HOUR
#define IDC_QUIET_LAST IDC_QUIET_BEFORE_HOUR_UPDOWN

#ifdef __cplusplus
// What the code that runs over these ranges relies on (the resource compiler
// reads no C++).
static_assert(ID_HIDE_MENU_BAR == 40020 && ID_SAVE_WINDOW_POSITION == 40021,
              "the system menu's commands keep the numbers that tools send");
static_assert(ID_LAST_MENU_COMMAND < ID_HIDE_MENU_BAR &&
                  ID_SAVE_WINDOW_POSITION < ID_FIRST_OWN_COMMAND &&
                  ID_FIRST_OWN_COMMAND <= ID_LAST_OWN_COMMAND,
              "no WM_COMMAND command takes a system-menu command's number");
static_assert(IDC_ALARM_SATURDAY - IDC_ALARM_SUNDAY == 6, "a check box for each day of the week");
static_assert(IDC_ALARM_ENABLED + 1 == IDC_ALARM_FIRST && IDC_ALARM_LAST + 1 == IDC_QUIET_MODE,
              "the alarm's check box enables exactly the controls between it and Quiet mode");
static_assert(IDC_QUIET_MODE + 1 == IDC_QUIET_FIRST && IDC_QUIET_LAST + 1 == IDC_APPLY,
              "Quiet mode's check box enables exactly the controls between it and Apply");
#endif
