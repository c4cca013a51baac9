/* String-table ids that are not key names of settings. Read by the C++
   compiler and by the resource compiler. */
#ifndef KORAVEL_RES_STRING_IDS_H
#define KORAVEL_RES_STRING_IDS_H

#include "res/Version.h"

#define IDS_DESCRIPTION 1
#define IDS_FILE_NAME 1001
#define IDS_SETTINGS_SECTION 1007
#define IDS_GLYPH_SECTION 1028
#define IDS_SENTINEL 1029
/* The keys of a text kept as text, in section [KORAVEL] beside the
   settings (settings/TextSettings.h). */
#define IDS_TEXT_KEY 1090
#define IDS_FONT_KEY 1091
#define IDS_PAGE_KEY 1092

/* The dialog's messages, in every language (res/Messages.rc): a block of
   sixteen ids of their own, apart from the key names. */
#define IDS_SELECT_AT_LEAST_ONE 2096
#define IDS_NO_BLANK_IN_MIDDLE 2097
#define IDS_SAVE_FAILED 2098
#define IDS_SAVE_FAILED_ADVICE 2099
/* The text dialog's messages; each but the last two is followed by what
   it is about (a font's name, characters). */
#define IDS_TEXT_NO_FONT 2100
#define IDS_TEXT_MISSING 2101
#define IDS_TEXT_CANNOT 2102
#define IDS_TEXT_SIMPLIFIED 2103
#define IDS_TEXT_EMPTY 2104
#define IDS_TEXT_SPACE 2105
#define IDS_TEXT_TOO_MANY 2106
/* What the text dialog does with the text, shown under its choice. */
#define IDS_TEXT_KEEP_SAYS 2107
#define IDS_TEXT_STORE_SAYS 2108

/* The saver's description: string 1, which the system lists the saver
   by, the version resource's file description and the start of the
   dialog's title. The publisher comes from the build. */
#define KORAVEL_DESCRIPTION "KORAVEL(" KORAVEL_PUBLISHER " ScreenSaver)"

#define IDI_SAVER 100
#define IDD_CONFIG 2003
#define IDD_TEXT 2004

#endif
