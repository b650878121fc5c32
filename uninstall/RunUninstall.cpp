// RunUninstall.cpp : the uninstall procedure of the main dialog
//

#include "app/UninstallDlg.h"
#include "sysaccess/RegistryKey.h"

#include <string.h>

/////////////////////////////////////////////////////////////////////////////
// The product's fixed names

// Window classes of the product's own programs
static const TCHAR szMainWindowClass[] = "MRLE_MainWindow_Tov@vkl";
static const TCHAR szExplorerWindowClass[] = "MRLE_Explorer@vkl";

// Registry: the maker, the product and its version
static const TCHAR szMakerKey[] = "VKL";
static const TCHAR szProductKey[] = "MirabelLE";
static const TCHAR szProductSubPath[] = "VKL\\MirabelLE";
static const TCHAR szVersionKey[] = "7.0";
static const TCHAR szStockBookValue[] = "StockBookPath";
static const TCHAR szDirectoryValue[] = "DIRECTORY";
static const TCHAR szUninstallSubPath[] = "Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The program group, below the Windows directory or the common Start menu
static const TCHAR szGroup95[] = "ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ミラベルLE";
static const TCHAR szGroupNT4[] = "Profiles\\All Users\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ミラベルLE";
static const TCHAR szGroup2000[] = "プログラム\\ミラベルLE";

// What the user is told
static const TCHAR szMainRunning[] = "ミラベルLE が起動しています。終了させてから実行してください。";
static const TCHAR szExplorerRunning[] = "ミラベルLE エクスプローラが起動しています。終了させてから実行してください。";
static const TCHAR szConfirm[] = "ｱﾝｲﾝｽﾄｰﾙを実行します。よろしいですか？";
static const TCHAR szNothingRemoved[] = "削除されているか、削除に失敗しました。";
static const TCHAR szRemovedCompletely[] = "完全に削除しました。";
static const TCHAR szRemoved[] = "削除に成功しました。";

// Every stage counted
static const int nAllStages = 5;

// The size GetWindowsDirectoryA is told; the buffer itself holds MAX_PATH,
// as SHGetPathFromIDListA needs.
static const UINT nWindowsDirSize = 256;

/////////////////////////////////////////////////////////////////////////////
// CUninstallDlg uninstall

// The Execute button: removes the product, stage by stage, and reports how it went.
void CUninstallDlg::OnOK()
{
	RunUninstall();
}

