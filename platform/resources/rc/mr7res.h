/* Constants a resource script needs: window, dialog and control styles, the
   standard command ids, version block values and language ids. The resource
   compiler reads this header with the C preprocessor, so it holds nothing but
   #define lines with plain numbers. */
#ifndef MR7RES_H
#define MR7RES_H

/* Window styles */
#define WS_OVERLAPPED   0x00000000L
#define WS_POPUP        0x80000000L
#define WS_CHILD        0x40000000L
#define WS_MINIMIZE     0x20000000L
#define WS_VISIBLE      0x10000000L
#define WS_DISABLED     0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE     0x01000000L
#define WS_CAPTION      0x00C00000L
#define WS_BORDER       0x00800000L
#define WS_DLGFRAME     0x00400000L
#define WS_VSCROLL      0x00200000L
#define WS_HSCROLL      0x00100000L
#define WS_SYSMENU      0x00080000L
#define WS_THICKFRAME   0x00040000L
#define WS_GROUP        0x00020000L
#define WS_TABSTOP      0x00010000L
#define WS_MINIMIZEBOX  0x00020000L
#define WS_MAXIMIZEBOX  0x00010000L

/* Extended window styles */
#define WS_EX_DLGMODALFRAME  0x00000001L
#define WS_EX_NOPARENTNOTIFY 0x00000004L
#define WS_EX_TOPMOST        0x00000008L
#define WS_EX_ACCEPTFILES    0x00000010L
#define WS_EX_TRANSPARENT    0x00000020L
#define WS_EX_TOOLWINDOW     0x00000080L
#define WS_EX_WINDOWEDGE     0x00000100L
#define WS_EX_CLIENTEDGE     0x00000200L
#define WS_EX_CONTEXTHELP    0x00000400L
#define WS_EX_RIGHT          0x00001000L
#define WS_EX_STATICEDGE     0x00020000L
#define WS_EX_APPWINDOW      0x00040000L

/* Dialog styles */
#define DS_ABSALIGN      0x0001L
#define DS_SYSMODAL      0x0002L
#define DS_3DLOOK        0x0004L
#define DS_FIXEDSYS      0x0008L
#define DS_NOFAILCREATE  0x0010L
#define DS_LOCALEDIT     0x0020L
#define DS_SETFONT       0x0040L
#define DS_MODALFRAME    0x0080L
#define DS_NOIDLEMSG     0x0100L
#define DS_SETFOREGROUND 0x0200L
#define DS_CONTROL       0x0400L
#define DS_CENTER        0x0800L
#define DS_CENTERMOUSE   0x1000L
#define DS_CONTEXTHELP   0x2000L
#define DS_SHELLFONT     (DS_SETFONT | DS_FIXEDSYS)

/* Button styles */
#define BS_PUSHBUTTON      0x00000000L
#define BS_DEFPUSHBUTTON   0x00000001L
#define BS_CHECKBOX        0x00000002L
#define BS_AUTOCHECKBOX    0x00000003L
#define BS_RADIOBUTTON     0x00000004L
#define BS_3STATE          0x00000005L
#define BS_AUTO3STATE      0x00000006L
#define BS_GROUPBOX        0x00000007L
#define BS_USERBUTTON      0x00000008L
#define BS_AUTORADIOBUTTON 0x00000009L
#define BS_OWNERDRAW       0x0000000BL
#define BS_LEFTTEXT        0x00000020L
#define BS_TEXT            0x00000000L
#define BS_ICON            0x00000040L
#define BS_BITMAP          0x00000080L
#define BS_LEFT            0x00000100L
#define BS_RIGHT           0x00000200L
#define BS_CENTER          0x00000300L
#define BS_TOP             0x00000400L
#define BS_BOTTOM          0x00000800L
#define BS_VCENTER         0x00000C00L
#define BS_PUSHLIKE        0x00001000L
#define BS_MULTILINE       0x00002000L
#define BS_NOTIFY          0x00004000L
#define BS_FLAT            0x00008000L

/* Static control styles */
#define SS_LEFT           0x00000000L
#define SS_CENTER         0x00000001L
#define SS_RIGHT          0x00000002L
#define SS_ICON           0x00000003L
#define SS_BLACKRECT      0x00000004L
#define SS_GRAYRECT       0x00000005L
#define SS_WHITERECT      0x00000006L
#define SS_BLACKFRAME     0x00000007L
#define SS_GRAYFRAME      0x00000008L
#define SS_WHITEFRAME     0x00000009L
#define SS_SIMPLE         0x0000000BL
#define SS_LEFTNOWORDWRAP 0x0000000CL
#define SS_OWNERDRAW      0x0000000DL
#define SS_BITMAP         0x0000000EL
#define SS_ETCHEDHORZ     0x00000010L
#define SS_ETCHEDVERT     0x00000011L
#define SS_ETCHEDFRAME    0x00000012L
#define SS_NOPREFIX       0x00000080L
#define SS_NOTIFY         0x00000100L
#define SS_CENTERIMAGE    0x00000200L
#define SS_RIGHTJUST      0x00000400L
#define SS_REALSIZEIMAGE  0x00000800L
#define SS_SUNKEN         0x00001000L

/* Edit control styles */
#define ES_LEFT        0x0000L
#define ES_CENTER      0x0001L
#define ES_RIGHT       0x0002L
#define ES_MULTILINE   0x0004L
#define ES_UPPERCASE   0x0008L
#define ES_LOWERCASE   0x0010L
#define ES_PASSWORD    0x0020L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NOHIDESEL   0x0100L
#define ES_OEMCONVERT  0x0400L
#define ES_READONLY    0x0800L
#define ES_WANTRETURN  0x1000L
#define ES_NUMBER      0x2000L

/* Standard command ids */
#define IDOK       1
#define IDCANCEL   2
#define IDABORT    3
#define IDRETRY    4
#define IDIGNORE   5
#define IDYES      6
#define IDNO       7
#define IDC_STATIC (-1)

/* Version block */
#define VS_VERSION_INFO      1
#define VS_FFI_FILEFLAGSMASK 0x0000003FL
#define VS_FF_DEBUG          0x00000001L
#define VS_FF_PRERELEASE     0x00000002L
#define VS_FF_PATCHED        0x00000004L
#define VS_FF_PRIVATEBUILD   0x00000008L
#define VS_FF_INFOINFERRED   0x00000010L
#define VS_FF_SPECIALBUILD   0x00000020L
#define VOS_UNKNOWN          0x00000000L
#define VOS_DOS              0x00010000L
#define VOS_NT               0x00040000L
#define VOS__WINDOWS32       0x00000004L
#define VOS_DOS_WINDOWS32    0x00010004L
#define VOS_NT_WINDOWS32     0x00040004L
#define VFT_UNKNOWN          0x00000000L
#define VFT_APP              0x00000001L
#define VFT_DLL              0x00000002L
#define VFT_DRV              0x00000003L
#define VFT_FONT             0x00000004L
#define VFT_VXD              0x00000005L
#define VFT_STATIC_LIB       0x00000007L
#define VFT2_UNKNOWN         0x00000000L

/* Languages */
#define LANG_NEUTRAL       0x00
#define LANG_ENGLISH       0x09
#define LANG_JAPANESE      0x11
#define SUBLANG_NEUTRAL    0x00
#define SUBLANG_DEFAULT    0x01
#define SUBLANG_ENGLISH_US 0x01

#endif
