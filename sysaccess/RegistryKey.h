// CRegistryKey: one key below HKEY_LOCAL_MACHINE, opened afresh by each operation.
#pragma once

#include "platform/mfc.h"

class CRegistryKey
{
public:
    // Product form: "SoftWare\VKL\" + product key name + "\" + version.
    CRegistryKey(LPCTSTR lpszProduct, LPCTSTR lpszVersion);
    // Subpath form: "SoftWare\" + subpath.
    CRegistryKey(LPCTSTR lpszSubPath);
    ~CRegistryKey();

    BOOL Open();
    BOOL Close();
    BOOL DeleteSubKey(LPCTSTR lpszSubKey);
    CStringArray* EnumSubKeys();
    BOOL ReadString(LPCTSTR lpszValueName, CString& strValue, CString strDefault);
    BOOL WriteString(LPCTSTR lpszValueName, CString strValue);

    HKEY m_hKey;
    REGSAM m_samDesired;
    CString m_strPath;
};
