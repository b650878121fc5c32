#pragma once
// The module's own resources: the .res bytes that the build links into the
// program (mr7_add_resources), and lookups in them for the window framework.
// A program without resources finds nothing, everywhere.

#include "platform/resources/dialog_template.h"
#include "platform/resources/resource_file.h"
#include "platform/win32/types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform::resources {

// Makes bytes the module's resources. Called once, during static
// initialisation, by the source that the build generates; a second set or
// malformed bytes stop the program, since either is a fault of the build.
void register_module_resources(std::span<const std::uint8_t> bytes);

struct ModuleResourcesRegistration {
    explicit ModuleResourcesRegistration(std::span<const std::uint8_t> bytes) { register_module_resources(bytes); }
};

// The module's resources; empty when none were linked.
const ResourceFile& module_resources();

// The instance handle that stands for the module (where Windows loads a
// program), and whether an instance handle names it (NULL does too).
HINSTANCE module_handle();
bool names_module(HINSTANCE instance);

// The bytes of a resource of the module; language as in ResourceFile::find.
std::optional<std::span<const std::uint8_t>> find_resource(const NameOrId& type, const NameOrId& name,
                                                           std::optional<WORD> language = std::nullopt);

// Dialog template id of the module; nullopt when missing or malformed.
std::optional<DialogTemplate> load_dialog_template(WORD id);
std::optional<DialogTemplate> load_dialog_template(const NameOrId& name);

// String id of the module in UTF-16; nullopt when missing or empty.
std::optional<std::u16string> load_string(UINT id);

// String id of the module in code page 932; nullopt when missing or empty.
std::optional<std::string> load_string_cp932(UINT id);

}  // namespace platform::resources
