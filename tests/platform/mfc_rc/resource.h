// Resource ids of the sample dialog program the class-library tests run.
#define IDD_ABOUTBOX        100
#define IDS_ABOUTBOX        101
#define IDD_RCSAMPLE_DIALOG 102
#define IDR_MAINFRAME       128
#define IDC_ERASE_DATA      1000
#define IDC_FOLDER          1001
#define IDC_DETAILS         1002
#define IDM_ABOUTBOX        0x0010
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
