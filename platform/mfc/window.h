#pragma once
// The class library's windows: command targets with message maps, CWnd,
// CMenu, CDialog, CStatic, CPaintDC and dialog data exchange. The
// application object is in app.h, included at the end.

#include "platform/mfc/string.h"
#include "platform/resources/dialog_template.h"
#include "platform/resources/win32_resources.h"
#include "platform/windows/win32_windows.h"

#include <optional>

#ifndef NULL
#define NULL nullptr
#endif

// Marks message handlers; it means nothing to the compiler.
#define afx_msg

class CCmdTarget;
class CWnd;
class CMenu;
class CDataExchange;

// Message maps: each class that declares one has a static table of entries,
// chained to its base class's table. An entry's handler is a small function
// that unpacks the message's parameters and calls the member.
typedef LRESULT (*AFX_MSG_HANDLER)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // 0 ends the table
    UINT nCode;     // notification code of WM_COMMAND entries
    UINT nID;       // command id of WM_COMMAND entries
    AFX_MSG_HANDLER pfnHandler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                 \
protected:                                                    \
    static const AFX_MSGMAP* GetThisMessageMap();             \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                             \
    {                                                                           \
        using ThisClass [[maybe_unused]] = theClass;                            \
        using TheBaseClass = baseClass;                                         \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                              \
        {0, 0, 0, nullptr}};                                                           \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, messageEntries}; \
        return &messageMap;                                                            \
    }

#define ON_COMMAND(id, memberFxn)                                                          \
    {WM_COMMAND, 0, (UINT)(id), [](CCmdTarget* pTarget, WPARAM, LPARAM) -> LRESULT {      \
         static_cast<ThisClass*>(pTarget)->memberFxn();                                    \
         return 0;                                                                         \
     }},

#define ON_WM_SYSCOMMAND()                                                                     \
    {WM_SYSCOMMAND, 0, 0, [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam) -> LRESULT {   \
         static_cast<ThisClass*>(pTarget)->OnSysCommand(static_cast<UINT>(wParam), lParam);    \
         return 0;                                                                             \
     }},

#define ON_WM_PAINT()                                                           \
    {WM_PAINT, 0, 0, [](CCmdTarget* pTarget, WPARAM, LPARAM) -> LRESULT {       \
         static_cast<ThisClass*>(pTarget)->OnPaint();                           \
         return 0;                                                              \
     }},

#define ON_WM_QUERYDRAGICON()                                                         \
    {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* pTarget, WPARAM, LPARAM) -> LRESULT {     \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(pTarget)->OnQueryDragIcon()); \
     }},

class CCmdTarget {
public:
    CCmdTarget();
    virtual ~CCmdTarget();

    // Runs the command's entry of this object's message map, if there is one.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry for the message (and command id and code) along the chain.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object attached to a window, or a temporary one for a window that has
    // none (kept until the program ends); NULL for NULL.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);

    HWND GetSafeHwnd() const;
    operator HWND() const { return m_hWnd; }
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);
    BOOL DestroyWindow();

    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    CWnd* GetDlgItem(int nID) const;
    CMenu* GetSystemMenu(BOOL bRevert) const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL IsIconic() const;
    void GetClientRect(LPRECT lpRect) const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    HWND m_hWnd;

protected:
    // The message in hand goes to the window's original procedure.
    LRESULT Default();

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void PostNcDestroy();

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();

    WNDPROC m_pfnSuper;  // the procedure the window had before it was subclassed

private:
    friend LRESULT AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_currentMessage;

    DECLARE_MESSAGE_MAP()
};

// The window procedure of every window that a CWnd is attached to.
LRESULT AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class CMenu {
public:
    CMenu();
    ~CMenu();

    // A temporary object for a menu handle, kept until the program ends; NULL for NULL.
    static CMenu* FromHandle(HMENU hMenu);

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL);
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    HMENU GetSafeHmenu() const { return m_hMenu; }

    HMENU m_hMenu;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
    ~CDialog() override;

    // Uses a template held in memory instead of the resource named by the id.
    BOOL InitModalIndirect(const platform::resources::DialogTemplate& dialogTemplate, CWnd* pParentWnd = NULL);

    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    void EndDialog(int nResult);

    LPCTSTR m_lpszTemplateName;
    UINT m_nIDHelp;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    virtual void OnOK();
    virtual void OnCancel();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CWnd* m_pParentWnd;

private:
    std::optional<platform::resources::DialogTemplate> m_indirectTemplate;

    DECLARE_MESSAGE_MAP()
};

class CStatic : public CWnd {
public:
    CStatic();
    ~CStatic() override;
};

// Dialog data exchange: which way data goes, and the dialog it goes through.
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // The control nIDC of the dialog; a missing control stops the program,
    // since the dialog class and its template do not match.
    HWND PrepareCtrl(int nIDC);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Attaches rControl to control nIDC on the first exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// A check box's state (0, 1, 2) to or from value.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

// A rectangle with the class library's conveniences.
class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

class CDC {
public:
    CDC();
    virtual ~CDC();
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON hIcon);
    BOOL DrawIcon(POINT point, HICON hIcon);

    HDC m_hDC;
};

// Painting of one WM_PAINT: BeginPaint on construction, EndPaint on destruction.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};

#include "platform/mfc/app.h"
