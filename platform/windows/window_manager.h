#pragma once
// The window manager's own interface, beside the Win32 functions: dialogs
// from parsed templates, the picture of the screen for the front ends, and
// the hook through which the class library attaches its objects to windows.

#include "platform/frontend/frontend.h"
#include "platform/resources/dialog_template.h"
#include "platform/windows/win32_windows.h"

#include <functional>

namespace platform::windows {

// Gives the icon that a SS_ICON static of a template names by resource id.
using IconLoader = std::function<HICON(WORD resourceId)>;

// Runs a modal dialog built from a template, owned by `owner` (disabled while
// the dialog is up), and returns what EndDialog was given; -1 when the dialog
// cannot be created (no front end to measure it, a control of an unknown class).
INT_PTR dialog_box(const resources::DialogTemplate& dialogTemplate, HWND owner, DLGPROC dialogProc, LPARAM param,
                   const IconLoader& loadIcon = {});

// The dialog whose modal loop runs innermost (also while it is being
// initialised), or null when no modal loop runs.
HWND innermost_modal_dialog();

// The next window created is handed to `hook` before it receives any message;
// the class library subclasses its dialogs this way. Ends with the scope or
// with that window, whichever comes first; hooks set together all fire.
class CreationHook {
public:
    explicit CreationHook(std::function<void(HWND)> hook);
    ~CreationHook();
    CreationHook(const CreationHook&) = delete;
    CreationHook& operator=(const CreationHook&) = delete;

private:
    int m_number;
};

// A picture of every top-level window, as the front ends are shown it.
frontend::ScreenView screen_view();

// The top-level window of the given class (and caption, unless null), or null.
// Class names compare without regard to ASCII case, as on Windows.
HWND find_top_level_window(std::u16string_view className, const std::u16string* caption);

}  // namespace platform::windows
