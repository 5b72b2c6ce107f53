/* Command, control and resource ids shared by dorvex.rc and the code. Plain defines only:
   windres reads this file too. */
#ifndef VELMORA_RESOURCE_H
#define VELMORA_RESOURCE_H

/* Menu commands */
#define IDM_OPEN                 11
#define IDM_SAVE                 12
#define IDM_EXIT                 13
#define IDM_VERIFY_ALL           14
#define IDM_ABOUT                15
#define IDM_SELECT_ALL           16
#define IDM_COPY                 17
#define IDM_DELETE               18
#define IDM_NEW                  19
#define IDM_SET_BASE_DIRECTORY   20
#define IDM_ADD_FILES            21
#define IDM_ADD_DIRECTORY        22
#define IDM_SAVE_AS              23
#define IDM_HELP_CONTENTS        24
#define IDM_VERIFY_SELECTED      25
#define IDM_RECALCULATE_ALL      26
#define IDM_RECALCULATE_SELECTED 27
#define IDM_STOP                 28
#define IDM_FIRST_COMMAND        IDM_OPEN
#define IDM_LAST_COMMAND         IDM_STOP

/* Edit > Digest: the kind of digest of a new summary, in the order of the kinds */
#define IDM_DIGEST_MD5           30
#define IDM_DIGEST_SHA1          31
#define IDM_DIGEST_SHA256        32
#define IDM_DIGEST_SHA512        33
#define IDM_DIGEST_FIRST         IDM_DIGEST_MD5
#define IDM_DIGEST_LAST          IDM_DIGEST_SHA512

/* Recent summaries: File menu entries after Exit */
#define IDM_RECENT_FIRST         200
#define IDM_RECENT_COUNT         4
#define IDM_RECENT_LAST          (IDM_RECENT_FIRST + IDM_RECENT_COUNT - 1)

/* Child controls of the main window */
#define IDC_PROGRESS             1300
#define IDC_BASE_LABEL           1301
#define IDC_TOOLBAR              1302
#define IDC_STATUS_BAR           1303
#define IDC_ENTRY_LIST           1304

/* Bitmaps */
#define IDB_TOOLBAR              122
#define IDB_TOOLBAR_HOT          123
#define IDB_STATE_IMAGES         124
/* The same for screens of 150% and 200% */
#define IDB_TOOLBAR_150          125
#define IDB_TOOLBAR_HOT_150      126
#define IDB_STATE_IMAGES_150     127
#define IDB_TOOLBAR_200          128
#define IDB_TOOLBAR_HOT_200      129
#define IDB_STATE_IMAGES_200     130

/* About dialog controls */
#define IDC_ABOUT_STATIC         -1

#define VELMORA_VERSION_TEXT     "Version 1.1"

#endif
