#pragma once
// Resource ids of VtAudTestApp: dialog templates, controls, menus, icon.

#define IDR_MAINFRAME           128
#define IDD_ABOUTBOX            100
#define IDD_PLAIN               102
#define IDD_DEVICES             107
#define IDD_LED                 108
#define IDD_PROFILES            110
#define IDD_DEVICE_INFO         133
#define IDD_APM                 134
#define IDD_MODE                139
#define IDD_EQUALIZER           142
#define IDD_BEAMFORM            145
#define IDD_MIXER               146

#define IDR_PROFILE_MENU        130
#define IDR_MACRO_MENU          131

// Devices and device information
#define IDC_DEVICE_LIST         1000
#define IDC_FIRMWARE_VERSION    1048
#define IDC_DRIVER_VERSION      1090
#define IDC_VENDOR_ID           1091
#define IDC_PRODUCT_ID          1092

// Profiles
#define IDC_PROFILE_LIST        1005
#define ID_PROFILE_NEW          32774
#define ID_PROFILE_DELETE       32776
#define ID_PROFILE_IMPORT       32778
#define ID_PROFILE_EXPORT       32779
#define ID_PROFILE_SET_ACTIVE   32784
#define ID_PROFILE_RESTORE      32787
#define ID_MACRO_NEW            32790
#define ID_MACRO_EDIT           32791
#define ID_MACRO_DELETE         32792
#define ID_MACRO_IMPORT         32793
#define ID_MACRO_EXPORT         32794

// Equaliser and beam forming
#define IDC_EQ_ENABLED          1073
#define IDC_EQ_BAND0            1074
#define IDC_EQ_BAND9            1083
#define IDC_BF_ENABLED          1096

// LED
#define IDC_COLOR_CHANGE        1011
#define IDC_ZONE_LIST           1022
#define IDC_COLOR_SWATCH        1023
#define IDC_DURATION            1024
#define IDC_DELAY               1025
#define IDC_APM_RATE            1026
#define IDC_EFFECT              1027
#define IDC_LED_SAVE            1028
#define IDC_BRIGHTNESS          1029
#define IDC_APM_COLOR           1030
#define IDC_LED_ON              1035
#define IDC_APM                 1036
#define IDC_DURATION_LABEL      1049
#define IDC_DELAY_LABEL         1050
#define IDC_APM_RATE_LABEL      1051
#define IDC_APM_COLOR_LABEL     1052

// Mixer
#define IDC_OUT_LEFT            1097
#define IDC_OUT_RIGHT           1098
#define IDC_OUT_MUTE            1101
#define IDC_OUT_LEFT_LABEL      1102
#define IDC_OUT_RIGHT_LABEL     1103
#define IDC_IN_MUTE             1104
#define IDC_IN_AGC              1105
#define IDC_OUT_NAME            1106
#define IDC_IN_NAME             1107
#define IDC_OUT_MASTER          1108
#define IDC_IN_MASTER           1109
#define IDC_OUT_MASTER_LABEL    1110
#define IDC_IN_MASTER_LABEL     1111
#define IDC_SYNC                1112

#define IDC_STATIC              -1
