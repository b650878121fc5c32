#include "platform/mfc/string.h"

#include "platform/text/mbstring.h"

#include <cstdlib>
#include <cstring>

namespace {

// The class library asserts on a bad index; a release build would read out of
// bounds. Failing loudly here keeps a fault from turning into a wrong result.
[[noreturn]] void index_out_of_range()
{
    std::abort();
}

}  // namespace

CString::CString() = default;
CString::CString(const CString& stringSrc) = default;
CString::CString(LPCTSTR lpsz) : m_data(lpsz ? lpsz : "") {}
CString::CString(LPCTSTR lpch, int nLength) : m_data(lpch && nLength > 0 ? std::string(lpch, static_cast<std::size_t>(nLength)) : std::string()) {}
CString::CString(TCHAR ch, int nRepeat) : m_data(nRepeat > 0 ? static_cast<std::size_t>(nRepeat) : 0, ch) {}
CString::~CString() = default;

const CString& CString::operator=(const CString& stringSrc)
{
    m_data = stringSrc.m_data;
    return *this;
}

const CString& CString::operator=(LPCTSTR lpsz)
{
    m_data = lpsz ? lpsz : "";
    return *this;
}

const CString& CString::operator=(TCHAR ch)
{
    m_data.assign(1, ch);
    return *this;
}

const CString& CString::operator+=(const CString& string)
{
    m_data += string.m_data;
    return *this;
}

const CString& CString::operator+=(LPCTSTR lpsz)
{
    if (lpsz)
        m_data += lpsz;
    return *this;
}

const CString& CString::operator+=(TCHAR ch)
{
    m_data += ch;
    return *this;
}

int CString::GetLength() const
{
    return static_cast<int>(std::strlen(m_data.c_str()));
}

BOOL CString::IsEmpty() const
{
    return GetLength() == 0;
}

void CString::Empty()
{
    m_data.clear();
}

TCHAR CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetLength())
        index_out_of_range();
    return m_data[static_cast<std::size_t>(nIndex)];
}

TCHAR CString::operator[](int nIndex) const
{
    return GetAt(nIndex);
}

void CString::SetAt(int nIndex, TCHAR ch)
{
    if (nIndex < 0 || nIndex >= GetLength())
        index_out_of_range();
    m_data[static_cast<std::size_t>(nIndex)] = ch;
}

CString::operator LPCTSTR() const
{
    return m_data.c_str();
}

int CString::Compare(LPCTSTR lpsz) const
{
    return _mbscmp(reinterpret_cast<const unsigned char*>(m_data.c_str()), reinterpret_cast<const unsigned char*>(lpsz ? lpsz : ""));
}

int CString::CompareNoCase(LPCTSTR lpsz) const
{
    CString a(*this);
    CString b(lpsz);
    a.MakeLower();
    b.MakeLower();
    return a.Compare(b);
}

CString CString::Left(int nCount) const
{
    int length = GetLength();
    if (nCount < 0)
        nCount = 0;
    if (nCount >= length)
        return *this;
    return CString(m_data.c_str(), nCount);
}

CString CString::Right(int nCount) const
{
    int length = GetLength();
    if (nCount < 0)
        nCount = 0;
    if (nCount >= length)
        return *this;
    return CString(m_data.c_str() + (length - nCount), nCount);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength() - nFirst);
}

CString CString::Mid(int nFirst, int nCount) const
{
    int length = GetLength();
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst > length)
        nFirst = length;
    if (nFirst + nCount > length)
        nCount = length - nFirst;
    return CString(m_data.c_str() + nFirst, nCount);
}

int CString::ReverseFind(TCHAR ch) const
{
    const unsigned char* base = reinterpret_cast<const unsigned char*>(m_data.c_str());
    const unsigned char* found = _mbsrchr(base, static_cast<unsigned char>(ch));
    return found ? static_cast<int>(found - base) : -1;
}

int CString::Find(TCHAR ch) const
{
    if (ch == '\0')
        return -1;
    const unsigned char* base = reinterpret_cast<const unsigned char*>(m_data.c_str());
    const unsigned char* found = _mbschr(base, static_cast<unsigned char>(ch));
    return found ? static_cast<int>(found - base) : -1;
}

