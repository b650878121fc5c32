// The ANSI resource functions over the module's resources.

#include "platform/resources/win32_resources.h"

#include "platform/resources/icons.h"
#include "platform/resources/module_resources.h"
#include "platform/text/codepage.h"
#include "platform/win32/last_error.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

using platform::resources::NameOrId;
using platform::resources::ResourceEntry;

// A name as the ANSI functions take it: a number in a pointer, "#<number>",
// or a code page 932 name. nullopt for a null pointer or a malformed number.
std::optional<NameOrId> name_from_ansi(LPCSTR name)
{
    if (IS_INTRESOURCE(name)) {
        if (name == nullptr) return std::nullopt;
        return platform::resources::resource_id(static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name)));
    }
    std::string_view text(name);
    if (!text.empty() && text[0] == '#') {
        unsigned long number = 0;
        if (text.size() < 2 || text.size() > 6) return std::nullopt;
        for (char c : text.substr(1)) {
            if (c < '0' || c > '9') return std::nullopt;
            number = number * 10 + static_cast<unsigned long>(c - '0');
        }
        if (number > 0xFFFF) return std::nullopt;
        return platform::resources::resource_id(static_cast<WORD>(number));
    }
    return platform::resources::resource_name(platform::text::cp932_to_utf16(text));
}

// The error a failed lookup leaves, told apart as Windows does: no resources
// at all, no resource of that type, or none of that name.
DWORD lookup_error(const std::optional<NameOrId>& type)
{
    const auto& entries = platform::resources::module_resources().entries();
    if (entries.empty()) return ERROR_RESOURCE_DATA_NOT_FOUND;
    if (!type) return ERROR_RESOURCE_TYPE_NOT_FOUND;
    bool typeFound = std::any_of(entries.begin(), entries.end(), [&](const ResourceEntry& entry) {
        return platform::resources::same_name(entry.type, *type);
    });
    return typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
}

const ResourceEntry* entry_of(HRSRC resource)
{
    const auto& entries = platform::resources::module_resources().entries();
    for (const ResourceEntry& entry : entries) {
        if (reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(&entry)) == resource) return &entry;
    }
    return nullptr;
}

HRSRC find_resource(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, std::optional<WORD> language)
{
    if (!platform::resources::names_module(hModule)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    std::optional<NameOrId> type = name_from_ansi(lpType);
    std::optional<NameOrId> name = name_from_ansi(lpName);
    const ResourceEntry* entry =
        type && name ? platform::resources::module_resources().find(*type, *name, language) : nullptr;
    if (!entry) {
        SetLastError(type && !name ? ERROR_RESOURCE_NAME_NOT_FOUND : lookup_error(type));
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
}

}  // namespace

HINSTANCE AfxGetResourceHandle() { return platform::resources::module_handle(); }

HINSTANCE AfxGetInstanceHandle() { return platform::resources::module_handle(); }

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax)
{
    if (lpBuffer == nullptr || cchBufferMax <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    lpBuffer[0] = '\0';
    if (!platform::resources::names_module(hInstance)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    std::optional<std::string> text = platform::resources::load_string_cp932(uID);
    if (!text) {
        SetLastError(lookup_error(platform::resources::resource_id(platform::resources::ResourceType::String)));
        return 0;
    }
    // Cut at a character boundary: half a double-byte character would turn
    // the text's last character into a different one.
    std::size_t room = static_cast<std::size_t>(cchBufferMax) - 1;
    std::size_t length = 0;
    while (length < text->size()) {
        std::size_t width = platform::text::is_lead_byte(static_cast<unsigned char>((*text)[length])) ? 2 : 1;
        if (length + width > room || length + width > text->size()) break;
        length += width;
    }
    std::memcpy(lpBuffer, text->data(), length);
    lpBuffer[length] = '\0';
    return static_cast<int>(length);
}

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName)
{
    HICON icon = nullptr;
    if (hInstance == nullptr) {
        if (IS_INTRESOURCE(lpIconName))
            icon = platform::resources::load_standard_icon(
                static_cast<WORD>(reinterpret_cast<std::uintptr_t>(lpIconName)));
    } else if (platform::resources::names_module(hInstance)) {
        if (std::optional<NameOrId> name = name_from_ansi(lpIconName))
            icon = platform::resources::load_module_icon(*name, platform::resources::kLargeIconSize);
    }
    if (!icon) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return icon;
}

HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType)
{
    return find_resource(hModule, lpType, lpName, std::nullopt);
}

HRSRC FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage)
{
    return find_resource(hModule, lpType, lpName, wLanguage);
}

HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo)
{
    const ResourceEntry* entry = platform::resources::names_module(hModule) ? entry_of(hResInfo) : nullptr;
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Resources are read-only, as on Windows; the pointer type is the API's.
    return const_cast<std::uint8_t*>(entry->data.data());
}

DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo)
{
    const ResourceEntry* entry = platform::resources::names_module(hModule) ? entry_of(hResInfo) : nullptr;
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(entry->data.size());
}

LPVOID LockResource(HGLOBAL hResData) { return hResData; }
