#pragma once
// CFileFind: the class library's listing of a folder. FindNextFile makes the
// next entry current and says whether another one follows it; until then,
// and when the listing could not be begun, no entry is current.

#include "platform/files/win32_files.h"
#include "platform/mfc/string.h"
#include "platform/win32/types.h"

#ifndef NULL
#define NULL nullptr
#endif

class CFileFind {
public:
    CFileFind();
    virtual ~CFileFind();
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // Begins a listing of the entries matching pstrName ("*.*" when null);
    // FALSE when it cannot be begun.
    virtual BOOL FindFile(LPCTSTR pstrName = NULL, DWORD dwUnused = 0);
    // Makes the next entry current; FALSE when it made the last one current
    // (or there was none).
    virtual BOOL FindNextFile();
    void Close();

    // The current entry's name; empty when no entry is current.
    virtual CString GetFileName() const;
    // Nonzero when the current entry has any of the attributes in dwMask.
    virtual BOOL MatchesMask(DWORD dwMask) const;
    BOOL IsDirectory() const;
    // The current entry is "." or "..".
    virtual BOOL IsDots() const;

private:
    HANDLE m_hContext;
    BOOL m_bHasNext;     // m_next holds an entry not yet made current
    BOOL m_bHasCurrent;  // m_current holds the current entry
    WIN32_FIND_DATAA m_next;
    WIN32_FIND_DATAA m_current;
};
