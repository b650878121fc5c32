// Stand-in for one of the product's programs: registers the window class
// named on the command line (code page 932), creates a top-level window of
// it on the machine that WINEPREFIX names, prints "ready" and waits until it
// is killed or its standard input closes.
//
//   standin_product CLASS [TITLE]

#include "platform/win32.h"

#include <cstdio>
#include <unistd.h>

namespace {

LRESULT standin_window_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: %s CLASS [TITLE]\n", argv[0]);
        return 2;
    }
    const char* className = argv[1];
    const char* title = argc > 2 ? argv[2] : className;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = standin_window_proc;
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass)) {
        std::fprintf(stderr, "cannot register the window class (error %u)\n", static_cast<unsigned>(GetLastError()));
        return 1;
    }
    HWND window = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "cannot create the window (error %u)\n", static_cast<unsigned>(GetLastError()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    // Nothing is read; the end of input is the sign to go.
    char buffer[256];
    while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    DestroyWindow(window);
    return 0;
}
