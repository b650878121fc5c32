#include "platform/frontend/frontend.h"

namespace platform::frontend {

namespace {
// One user-interface thread shows one screen, as on Windows.
FrontEnd* g_current = nullptr;
}  // namespace

std::optional<POINT> FrontEnd::track_move(HWND, const ScreenView&)
{
    return std::nullopt;
}

FrontEnd* current()
{
    return g_current;
}

void set_current(FrontEnd* frontEnd)
{
    g_current = frontEnd;
}

}  // namespace platform::frontend
