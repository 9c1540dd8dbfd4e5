/* Resource identifiers of VERUVEZ.EXE: menu, icon, dialogs, controls, strings.
   Shared by the resource script, the program and its tests. */
#ifndef VMT_RESOURCE_H
#define VMT_RESOURCE_H

/* Dialog templates (property-sheet pages) */
#define IDD_PROCESSOR        101
#define IDD_SYSTEM           102
#define IDD_THERMAL          103
#define IDD_RTC              104

/* Menu commands */
#define IDM_EXIT             200
#define IDM_SAVEAS           201
#define IDM_FILTER           202
#define IDM_START            203
#define IDM_ABOUT            204

/* Menu and icon */
#define IDR_MAINMENU         300
#define IDI_VERUVEZ          301

/* Processor States page */
#define IDC_C1               1000
#define IDC_C2               1001
#define IDC_C3               1002
#define IDC_C1_TEST          1003
#define IDC_C2_TEST          1004
#define IDC_C3_TEST          1005

/* System States page */
#define IDC_S1               1006
#define IDC_S2               1007
#define IDC_S3               1008
#define IDC_S4               1009
#define IDC_S1_TEST          1010
#define IDC_S2_TEST          1011
#define IDC_S3_TEST          1012
#define IDC_S4_TEST          1013

/* Thermal Control page */
#define IDC_FAN              1014
#define IDC_FAN_ON_TEST      1015
#define IDC_FAN_OFF_TEST     1016
#define IDC_DUTY             1017
#define IDC_DUTY_PERCENT     1018
#define IDC_DUTY_SPIN        1019
#define IDC_DUTY_TEST        1020
#define IDC_FAN_ON_LABEL     1021
#define IDC_FAN_OFF_LABEL    1022
#define IDC_DUTY_LABEL       1023

/* RTC Alarm page */
#define IDC_RTC_FRAME        1024
#define IDC_RTC_HOUR         1025
#define IDC_RTC_MINUTE       1026
#define IDC_RTC_SECOND       1027
#define IDC_RTC_COLON1       1028
#define IDC_RTC_COLON2       1029
#define IDC_RTC_AMPM         1030
#define IDC_RTC_SPIN         1031
#define IDC_RTC              1032
#define IDC_RTC_SET_TEST     1034
#define IDC_RTC_GET_TEST     1035
#define IDC_RTC_GET_LABEL    1036

/* Main window's child: the log pane */
#define IDC_LOG              0x802

/* String table */
#define IDS_CLASSNAME        2000
#define IDS_TITLE            2001
#define IDS_MSGCAPTION       2002
#define IDS_ERRORCAPTION     2003
#define IDS_C1_NAME          2004
#define IDS_C1_PROMPT        2005
#define IDS_C2_NAME          2006
#define IDS_C2_PROMPT        2007
#define IDS_C3_NAME          2008
#define IDS_C3_PROMPT        2009
#define IDS_S1_NAME          2010
#define IDS_S1_PROMPT        2011
#define IDS_S1_VERDICT       2012
#define IDS_S2_NAME          2013
#define IDS_S2_PROMPT        2014
#define IDS_S2_VERDICT       2015
#define IDS_S3_NAME          2016
#define IDS_S3_PROMPT        2017
#define IDS_S3_VERDICT       2018
#define IDS_FANON_NAME       2019
#define IDS_FANON_PROMPT     2020
#define IDS_FANON_VERDICT    2021
#define IDS_FANOFF_NAME      2022
#define IDS_FANOFF_PROMPT    2023
#define IDS_FANOFF_VERDICT   2024
#define IDS_THROTTLE_NAME    2025
#define IDS_THROTTLE_PROMPT  2026

#endif
