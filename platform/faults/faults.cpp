#include "platform/faults/faults.h"

#include <map>
#include <string>

namespace platform::faults {
namespace {

std::map<std::string, Mode, std::less<>>& injected()
{
    static std::map<std::string, Mode, std::less<>> table;
    return table;
}

}  // namespace

void inject(std::string_view callName, Mode mode)
{
    injected()[std::string(callName)] = mode;
}

void clear()
{
    injected().clear();
}

bool should_fail(std::string_view callName)
{
    auto& table = injected();
    if (table.empty())
        return false;
    auto it = table.find(callName);
    if (it == table.end())
        return false;
    if (it->second == Mode::once)
        table.erase(it);
    return true;
}

}  // namespace platform::faults