int CString::Find(LPCTSTR lpszSub) const
{
    if (!lpszSub)
        return -1;
    // Only matches that start on a character boundary count.
    std::size_t subLength = std::strlen(lpszSub);
    const char* base = m_data.c_str();
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(base); *p;) {
        if (std::strncmp(reinterpret_cast<const char*>(p), lpszSub, subLength) == 0)
            return static_cast<int>(reinterpret_cast<const char*>(p) - base);
        p += (_ismbblead(*p) && p[1]) ? 2 : 1;
    }
    return subLength == 0 ? 0 : -1;
}

void CString::MakeLower()
{
    _mbslwr(reinterpret_cast<unsigned char*>(m_data.data()));
}

void CString::MakeUpper()
{
    _mbsupr(reinterpret_cast<unsigned char*>(m_data.data()));
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    std::size_t length = std::strlen(m_data.c_str());
    std::size_t want = nMinBufLength > 0 ? static_cast<std::size_t>(nMinBufLength) : 0;
    m_data.resize(length > want ? length : want, '\0');
    return m_data.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
    std::size_t length = nNewLength < 0 ? std::strlen(m_data.c_str()) : static_cast<std::size_t>(nNewLength);
    if (length > m_data.size())
        length = m_data.size();
    m_data.resize(length);
}

CString operator+(const CString& string1, const CString& string2)
{
    CString result(string1);
    result += string2;
    return result;
}

CString operator+(const CString& string, LPCTSTR lpsz)
{
    CString result(string);
    result += lpsz;
    return result;
}

CString operator+(LPCTSTR lpsz, const CString& string)
{
    CString result(lpsz);
    result += string;
    return result;
}

CString operator+(const CString& string, TCHAR ch)
{
    CString result(string);
    result += ch;
    return result;
}

bool operator==(const CString& s1, const CString& s2) { return s1.Compare(s2) == 0; }
bool operator==(const CString& s1, LPCTSTR s2) { return s1.Compare(s2) == 0; }
bool operator==(LPCTSTR s1, const CString& s2) { return s2.Compare(s1) == 0; }
bool operator!=(const CString& s1, const CString& s2) { return !(s1 == s2); }
bool operator!=(const CString& s1, LPCTSTR s2) { return !(s1 == s2); }
bool operator!=(LPCTSTR s1, const CString& s2) { return !(s1 == s2); }
bool operator<(const CString& s1, const CString& s2) { return s1.Compare(s2) < 0; }

CStringArray::CStringArray() = default;
CStringArray::~CStringArray() = default;

int CStringArray::GetSize() const
{
    return static_cast<int>(m_items.size());
}

int CStringArray::GetUpperBound() const
{
    return GetSize() - 1;
}

const CString& CStringArray::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetSize())
        index_out_of_range();
    return m_items[static_cast<std::size_t>(nIndex)];
}

void CStringArray::SetAt(int nIndex, LPCTSTR newElement)
{
    if (nIndex < 0 || nIndex >= GetSize())
        index_out_of_range();
    m_items[static_cast<std::size_t>(nIndex)] = newElement;
}

int CStringArray::Add(LPCTSTR newElement)
{
    m_items.emplace_back(newElement);
    return GetSize() - 1;
}

int CStringArray::Add(const CString& newElement)
{
    m_items.push_back(newElement);
    return GetSize() - 1;
}

void CStringArray::RemoveAll()
{
    m_items.clear();
}

void CStringArray::RemoveAt(int nIndex, int nCount)
{
    if (nIndex < 0 || nCount < 0 || nIndex + nCount > GetSize())
        index_out_of_range();
    m_items.erase(m_items.begin() + nIndex, m_items.begin() + nIndex + nCount);
}

CString& CStringArray::operator[](int nIndex)
{
    if (nIndex < 0 || nIndex >= GetSize())
        index_out_of_range();
    return m_items[static_cast<std::size_t>(nIndex)];
}

const CString& CStringArray::operator[](int nIndex) const
{
    return GetAt(nIndex);
}
