#pragma once
// The class library's windows: CWnd, CDialog, CStatic, CWinApp, CPaintDC, data
// exchange and message maps.
//
// FIXME: only the skeleton that the system's classes derive from is here yet;
// the window framework replaces it (same names and signatures).

#include "platform/win32/types.h"

#ifndef NULL
#define NULL nullptr
#endif

class CDataExchange;

class CWnd {
public:
    CWnd();
    virtual ~CWnd();

    HWND GetSafeHwnd() const;

    HWND m_hWnd;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDHelp;
    CWnd* m_pParentWnd;
};

class CStatic : public CWnd {
public:
    CStatic();
    ~CStatic() override;
};
