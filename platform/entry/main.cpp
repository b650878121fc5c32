// The program's entry point, in place of the framework's WinMain: it refuses
// a machine that Wine is using, chooses the front end, then runs the
// framework's start-up, the application's InitInstance and its shut-down.
// The application object itself was constructed by static initialisation
// and is destroyed at exit.

#include "platform/entry/front_end_choice.h"
#include "platform/machine/machine_folder.h"
#include "platform/machine/wineserver.h"
#include "platform/mfc/app.h"
#include "platform/text/mbstring.h"

#include <cstdio>
#include <string>

namespace {
constexpr int kExitNoFrontEnd = 2;
constexpr int kExitMachineInUse = 3;
}

int main()
{
    _setmbcp(_MB_CP_ANSI);
    // Before any dialog: Wine would overwrite whatever this program changed.
    if (auto server = platform::machine::running_wineserver()) {
        const std::string message = platform::machine::in_use_message(platform::machine::folder(), *server);
        std::fputs(message.c_str(), stderr);
        return kExitMachineInUse;
    }
    std::unique_ptr<platform::frontend::FrontEnd> frontEnd = platform::entry::choose_front_end();
    if (!frontEnd) {
        return kExitNoFrontEnd;  // choose_front_end() has said why
    }
    platform::frontend::set_current(frontEnd.get());
    const int exitCode = AfxWinMain();
    platform::frontend::set_current(nullptr);
    return exitCode;
}
