#pragma once
// Inside the window manager: dialog creation and modal loops shared by the
// dialog manager and the message boxes.

#include "platform/frontend/frontend.h"
#include "platform/resources/dialog_template.h"
#include "platform/windows/window_manager.h"

#include <functional>
#include <optional>

namespace platform::windows::detail {


// Creates a dialog from its template and initialises it (WM_INITDIALOG, the
// focus, showing it when the template says WS_VISIBLE). Null on failure.
HWND create_dialog(const resources::DialogTemplate& dialogTemplate, HWND owner, DLGPROC dialogProc, LPARAM param,
                   frontend::WindowKind kind, std::optional<frontend::MessageBoxView> messageBox,
                   const IconLoader& loadIcon);

// True when Close ends a message box of the given MB_* type: it has a Cancel
// button, or it is a lone OK box.
bool message_box_closes(UINT type);

// Runs the modal loop of a created dialog until EndDialog, then destroys it.
INT_PTR run_modal(HWND dialog);

// Disables the owner, creates the dialog, runs it, enables the owner again.
INT_PTR modal_dialog(const resources::DialogTemplate& dialogTemplate, HWND owner, DLGPROC dialogProc, LPARAM param,
                     frontend::WindowKind kind, std::optional<frontend::MessageBoxView> messageBox,
                     const IconLoader& loadIcon);

}  // namespace platform::windows::detail
