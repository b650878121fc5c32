// RemoveFolder.cpp : removal of a folder tree through the current directory
//

#include "app/UninstallDlg.h"

// Removes the folder strPath and everything in it; a subfolder directly inside
// it named lpszSpare stays, with its contents. The work moves through the
// current directory, which is restored after a complete removal and left where
// the work stopped after a failed one.
BOOL CUninstallDlg::RemoveFolder(CString strPath, LPCTSTR lpszSpare)
{
	char szSavedDir[1024];
	CString strParent;
	CString strName;

	if (strPath.IsEmpty())
		return FALSE;

	if (_getcwd(szSavedDir, 1024) == NULL)
		return FALSE;

	int nSep = strPath.ReverseFind('\\');
	if (nSep == -1)
		return FALSE;

	strName = strPath.Right(strPath.GetLength() - nSep - 1);
	strParent = strPath.Left(nSep);
	strParent += "\\";

	// The name must be one folder of the parent. "." and ".." name the parent
	// itself or the folder above it, a drive's root among them; a name with a
	// forward slash, which Windows reads as a separator too, is a path of its
	// own ("../" is the folder above, "/" the drive's root). Such a path is
	// refused before anything is entered.
	if (strName == "." || strName == ".." || strName.Find('/') != -1)
		return FALSE;

	if (_chdir(strParent) == -1)
		return FALSE;

	if (!RemoveTree(strName, lpszSpare))
		return FALSE;

	_chdir(szSavedDir);
	return TRUE;
}

// Removes the folder strName of the current directory with everything in it,
// sparing the subfolder lpszSpare. Returns with the current directory back in
// the parent when every entry was deleted or spared.
BOOL CUninstallDlg::RemoveTree(CString strName, LPCTSTR lpszSpare)
{
	CString strSpare;
	if (lpszSpare != NULL)
	{
		strSpare = lpszSpare;
		strSpare.MakeLower();
	}

	if (_chdir(strName) == -1)
		return FALSE;

	CFileFind finder;
	finder.FindFile("*.*");

	BOOL bMore;
	do
	{
		bMore = finder.FindNextFile();

		// Names are compared after lowering, so a folder listed as BOOK is
		// spared for book.
		CString strEntry = finder.GetFileName();
		strEntry.MakeLower();

		if (_mbscmp((const unsigned char*)(LPCTSTR)strEntry, (const unsigned char*)".") == 0 ||
			_mbscmp((const unsigned char*)(LPCTSTR)strEntry, (const unsigned char*)"..") == 0)
			continue;

		if (!strSpare.IsEmpty() && finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) &&
			_mbscmp((const unsigned char*)(LPCTSTR)strEntry, (const unsigned char*)(LPCTSTR)strSpare) == 0)
			continue;

		if (finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY))
		{
			if (!RemoveTree(strEntry, NULL))
				return FALSE;
		}
		else
		{
			if (remove(strEntry) == -1)
				return FALSE;
		}
	} while (bMore);

	finder.Close();

	if (_chdir("..") == -1)
		return FALSE;

	_rmdir(strName);
	return TRUE;
}
