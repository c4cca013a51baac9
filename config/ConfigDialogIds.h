/* Control ids of the configuration dialog (resource IDD_CONFIG, 2003).
   Read by the C++ compiler and by the resource compiler, which keeps only
   the preprocessor lines of a file whose name ends in .h: so nothing but
   #defines here. The ids are the dialog's own and are in no arithmetic
   order; the tables in config/ConfigControls.h map them to settings. */
#ifndef KORAVEL_CONFIG_DIALOG_IDS_H
#define KORAVEL_CONFIG_DIALOG_IDS_H

/* The nine glyph lists, slots No.1 to No.9. */
#define IDC_GLYPH1 1002
#define IDC_GLYPH2 1003
#define IDC_GLYPH3 1004
#define IDC_GLYPH4 1005
#define IDC_GLYPH5 1006
#define IDC_GLYPH6 1007
#define IDC_GLYPH7 1008
#define IDC_GLYPH8 1039
#define IDC_GLYPH9 1040

/* Mode: OPTIONP. */
#define IDC_MODE_MOVE 1030
#define IDC_MODE_CENTRE 1031

/* Width: HABAJIDO, the HABA bar and its display. */
#define IDC_AUTO_WIDTH 1013
#define IDC_WIDTH_BAR 1017
#define IDC_WIDTH_SHOW 1014

/* Rotation angle: STEPRAG. */
#define IDC_STEP_BAR 1018
#define IDC_STEP_SHOW 1012

/* Figure size: SIZES, SIZE, SIZEY. */
#define IDC_SIZE_SYNC 1041
#define IDC_SIZE_BAR 1019
#define IDC_SIZE_SHOW 1029
#define IDC_SIZEY_BAR 1044
#define IDC_SIZEY_SHOW 1043

/* Movement: SIZEIDO. */
#define IDC_MOVE_BAR 1020
#define IDC_MOVE_SHOW 1016

/* Timer interval: TIMER. */
#define IDC_TIMER_BAR 1028
#define IDC_TIMER_SHOW 1021

/* Colour: COLORS and the seven colour buttons, values 1 to 7. */
#define IDC_COLOUR_PER_SLOT 1054
#define IDC_COLOUR_RED 1032
#define IDC_COLOUR_GREEN 1033
#define IDC_COLOUR_BLUE 1034
#define IDC_COLOUR_WHITE 1035
#define IDC_COLOUR_YELLOW 1055
#define IDC_COLOUR_MAGENTA 1056
#define IDC_COLOUR_CYAN 1057

/* View: VIEW 0 to 9, captions "0" to "90". */
#define IDC_VIEW0 1060
#define IDC_VIEW1 1061
#define IDC_VIEW2 1062
#define IDC_VIEW3 1063
#define IDC_VIEW4 1064
#define IDC_VIEW5 1065
#define IDC_VIEW6 1066
#define IDC_VIEW7 1067
#define IDC_VIEW8 1068
#define IDC_VIEW9 1069

/* Trails and background. */
#define IDC_TRAILS 1059
#define IDC_CLEAR_SCREEN 1058

/* Colour slots No.1 to No.9: which slot the colour buttons edit. */
#define IDC_COLOUR_SLOT1 1045
#define IDC_COLOUR_SLOT2 1046
#define IDC_COLOUR_SLOT3 1047
#define IDC_COLOUR_SLOT4 1048
#define IDC_COLOUR_SLOT5 1049
#define IDC_COLOUR_SLOT6 1050
#define IDC_COLOUR_SLOT7 1051
#define IDC_COLOUR_SLOT8 1052
#define IDC_COLOUR_SLOT9 1053

/* Character count display: OPTIONN. */
#define IDC_COUNT_SHOW 1022

/* Rotation method: KAITEN. */
#define IDC_TURN_WHOLE 1070
#define IDC_TURN_EACH 1071

/* Own rotation of slots No.1 to No.9: ZKAITEN1 to ZKAITEN9. */
#define IDC_OWN_SPIN1 1072
#define IDC_OWN_SPIN2 1073
#define IDC_OWN_SPIN3 1074
#define IDC_OWN_SPIN4 1075
#define IDC_OWN_SPIN5 1076
#define IDC_OWN_SPIN6 1077
#define IDC_OWN_SPIN7 1078
#define IDC_OWN_SPIN8 1079
#define IDC_OWN_SPIN9 1080

/* Own rotation steps of slots No.1 to No.9: STEPRAG1 to STEPRAG9. */
#define IDC_OWN_STEP_SHOW1 1015
#define IDC_OWN_STEP_BAR1 1023
#define IDC_OWN_STEP_SHOW2 1024
#define IDC_OWN_STEP_BAR2 1025
#define IDC_OWN_STEP_SHOW3 1026
#define IDC_OWN_STEP_BAR3 1027
#define IDC_OWN_STEP_SHOW4 1036
#define IDC_OWN_STEP_BAR4 1037
#define IDC_OWN_STEP_SHOW5 1038
#define IDC_OWN_STEP_BAR5 1042
#define IDC_OWN_STEP_SHOW6 1081
#define IDC_OWN_STEP_BAR6 1082
#define IDC_OWN_STEP_SHOW7 1083
#define IDC_OWN_STEP_BAR7 1084
#define IDC_OWN_STEP_SHOW8 1085
#define IDC_OWN_STEP_BAR8 1086
#define IDC_OWN_STEP_SHOW9 1087
#define IDC_OWN_STEP_BAR9 1088

/* Perspective: ENKIN 0, 5, ... 30. */
#define IDC_PERSPECTIVE0 1089
#define IDC_PERSPECTIVE5 1090
#define IDC_PERSPECTIVE10 1091
#define IDC_PERSPECTIVE15 1092
#define IDC_PERSPECTIVE20 1093
#define IDC_PERSPECTIVE25 1094
#define IDC_PERSPECTIVE30 1095

/* Your own text: the button of dialog 2003 that opens the text dialog
   (resource IDD_TEXT, 2004), and that dialog's controls. */
#define IDC_TEXT_BUTTON 1100
#define IDC_TEXT_EDIT 1101
#define IDC_FONT_EDIT 1102
#define IDC_FONT_BUTTON 1103
#define IDC_TEXT_KEEP 1104
#define IDC_TEXT_STORE 1105
#define IDC_PAGE_EDIT 1106
#define IDC_TEXT_SAYS 1107

/* Controls that carry no meaning to the dialog procedure. */
#define IDC_UNUSED (-1)

#endif
