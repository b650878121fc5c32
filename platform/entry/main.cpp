// The program's entry point, in place of the framework's WinMain: it chooses
// the front end, then runs the framework's start-up, the application's
// InitInstance and its shut-down. The application object itself was
// constructed by static initialisation and is destroyed at exit.

#include "platform/entry/front_end_choice.h"
#include "platform/mfc/app.h"
#include "platform/text/mbstring.h"

#include <cstdio>

namespace {
constexpr int kExitNoFrontEnd = 2;
}

int main()
{
    _setmbcp(_MB_CP_ANSI);
    std::unique_ptr<platform::frontend::FrontEnd> frontEnd = platform::entry::choose_front_end();
    if (!frontEnd) {
        std::fprintf(stderr,
                     "This program shows dialogs, but no interactive display is available here.\n"
                     "Run it in a terminal.\n");
        return kExitNoFrontEnd;
    }
    platform::frontend::set_current(frontEnd.get());
    const int exitCode = AfxWinMain();
    platform::frontend::set_current(nullptr);
    return exitCode;
}
