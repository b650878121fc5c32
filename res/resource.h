// Resource identifiers of the uninstaller.

#define IDD_ABOUTBOX                    100
#define IDS_ABOUTBOX                    101
#define IDD_UNINSTALL_DIALOG            102
#define IDR_MAINFRAME                   128
#define IDC_DELETE_STOCKBOOK            1001
#define IDC_INSTALL_DIR                 1003

// The About item of the system menu: its low four bits are zero, as the
// system keeps them for itself, and it lies below the system's own commands.
#define IDM_ABOUTBOX                    0x0010
