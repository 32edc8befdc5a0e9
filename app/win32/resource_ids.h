/* Identifiers of the Windows resources. Plain #defines so that the resource
   script and the C++ sources share them; the menu and accelerator commands
   are in app/command_ids.h. */
#ifndef ORVANTA_WIN32_RESOURCE_IDS_H
#define ORVANTA_WIN32_RESOURCE_IDS_H

#define IDS_APP_TITLE      103 /* string: the base title, as baseWindowTitle() */
#define IDS_CLASS_NAME     109 /* string: the window class name                */
#define IDR_ACCELERATORS   109 /* the '?' and '/' accelerators                 */
#define IDD_ABOUTBOX       103 /* the About box                                */
#define IDI_APPLICATION_ICON 107 /* 16 to 256 pixels, true colour                */
#define IDC_ABOUT_NAME     -1  /* the static text with the program's name      */
#define IDD_SHARE          110 /* a map's code or a result, with a copy button  */
#define IDD_MAP_CODE       111 /* asks for a map code or a link               */
#define IDC_SHARE_CAPTION  1001
#define IDC_SHARE_TEXT     1002
#define IDC_COPY           1003
#define IDC_MAP_CODE_MESSAGE 1004
#define IDC_MAP_CODE_ENTRY 1005
#define IDC_PASTE          1006

#endif /* ORVANTA_WIN32_RESOURCE_IDS_H */
