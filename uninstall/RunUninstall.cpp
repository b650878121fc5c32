// RunUninstall.cpp : the uninstall procedure of the main dialog
//

#include "app/UninstallDlg.h"

#include <cstdio>
#include <cstdlib>

// The Execute button: removes the product, stage by stage, and reports how it went.
void CUninstallDlg::OnOK()
{
	RunUninstall();
}

void CUninstallDlg::RunUninstall()
{
	// FIXME: the guards, the confirmation, the five removal stages and the
	// report are not written yet.
	fprintf(stderr, "CUninstallDlg::RunUninstall: not built yet\n");
	abort();
}
