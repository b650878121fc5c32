// UninstallDlg.h : the main dialog of the uninstaller
//

#pragma once

#include "platform/mfc.h"
#include "platform/crt.h"
#include "res/resource.h"

/////////////////////////////////////////////////////////////////////////////
// CUninstallDlg dialog

class CUninstallDlg : public CDialog
{
// Construction
public:
	CUninstallDlg(CWnd* pParent = NULL);	// standard constructor

// Dialog Data
	enum { IDD = IDD_UNINSTALL_DIALOG };
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

	// Generated message map functions
	virtual BOOL OnInitDialog();
	virtual void OnOK();
	afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
	afx_msg void OnPaint();
	afx_msg HCURSOR OnQueryDragIcon();
	DECLARE_MESSAGE_MAP()
};
