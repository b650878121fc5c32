// Resource ids of the sample script the resource tests read.
#define IDD_SAMPLE_ABOUT   100
#define IDS_SAMPLE_MENU    101
#define IDD_SAMPLE_MAIN    102
#define IDR_SAMPLE_ICON    128
#define IDC_SAMPLE_CHECK   1001
#define IDC_SAMPLE_FOLDER  1003
#define IDS_SAMPLE_TITLE   57344
#define IDS_SAMPLE_OTHER   57345
