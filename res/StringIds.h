/* String-table ids that are not key names of settings. Read by the C++
   compiler and by the resource compiler. */
#ifndef KORAVEL_RES_STRING_IDS_H
#define KORAVEL_RES_STRING_IDS_H

#define IDS_DESCRIPTION 1
#define IDS_FILE_NAME 1001
#define IDS_SETTINGS_SECTION 1007
#define IDS_GLYPH_SECTION 1028
#define IDS_SENTINEL 1029

/* The saver's description: string 1, which the system lists the saver
   by, and the version resource's file description. */
#define KORAVEL_DESCRIPTION "KORAVEL(Zorbek ScreenSaver)"

#define IDI_SAVER 100
#define IDD_CONFIG 2003

#endif
