#include "platform/resources/module_resources.h"

#include "platform/resources/string_table.h"
#include "platform/text/codepage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace platform::resources {

namespace {

// Where Windows places a program's image by default; any non-null value
// would do, this one reads familiar in a debugger.
constexpr std::uintptr_t kModuleBase = 0x00400000;

struct ModuleState {
    ResourceFile file;
    bool registered = false;
};

// Built on first use, so registration and lookups work in any order of
// static initialisation.
ModuleState& module_state()
{
    static ModuleState state;
    return state;
}

[[noreturn]] void fail_build(const char* message)
{
    std::fprintf(stderr, "module resources: %s\n", message);
    std::abort();
}

}  // namespace

void register_module_resources(std::span<const std::uint8_t> bytes)
{
    ModuleState& state = module_state();
    if (state.registered) fail_build("a second resource set was linked into this program");
    std::optional<ResourceFile> file = ResourceFile::parse(bytes);
    if (!file) fail_build("the linked resource file is malformed");
    state.file = std::move(*file);
    state.registered = true;
}

const ResourceFile& module_resources() { return module_state().file; }

HINSTANCE module_handle() { return reinterpret_cast<HINSTANCE>(kModuleBase); }

bool names_module(HINSTANCE instance) { return instance == nullptr || instance == module_handle(); }

std::optional<std::span<const std::uint8_t>> find_resource(const NameOrId& type, const NameOrId& name,
                                                           std::optional<WORD> language)
{
    const ResourceEntry* entry = module_resources().find(type, name, language);
    if (!entry) return std::nullopt;
    return entry->data;
}

std::optional<DialogTemplate> load_dialog_template(const NameOrId& name)
{
    std::optional<std::span<const std::uint8_t>> bytes = find_resource(resource_id(ResourceType::Dialog), name);
    if (!bytes) return std::nullopt;
    return parse_dialog_template(*bytes);
}

std::optional<DialogTemplate> load_dialog_template(WORD id) { return load_dialog_template(resource_id(id)); }

std::optional<std::u16string> load_string(UINT id) { return find_string(module_resources(), id); }

std::optional<std::string> load_string_cp932(UINT id)
{
    std::optional<std::u16string> text = load_string(id);
    if (!text) return std::nullopt;
    return text::utf16_to_cp932(*text);
}

}  // namespace platform::resources
