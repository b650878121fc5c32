#include "platform/registry/registry.h"

#include "platform/faults/faults.h"
#include "platform/machine/machine_folder.h"
#include "platform/machine/version.h"
#include "platform/machine/wineserver.h"
#include "platform/registry/hive.h"
#include "platform/registry/hive_file.h"
#include "platform/registry/hive_text.h"
#include "platform/registry/win32_registry.h"
#include "platform/text/case.h"
#include "platform/text/codepage.h"

#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace platform::registry {
namespace {

using Path = std::vector<std::u16string>;

constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr int kMaxLinkHops = 16;
constexpr std::u16string_view kMachineRoot = u"\\registry\\machine";
constexpr std::uintptr_t kFirstHandle = 0x1000;
constexpr std::uintptr_t kHandleStep = 4;

struct OpenKey {
    Path path;  // where the key really is, links followed
    REGSAM access = 0;
};

// The registry of the current machine, and the keys this process holds open.
struct State {
    unsigned generation = 0;
    std::filesystem::path file;
    std::unique_ptr<Hive> hive;
    LONG unusable = ERROR_SUCCESS;  // why there is no hive
    FileStamp stamp;
    std::map<std::uintptr_t, OpenKey> handles;
    std::uintptr_t nextHandle = kFirstHandle;
    std::set<std::u16string> readOnly;  // lowered paths
    OpenKey machineRoot{{}, KEY_ALL_ACCESS};
};

State& state()
{
    static State instance;
    return instance;
}

void load(State& s)
{
    switch (load_hive_file(s.file, s.hive, s.stamp)) {
    case LoadResult::loaded:
    case LoadResult::missing: s.unusable = ERROR_SUCCESS; break;
    case LoadResult::unreadable: s.unusable = ERROR_ACCESS_DENIED; break;
    case LoadResult::malformed: s.unusable = ERROR_BADDB; break;
    }
}

// The state, brought up to date with the machine and with its file on disk.
State& current()
{
    State& s = state();
    unsigned generation = machine::generation();
    if (generation != s.generation) {
        s.generation = generation;
        s.file = machine::system_reg_path();
        s.handles.clear();
        s.readOnly.clear();
        load(s);
    } else if (!(stamp_of(s.file) == s.stamp)) {
        load(s);
    }
    return s;
}

bool equal_names(std::u16string_view a, std::u16string_view b)
{
    return compare_names(a, b) == 0;
}

bool split(std::u16string_view text, Path& parts)
{
    parts.clear();
    if (text.empty())
        return true;
    if (text.back() == u'\\')
        text.remove_suffix(1);  // "Key\" names the key itself, as on Windows
    return split_path(text, parts);
}

bool is_ascii(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Code page 932 agrees with ASCII below 0x80; most names never need the tables.
std::u16string from_ansi(std::string_view text)
{
    if (!is_ascii(text))
        return text::cp932_to_utf16(text);
    return std::u16string(text.begin(), text.end());
}

std::string to_ansi(std::u16string_view units)
{
    for (char16_t u : units)
        if (u >= 0x80)
            return text::utf16_to_cp932(units);
    return std::string(units.begin(), units.end());
}

bool split_ansi(LPCSTR subKey, Path& parts)
{
    return split(subKey ? from_ansi(subKey) : std::u16string(), parts);
}

std::u16string lowered(const Path& path)
{
    std::u16string joined;
    for (const auto& part : path) {
        joined += text::to_lower(part);
        joined += u'\\';
    }
    return joined;
}

// In a 64-bit prefix the program, being 32-bit, sees Software\Wow6432Node
// where it asks for Software. Software\Classes is shared, as are the keys
// that the prefix links from below Wow6432Node into the 64-bit tree.
Path in_view(const Hive& hive, Path path, View view)
{
    if (view == View::wow32 && hive.is_win64() && path.size() >= 2 && equal_names(path[0], u"Software") &&
        !equal_names(path[1], u"Classes") && !equal_names(path[1], u"Wow6432Node"))
        path.insert(path.begin() + 1, u"Wow6432Node");
    return path;
}

// "\Registry\Machine\A\B" as the path A, B below HKLM.
bool machine_path_of(std::u16string_view target, Path& parts)
{
    if (target.size() < kMachineRoot.size() || !equal_names(target.substr(0, kMachineRoot.size()), kMachineRoot))
        return false;
    target.remove_prefix(kMachineRoot.size());
    if (target.empty())
        return split(target, parts);
    if (target[0] != u'\\')
        return false;
    return split(target.substr(1), parts);
}

struct Walk {
    Key* key = nullptr;  // the deepest key reached; null when a link leads nowhere
    Path real;           // its path, links followed
    Path rest;           // the components below it that do not exist
};

// Walks a path from the root as Windows does, following every link key it
// passes through (and the last one too when followLast).
Walk walk(Hive& hive, const Path& path, bool followLast)
{
    Walk w;
    w.key = &hive.root();
    Path todo = path;
    int hops = 0;
    std::size_t i = 0;
    while (i < todo.size()) {
        Key* child = hive.find_child(*w.key, todo[i]);
        if (!child) {
            w.rest.assign(todo.begin() + static_cast<std::ptrdiff_t>(i), todo.end());
            return w;
        }
        w.key = child;
        w.real.push_back(child->name);
        ++i;
        if (child->isLink && (i < todo.size() || followLast)) {
            Path target;
            if (++hops > kMaxLinkHops || !machine_path_of(hive.link_target(*child), target)) {
                w.key = nullptr;
                return w;
            }
            target.insert(target.end(), todo.begin() + static_cast<std::ptrdiff_t>(i), todo.end());
            todo.swap(target);
            i = 0;
            w.key = &hive.root();
            w.real.clear();
        }
    }
    return w;
}

Key* find_key(Hive& hive, const Path& path, bool followLast = true)
{
    Walk w = walk(hive, path, followLast);
    return w.key && w.rest.empty() ? w.key : nullptr;
}

bool is_read_only(const State& s, const Path& path)
{
    if (s.readOnly.empty())
        return false;
    Path prefix;
    for (const auto& part : path) {
        prefix.push_back(part);
        if (s.readOnly.count(lowered(prefix)))
            return true;
    }
    return false;
}

bool may_write(const State& s, const Path& path)
{
    return is_writable(s.file) && !is_read_only(s, path);
}

OpenKey* find_handle(State& s, HKEY hKey)
{
    auto id = reinterpret_cast<std::uintptr_t>(hKey);
    if (hKey == HKEY_LOCAL_MACHINE)
        return &s.machineRoot;
    auto it = s.handles.find(id);
    return it == s.handles.end() ? nullptr : &it->second;
}

HKEY new_handle(State& s, Path path, REGSAM access)
{
    std::uintptr_t id = s.nextHandle;
    s.nextHandle += kHandleStep;
    s.handles[id] = OpenKey{std::move(path), access};
    return reinterpret_cast<HKEY>(id);
}

// Applies a change under the file lock to the newest file, and writes the
// whole file through at once, unless Wine's server runs for the machine. When writing fails the hive is read back from
// the file, so that memory never claims what the disk does not hold.
template <typename Change>
LONG write_through(State& s, Change change)
{
    FileLock lock(s.file);
    if (!lock.is_held())
        return ERROR_ACCESS_DENIED;
    if (!(stamp_of(s.file) == s.stamp))
        load(s);
    if (!s.hive)
        return s.unusable;
    bool changed = false;
    LONG result = change(*s.hive, changed);
    if (result != ERROR_SUCCESS || !changed)
        return result;
    // A running wineserver would overwrite the file with its own memory when
    // it next saves: nothing is written then, and memory goes back to the disk.
    if (machine::running_wineserver()) {
        load(s);
        return ERROR_SHARING_VIOLATION;
    }
    if (!save_hive_file(*s.hive, s.file, s.stamp)) {
        load(s);
        return ERROR_CANTWRITE;
    }
    return ERROR_SUCCESS;
}

bool is_string_type(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The data as an A function hands it out: text in code page 932.
std::string ansi_data(const Value& value)
{
    if (is_string_type(value.type))
        return to_ansi(units_of(value.data));
    return value.data;
}

// Copies data out as RegQueryValueExA and RegEnumValueA do.
LONG copy_data(const std::string& data, LPBYTE lpData, LPDWORD lpcbData)
{
    if (lpData && !lpcbData)
        return ERROR_INVALID_PARAMETER;
    if (!lpcbData)
        return ERROR_SUCCESS;
    DWORD needed = static_cast<DWORD>(data.size());
    if (lpData && needed > *lpcbData) {
        *lpcbData = needed;
        return ERROR_MORE_DATA;
    }
    if (lpData && needed)
        std::memcpy(lpData, data.data(), needed);
    *lpcbData = needed;
    return ERROR_SUCCESS;
}

// Copies a name out with its NUL; lpcch counts characters without the NUL.
LONG copy_name(const std::string& name, LPSTR buffer, LPDWORD lpcch)
{
    if (!buffer || !lpcch)
        return ERROR_INVALID_PARAMETER;
    if (name.size() + 1 > *lpcch)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *lpcch = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// The key a handle stands for; *result explains a failure.
Key* key_of_handle(State& s, HKEY hKey, REGSAM needed, LONG* result)
{
    if (!s.hive) {
        *result = s.unusable;
        return nullptr;
    }
    OpenKey* open = find_handle(s, hKey);
    if (!open) {
        *result = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    if ((open->access & needed) != needed) {
        *result = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    Key* key = find_key(*s.hive, open->path, false);
    *result = key ? ERROR_SUCCESS : ERROR_KEY_DELETED;
    return key;
}

}  // namespace

std::optional<std::u16string> read_machine_string(std::u16string_view keyPath, std::u16string_view valueName, View view)
{
    State& s = current();
    Path parts;
    if (!s.hive || !split(keyPath, parts))
        return std::nullopt;
    Key* key = find_key(*s.hive, in_view(*s.hive, parts, view));
    if (!key)
        return std::nullopt;
    const Value* value = s.hive->find_value(*key, valueName);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ))
        return std::nullopt;
    std::u16string units = units_of(value->data);
    return units.substr(0, units.find(u'\0'));
}

void set_read_only(std::u16string_view keyPath, bool readOnly)
{
    State& s = current();
    Path parts;
    if (!s.hive || !split(keyPath, parts))
        return;
    parts = in_view(*s.hive, parts, View::wow32);
    Walk w = walk(*s.hive, parts, true);
    if (w.key && w.rest.empty())
        parts = w.real;
    if (readOnly)
        s.readOnly.insert(lowered(parts));
    else
        s.readOnly.erase(lowered(parts));
}

}  // namespace platform::registry

using namespace platform::registry;
using platform::registry::Path;

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    State& s = current();
    if (!s.hive)
        return s.unusable;
    OpenKey* base = find_handle(s, hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    Path sub;
    if (!split_ansi(lpSubKey, sub))
        return ERROR_FILE_NOT_FOUND;
    if (sub.empty() && hKey == HKEY_LOCAL_MACHINE) {
        *phkResult = HKEY_LOCAL_MACHINE;
        return ERROR_SUCCESS;
    }
    Path full = base->path;
    full.insert(full.end(), sub.begin(), sub.end());
    View view = (samDesired & KEY_WOW64_64KEY) ? View::native : View::wow32;
    Walk w = walk(*s.hive, in_view(*s.hive, full, view), true);
    if (!w.key || !w.rest.empty())
        return ERROR_FILE_NOT_FOUND;
    if ((samDesired & kWriteRights) && !may_write(s, w.real))
        return ERROR_ACCESS_DENIED;
    *phkResult = new_handle(s, std::move(w.real), samDesired);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*Reserved*/, LPSTR /*lpClass*/, DWORD /*dwOptions*/,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, PHKEY phkResult,
                     LPDWORD lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    State& s = current();
    if (!s.hive)
        return s.unusable;
    OpenKey* base = find_handle(s, hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    Path sub;
    if (!split_ansi(lpSubKey, sub))
        return ERROR_INVALID_PARAMETER;
    for (const auto& part : sub)
        if (part.size() > kMaxKeyNameLength)
            return ERROR_INVALID_PARAMETER;
    Path full = base->path;
    full.insert(full.end(), sub.begin(), sub.end());
    View view = (samDesired & KEY_WOW64_64KEY) ? View::native : View::wow32;
    full = in_view(*s.hive, full, view);
    if (full.size() > kMaxKeyDepth)
        return ERROR_INVALID_PARAMETER;

    Walk w = walk(*s.hive, full, true);
    if (!w.key)
        return ERROR_FILE_NOT_FOUND;
    if (w.rest.empty()) {
        if ((samDesired & kWriteRights) && !may_write(s, w.real))
            return ERROR_ACCESS_DENIED;
        if (lpdwDisposition)
            *lpdwDisposition = REG_OPENED_EXISTING_KEY;
        *phkResult = new_handle(s, std::move(w.real), samDesired);
        return ERROR_SUCCESS;
    }
    if (!may_write(s, w.real))
        return ERROR_ACCESS_DENIED;

    Path created;
    bool existed = false;
    LONG result = write_through(s, [&](Hive& hive, bool& changed) {
        Walk again = walk(hive, full, true);
        if (!again.key)
            return ERROR_FILE_NOT_FOUND;
        existed = again.rest.empty();
        Key* key = again.key;
        created = again.real;
        for (const auto& part : again.rest) {
            key = &hive.add_child(*key, part);
            created.push_back(part);
            changed = true;
        }
        return ERROR_SUCCESS;
    });
    if (result != ERROR_SUCCESS)
        return result;
    if (lpdwDisposition)
        *lpdwDisposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *phkResult = new_handle(s, std::move(created), samDesired);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD /*lpReserved*/, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData)
{
    State& s = current();
    LONG result = ERROR_SUCCESS;
    Key* key = key_of_handle(s, hKey, KEY_QUERY_VALUE, &result);
    if (!key)
        return result;
    std::u16string name = lpValueName ? from_ansi(lpValueName) : std::u16string();
    const Value* value = s.hive->find_value(*key, name);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (lpType)
        *lpType = value->type;
    return copy_data(ansi_data(*value), lpData, lpcbData);
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/, DWORD dwType, const BYTE* lpData,
                    DWORD cbData)
{
    State& s = current();
    LONG result = ERROR_SUCCESS;
    if (!key_of_handle(s, hKey, KEY_SET_VALUE, &result))
        return result;
    if (!lpData && cbData)
        return ERROR_INVALID_PARAMETER;
    Path path = find_handle(s, hKey)->path;
    if (!may_write(s, path))
        return ERROR_ACCESS_DENIED;
    Value value;
    value.name = lpValueName ? from_ansi(lpValueName) : std::u16string();
    value.type = dwType;
    std::string_view raw(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
    value.data = is_string_type(dwType) ? bytes_of(from_ansi(raw)) : std::string(raw);
    return write_through(s, [&](Hive& hive, bool& changed) {
        Key* key = find_key(hive, path, false);
        if (!key)
            return ERROR_KEY_DELETED;
        hive.set_value(*key, std::move(value));
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName)
{
    State& s = current();
    LONG result = ERROR_SUCCESS;
    if (!key_of_handle(s, hKey, KEY_SET_VALUE, &result))
        return result;
    Path path = find_handle(s, hKey)->path;
    if (!may_write(s, path))
        return ERROR_ACCESS_DENIED;
    std::u16string name = lpValueName ? from_ansi(lpValueName) : std::u16string();
    return write_through(s, [&](Hive& hive, bool& changed) {
        Key* key = find_key(hive, path, false);
        if (!key)
            return ERROR_KEY_DELETED;
        if (!hive.delete_value(*key, name))
            return ERROR_FILE_NOT_FOUND;
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD /*lpReserved*/,
                   LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime)
{
    // Tests make an enumeration fail as it does when another program deletes
    // the key while it is being listed.
    if (platform::faults::should_fail("RegEnumKeyExA"))
        return ERROR_KEY_DELETED;
    State& s = current();
    LONG result = ERROR_SUCCESS;
    Key* key = key_of_handle(s, hKey, KEY_ENUMERATE_SUB_KEYS, &result);
    if (!key)
        return result;
    if (dwIndex >= key->children.size())
        return ERROR_NO_MORE_ITEMS;
    Key& child = *key->children[dwIndex];
    result = copy_name(to_ansi(child.name), lpName, lpcchName);
    if (result != ERROR_SUCCESS)
        return result;
    if (lpClass && lpcchClass) {
        s.hive->values(child);
        std::string className = child.class_name ? to_ansi(*child.class_name) : std::string();
        result = copy_name(className, lpClass, lpcchClass);
        if (result != ERROR_SUCCESS)
            return result;
    }
    if (lpftLastWriteTime) {
        std::uint64_t time = s.hive->last_write_time(child);
        lpftLastWriteTime->dwLowDateTime = static_cast<DWORD>(time & 0xFFFFFFFFu);
        lpftLastWriteTime->dwHighDateTime = static_cast<DWORD>(time >> 32);
    }
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD /*lpReserved*/,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    State& s = current();
    LONG result = ERROR_SUCCESS;
    Key* key = key_of_handle(s, hKey, KEY_QUERY_VALUE, &result);
    if (!key)
        return result;
    auto& values = s.hive->values(*key);
    if (dwIndex >= values.size())
        return ERROR_NO_MORE_ITEMS;
    const Value& value = values[dwIndex];
    result = copy_name(to_ansi(value.name), lpValueName, lpcchValueName);
    if (result != ERROR_SUCCESS)
        return result;
    if (lpType)
        *lpType = value.type;
    return copy_data(ansi_data(value), lpData, lpcbData);
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey)
{
    // The family is read first: reading it may bring the hive up to date.
    bool deletesSubtree = !platform::machine::windows_version().is_nt_family();
    State& s = current();
    if (!s.hive)
        return s.unusable;
    OpenKey* base = find_handle(s, hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    Path sub;
    if (!lpSubKey || !split_ansi(lpSubKey, sub))
        return ERROR_FILE_NOT_FOUND;
    Path full = base->path;
    full.insert(full.end(), sub.begin(), sub.end());
    full = in_view(*s.hive, full, View::wow32);
    if (full.empty())
        return ERROR_ACCESS_DENIED;
    // Windows opens the subkey itself for DELETE: the parent's handle needs
    // no write access, and a link key is deleted, not its target.
    Walk w = walk(*s.hive, full, false);
    if (!w.key || !w.rest.empty())
        return ERROR_FILE_NOT_FOUND;
    if (!may_write(s, w.real))
        return ERROR_ACCESS_DENIED;
    if (!deletesSubtree && !w.key->children.empty())
        return ERROR_ACCESS_DENIED;
    Path target = w.real;
    return write_through(s, [&](Hive& hive, bool& changed) {
        Key* key = find_key(hive, target, false);
        if (!key)
            return ERROR_FILE_NOT_FOUND;
        if (!deletesSubtree && !key->children.empty())
            return ERROR_ACCESS_DENIED;
        hive.remove_child(*key->parent, *key);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY hKey)
{
    if (platform::faults::should_fail("RegCloseKey"))
        return ERROR_INVALID_FUNCTION;
    if (hKey == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    State& s = current();
    auto it = s.handles.find(reinterpret_cast<std::uintptr_t>(hKey));
    if (it == s.handles.end())
        return ERROR_INVALID_HANDLE;
    s.handles.erase(it);
    return ERROR_SUCCESS;
}
