#include "platform/machine/machine_folder.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace platform::machine {
namespace {

struct State {
    std::optional<std::filesystem::path> folder;
    unsigned generation = 1;
};

State& state()
{
    static State s;
    return s;
}

std::filesystem::path choose_folder()
{
    namespace fs = std::filesystem;
    std::string chosen;
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
        chosen = prefix;
    } else {
        const char* home = std::getenv("HOME");
        chosen = std::string(home && *home ? home : "/") + "/.wine";
    }
    while (chosen.size() > 1 && chosen.back() == '/')
        chosen.pop_back();
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(chosen), ec);
    return (ec ? fs::path(chosen) : absolute).lexically_normal();
}

}  // namespace

const std::filesystem::path& folder()
{
    State& s = state();
    if (!s.folder)
        s.folder = choose_folder();
    return *s.folder;
}

std::filesystem::path system_reg_path()
{
    return folder() / "system.reg";
}

std::filesystem::path dosdevices_path()
{
    return folder() / "dosdevices";
}

void reopen()
{
    State& s = state();
    s.folder.reset();
    ++s.generation;
}

unsigned generation()
{
    return state().generation;
}

}  // namespace platform::machine
