#pragma once
// A compiled resource file (.res): a sequence of resources, each with a type,
// a name and a language, looked up by type and name as Windows finds a
// module's resources.

#include "platform/resources/dialog_template.h"
#include "platform/win32/types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace platform::resources {

// The standard resource types, by number.
enum class ResourceType : WORD {
    Cursor = 1,
    Bitmap = 2,
    Icon = 3,
    Menu = 4,
    Dialog = 5,
    String = 6,
    FontDirectory = 7,
    Font = 8,
    Accelerator = 9,
    RawData = 10,
    MessageTable = 11,
    GroupCursor = 12,
    GroupIcon = 14,
    Version = 16,
    Manifest = 24,
};

inline constexpr WORD kLanguageNeutral = 0x0000;
inline constexpr WORD kLanguageJapanese = 0x0411;  // the language all of the program's resources carry

NameOrId resource_id(WORD id);
NameOrId resource_id(ResourceType type);
NameOrId resource_name(std::u16string_view name);

// Names compare without regard to ASCII case, as the resource compiler
// stores them upper-cased and Windows finds them either way.
bool same_name(const NameOrId& a, const NameOrId& b);

struct ResourceEntry {
    NameOrId type;
    NameOrId name;
    WORD language = 0;
    WORD memoryFlags = 0;
    DWORD dataVersion = 0;
    DWORD version = 0;
    DWORD characteristics = 0;
    std::span<const std::uint8_t> data;  // points into the parsed bytes
};

class ResourceFile {
public:
    ResourceFile() = default;  // no resources at all

    // Parses the bytes of a .res file; nullopt when a header is malformed or
    // a resource's data runs past the end. The bytes must outlive the result.
    static std::optional<ResourceFile> parse(std::span<const std::uint8_t> bytes);

    const std::vector<ResourceEntry>& entries() const { return m_entries; }

    // The resource of this type and name: in the given language exactly, or
    // without one preferring Japanese, then language-neutral, then the first.
    const ResourceEntry* find(const NameOrId& type, const NameOrId& name,
                              std::optional<WORD> language = std::nullopt) const;

private:
    std::vector<ResourceEntry> m_entries;
};

}  // namespace platform::resources
