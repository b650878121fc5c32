// UninstallDlg.h : the main dialog of the uninstaller
//

#pragma once

#include "platform/mfc.h"
#include "platform/crt.h"

/////////////////////////////////////////////////////////////////////////////
// CUninstallDlg dialog

class CUninstallDlg : public CDialog
{
// Construction
public:
	CUninstallDlg(CWnd* pParent = NULL);	// standard constructor

// Dialog Data
	// FIXME: enum { IDD = IDD_UNINSTALL_DIALOG } once the resource header exists.
	CStatic	m_wndInstallDir;
	BOOL	m_bDeleteStockBook;

// Implementation
protected:
	HICON m_hIcon;

	virtual void DoDataExchange(CDataExchange* pDX);	// DDX/DDV support

	// The uninstall procedure (uninstall/RunUninstall.cpp)
	void RunUninstall();

	// Folder removal (sysaccess/RemoveFolder.cpp)
	BOOL RemoveFolder(CString strPath, LPCTSTR lpszSpare);
	BOOL RemoveTree(CString strName, LPCTSTR lpszSpare);

	// Message handlers
	// FIXME: DECLARE_MESSAGE_MAP and the entries for these handlers come with
	// the window framework.
	virtual BOOL OnInitDialog();
	virtual void OnOK();
	void OnSysCommand(UINT nID, LPARAM lParam);
	void OnPaint();
	HCURSOR OnQueryDragIcon();
};
