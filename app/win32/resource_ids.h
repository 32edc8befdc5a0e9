/* Identifiers of the Windows resources. Plain #defines so that the resource
   script and the C++ sources share them; the menu and accelerator commands
   are in app/command_ids.h. */
#ifndef ORVANTA_WIN32_RESOURCE_IDS_H
#define ORVANTA_WIN32_RESOURCE_IDS_H

#define IDS_APP_TITLE      103 /* string: the fixed front of every window title */
#define IDS_CLASS_NAME     109 /* string: the window class name                */
#define IDR_ACCELERATORS   109 /* the '?' and '/' accelerators                 */
#define IDD_ABOUTBOX       103 /* the About box                                */
#define IDI_APPLICATION_ICON 107 /* 16 to 256 pixels, true colour                */
#define IDC_ABOUT_NAME     -1  /* the static text with the program's name      */

#endif /* ORVANTA_WIN32_RESOURCE_IDS_H */
