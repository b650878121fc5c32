#include "platform/mfc/file_find.h"

#include <cstring>

namespace {
constexpr LPCTSTR kEverything = "*.*";
}

CFileFind::CFileFind() : m_hContext(NULL), m_bHasNext(FALSE), m_bHasCurrent(FALSE), m_next{}, m_current{} {}

CFileFind::~CFileFind()
{
    Close();
}

BOOL CFileFind::FindFile(LPCTSTR pstrName, DWORD /*dwUnused*/)
{
    Close();
    HANDLE hFind = ::FindFirstFileA(pstrName ? pstrName : kEverything, &m_next);
    if (hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_hContext = hFind;
    m_bHasNext = TRUE;
    return TRUE;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHasNext)
        return FALSE;
    m_current = m_next;
    m_bHasCurrent = TRUE;
    m_bHasNext = ::FindNextFileA(m_hContext, &m_next);
    return m_bHasNext;
}

void CFileFind::Close()
{
    if (m_hContext != NULL)
        ::FindClose(m_hContext);
    m_hContext = NULL;
    m_bHasNext = FALSE;
    m_bHasCurrent = FALSE;
}

CString CFileFind::GetFileName() const
{
    return m_bHasCurrent ? CString(m_current.cFileName) : CString();
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const
{
    return m_bHasCurrent && (m_current.dwFileAttributes & dwMask) != 0;
}

BOOL CFileFind::IsDirectory() const
{
    return MatchesMask(FILE_ATTRIBUTE_DIRECTORY);
}

BOOL CFileFind::IsDots() const
{
    if (!IsDirectory())
        return FALSE;
    return std::strcmp(m_current.cFileName, ".") == 0 || std::strcmp(m_current.cFileName, "..") == 0;
}
