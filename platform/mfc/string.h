#pragma once
// CString and CStringArray: the class library's multibyte string (code page
// 932 bytes, as the system holds all its text) and its array of strings.

#include "platform/win32/types.h"

#include <string>
#include <vector>

class CString {
public:
    CString();
    CString(const CString& stringSrc);
    CString(LPCTSTR lpsz);  // null gives an empty string
    CString(LPCTSTR lpch, int nLength);
    CString(TCHAR ch, int nRepeat = 1);
    ~CString();

    const CString& operator=(const CString& stringSrc);
    const CString& operator=(LPCTSTR lpsz);
    const CString& operator=(TCHAR ch);
    const CString& operator+=(const CString& string);
    const CString& operator+=(LPCTSTR lpsz);
    const CString& operator+=(TCHAR ch);

    int GetLength() const;
    BOOL IsEmpty() const;
    void Empty();
    TCHAR GetAt(int nIndex) const;
    TCHAR operator[](int nIndex) const;
    void SetAt(int nIndex, TCHAR ch);
    operator LPCTSTR() const;

    int Compare(LPCTSTR lpsz) const;
    int CompareNoCase(LPCTSTR lpsz) const;

    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;

    // Byte position of the last character ch (a backslash inside a double-byte
    // character does not count), or -1.
    int ReverseFind(TCHAR ch) const;
    int Find(TCHAR ch) const;
    int Find(LPCTSTR lpszSub) const;

    void MakeLower();  // through _mbslwr
    void MakeUpper();  // through _mbsupr

    // Loads a string resource of the module; FALSE when there is none.
    BOOL LoadString(UINT nID);

    LPTSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_data;
};

CString operator+(const CString& string1, const CString& string2);
CString operator+(const CString& string, LPCTSTR lpsz);
CString operator+(LPCTSTR lpsz, const CString& string);
CString operator+(const CString& string, TCHAR ch);
bool operator==(const CString& s1, const CString& s2);
bool operator==(const CString& s1, LPCTSTR s2);
bool operator==(LPCTSTR s1, const CString& s2);
bool operator!=(const CString& s1, const CString& s2);
bool operator!=(const CString& s1, LPCTSTR s2);
bool operator!=(LPCTSTR s1, const CString& s2);
bool operator<(const CString& s1, const CString& s2);

class CStringArray {
public:
    CStringArray();
    ~CStringArray();
    CStringArray(const CStringArray&) = delete;
    CStringArray& operator=(const CStringArray&) = delete;

    int GetSize() const;
    int GetUpperBound() const;
    const CString& GetAt(int nIndex) const;
    void SetAt(int nIndex, LPCTSTR newElement);
    int Add(LPCTSTR newElement);
    int Add(const CString& newElement);
    void RemoveAll();
    void RemoveAt(int nIndex, int nCount = 1);
    CString& operator[](int nIndex);
    const CString& operator[](int nIndex) const;

private:
    std::vector<CString> m_items;
};