void CUninstallDlg::RunUninstall()
{
	// The product must not be running while its files go.
	if (CWnd::FromHandle(::FindWindowA(szMainWindowClass, NULL)) != NULL)
	{
		AfxMessageBox(szMainRunning, MB_OK | MB_ICONSTOP, 0);
		return;
	}
	if (CWnd::FromHandle(::FindWindowA(szExplorerWindowClass, NULL)) != NULL)
	{
		AfxMessageBox(szExplorerRunning, MB_OK | MB_ICONSTOP, 0);
		return;
	}

	if (AfxMessageBox(szConfirm, MB_YESNO | MB_ICONQUESTION, 0) == IDNO)
		return;

	UpdateData(TRUE);

	int nSucceeded = 0;
	OSVERSIONINFOA osvi;
	memset(&osvi, 0, sizeof(osvi));
	osvi.dwOSVersionInfoSize = sizeof(osvi);
	::GetVersionExA(&osvi);
	BOOL bWinNT = (osvi.dwPlatformId == VER_PLATFORM_WIN32_NT);

	// A: the stock book. Its path is read even when the box is cleared,
	// since the install folder then spares it.
	CString strStockBook;
	{
		CRegistryKey keyProduct(szProductSubPath);
		if (keyProduct.Open())
		{
			keyProduct.ReadString(szStockBookValue, strStockBook, "");
			if (!strStockBook.IsEmpty() && m_bDeleteStockBook)
			{
				RemoveFolder(strStockBook, NULL);
				nSucceeded++;
			}
			keyProduct.Close();
		}
	}

	// B: the install folder, sparing the stock book's folder by its name
	// when the user keeps the stock book.
	{
		CRegistryKey keyVersion(szProductKey, szVersionKey);
		if (keyVersion.Open())
		{
			CString strInstallDir;
			keyVersion.ReadString(szDirectoryValue, strInstallDir, "");
			if (!strInstallDir.IsEmpty())
			{
				if (m_bDeleteStockBook)
				{
					RemoveFolder(strInstallDir, NULL);
				}
				else
				{
					// The stock book's own folder name: a trailing backslash
					// would leave no name, and the stock book inside the
					// install folder would go with it.
					CString strBookPath = strStockBook;
					while (!strBookPath.IsEmpty() && strBookPath.ReverseFind('\\') == strBookPath.GetLength() - 1)
						strBookPath = strBookPath.Left(strBookPath.GetLength() - 1);
					CString strSpare = strBookPath.Right(strBookPath.GetLength() - strBookPath.ReverseFind('\\') - 1);
					RemoveFolder(strInstallDir, strSpare);
				}
				nSucceeded++;
			}
			keyVersion.Close();
		}
	}

	// C: the program group of the Start menu. Its place depends on the
	// platform; without the Windows directory, or without the shell's
	// folder, no path is built at all.
	char szDir[MAX_PATH];
	UINT nDirLength = ::GetWindowsDirectoryA(szDir, nWindowsDirSize);
	if (nDirLength != 0)
	{
		// A Windows directory too long for the buffer is not copied into
		// it: the buffer then holds nothing to build a path on.
		BOOL bDirInBuffer = nDirLength < nWindowsDirSize;
		CString strGroup;
		BOOL bHaveGroup = FALSE;
		if (!bWinNT)
		{
			if (bDirInBuffer)
			{
				strGroup = CString(szDir) + "\\" + szGroup95;
				bHaveGroup = TRUE;
			}
		}
		else if (osvi.dwMajorVersion < 5)
		{
			if (bDirInBuffer)
			{
				strGroup = CString(szDir) + "\\" + szGroupNT4;
				bHaveGroup = TRUE;
			}
		}
		else
		{
			LPITEMIDLIST pidl = NULL;
			if (SUCCEEDED(::SHGetSpecialFolderLocation(NULL, CSIDL_COMMON_STARTMENU, &pidl)) && pidl != NULL)
			{
				if (::SHGetPathFromIDListA(pidl, szDir))
				{
					strGroup = CString(szDir) + "\\" + szGroup2000;
					bHaveGroup = TRUE;
				}
				::CoTaskMemFree(pidl);
			}
		}
		if (bHaveGroup && RemoveFolder(strGroup, NULL))
			nSucceeded++;
	}

	// D: the product's registry keys. The NT family deletes only keys
	// without children, so it goes from the bottom up; the 95 family
	// deletes the whole subtree at once.
	if (bWinNT)
	{
		CRegistryKey keyList(szProductKey, szVersionKey);
		CStringArray* pChildren = keyList.EnumSubKeys();
		keyList.Close();

		BOOL bDeleted = TRUE;
		if (pChildren != NULL)
		{
			CRegistryKey keyVersion(szProductKey, szVersionKey);
			for (int i = 0; i < pChildren->GetSize(); i++)
			{
				if (!keyVersion.DeleteSubKey(pChildren->GetAt(i)))
					bDeleted = FALSE;
			}
			keyVersion.Close();
			delete pChildren;
		}

		CRegistryKey keyProduct(szProductSubPath);
		if (!keyProduct.DeleteSubKey(szVersionKey))
			bDeleted = FALSE;
		keyProduct.Close();

		CRegistryKey keyMaker(szMakerKey);
		if (!keyMaker.DeleteSubKey(szProductKey))
			bDeleted = FALSE;
		keyMaker.Close();

		if (bDeleted)
			nSucceeded++;
	}
	else
	{
		CRegistryKey keyMaker(szMakerKey);
		if (keyMaker.Open())
		{
			if (keyMaker.DeleteSubKey(szProductKey))
				nSucceeded++;
			keyMaker.Close();
		}
	}

	// E: the entry in the list of installed programs.
	{
		CRegistryKey keyUninstall(szUninstallSubPath);
		if (keyUninstall.Open())
		{
			if (keyUninstall.DeleteSubKey(szProductKey))
				nSucceeded++;
			keyUninstall.Close();
		}
	}

	if (nSucceeded == 0)
		AfxMessageBox(szNothingRemoved, MB_OK, 0);
	else if (nSucceeded == nAllStages)
		AfxMessageBox(szRemovedCompletely, MB_OK, 0);
	else
		AfxMessageBox(szRemoved, MB_OK, 0);

	CDialog::OnOK();
}
