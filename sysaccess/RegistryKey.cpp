// CRegistryKey: one key below HKEY_LOCAL_MACHINE, opened afresh by each operation.
#include "sysaccess/RegistryKey.h"

// Sizes of the two buffers: one subkey name, and the data of one value.
#define REGKEY_NAME_BUFFER  256
#define REGKEY_VALUE_BUFFER 1024

// Names the product's version key.
CRegistryKey::CRegistryKey(LPCTSTR lpszProduct, LPCTSTR lpszVersion)
{
    m_hKey = NULL;
    m_samDesired = KEY_READ;
    m_strPath = CString("SoftWare\\VKL\\") + lpszProduct + "\\" + lpszVersion;
}

// Names a key below SoftWare.
CRegistryKey::CRegistryKey(LPCTSTR lpszSubPath)
{
    m_hKey = NULL;
    m_samDesired = KEY_READ;
    m_strPath = CString("SoftWare\\") + lpszSubPath;
}

// Releases a key still held.
CRegistryKey::~CRegistryKey()
{
    Close();
}

// Tells whether the key can be opened; holds nothing afterwards.
BOOL CRegistryKey::Open()
{
    Close();
    LONG lResult = RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_strPath, 0, m_samDesired, &m_hKey);
    Close();
    return lResult == ERROR_SUCCESS;
}

// Releases the held key; FALSE when none was held or the platform refused.
BOOL CRegistryKey::Close()
{
    if (m_hKey == NULL)
        return FALSE;
    if (RegCloseKey(m_hKey) != ERROR_SUCCESS)
        return FALSE;
    m_hKey = NULL;
    return TRUE;
}

// Deletes one subkey. A refused deletion leaves this key held.
BOOL CRegistryKey::DeleteSubKey(LPCTSTR lpszSubKey)
{
    if (m_hKey != NULL)
        Close();
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_strPath, 0, m_samDesired, &m_hKey) != ERROR_SUCCESS)
        return FALSE;
    if (RegDeleteKeyA(m_hKey, lpszSubKey) != ERROR_SUCCESS)
        return FALSE;
    Close();
    return TRUE;
}

// Lists the names of the direct subkeys in a new array that the caller
// deletes; NULL when the key cannot be opened. A name too long for the
// buffer is passed over; any other failure ends the list, so that a key
// deleted meanwhile cannot keep the loop going for ever.
CStringArray* CRegistryKey::EnumSubKeys()
{
    if (m_hKey != NULL)
        Close();
    CStringArray* pNames = new CStringArray;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_strPath, 0, m_samDesired, &m_hKey) != ERROR_SUCCESS) {
        delete pNames;
        return NULL;
    }
    char szName[REGKEY_NAME_BUFFER];
    FILETIME ftLastWrite;
    for (DWORD dwIndex = 0;; dwIndex++) {
        DWORD dwNameLength = REGKEY_NAME_BUFFER;
        LONG lResult = RegEnumKeyExA(m_hKey, dwIndex, szName, &dwNameLength, NULL, NULL, NULL, &ftLastWrite);
        if (lResult == ERROR_MORE_DATA)
            continue;
        if (lResult != ERROR_SUCCESS)
            break;
        pNames->Add(szName);
    }
    Close();
    return pNames;
}

// Reads a REG_SZ value. A missing key is created and given the default.
BOOL CRegistryKey::ReadString(LPCTSTR lpszValueName, CString& strValue, CString strDefault)
{
    DWORD dwDisposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_strPath, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &m_hKey, &dwDisposition) != ERROR_SUCCESS) {
        Close();
        return FALSE;
    }
    if (dwDisposition == REG_CREATED_NEW_KEY) {
        strValue = strDefault;
        Close();
        WriteString(lpszValueName, strDefault);
        Close();
        return TRUE;
    }

    BYTE data[REGKEY_VALUE_BUFFER];
    DWORD dwType = REG_NONE;
    DWORD dwLength = REGKEY_VALUE_BUFFER;
    if (RegQueryValueExA(m_hKey, lpszValueName, NULL, &dwType, data, &dwLength) != ERROR_SUCCESS ||
        dwType != REG_SZ) {
        Close();
        return FALSE;
    }
    // The text ends at its first NUL; data stored without one is taken whole.
    int nLength = 0;
    while (nLength < (int)dwLength && data[nLength] != '\0')
        nLength++;
    strValue = CString((LPCTSTR)data, nLength);
    Close();
    return TRUE;
}

// Stores a REG_SZ value, creating the key when it is missing.
BOOL CRegistryKey::WriteString(LPCTSTR lpszValueName, CString strValue)
{
    DWORD dwDisposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_strPath, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &m_hKey, &dwDisposition) != ERROR_SUCCESS) {
        Close();
        return FALSE;
    }
    if (RegSetValueExA(m_hKey, lpszValueName, 0, REG_SZ, (const BYTE*)(LPCTSTR)strValue,
                       strValue.GetLength() + 1) != ERROR_SUCCESS) {
        Close();
        return FALSE;
    }
    Close();
    return TRUE;
}
