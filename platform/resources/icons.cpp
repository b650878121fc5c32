#include "platform/resources/icons.h"

#include "platform/resources/icon_group.h"
#include "platform/resources/module_resources.h"

#include <memory>
#include <mutex>
#include <vector>

namespace platform::resources {

namespace {

struct IconObject {
    IconInfo info;
    int requestedSize = 0;
};

// The shared icons handed out so far. A handle is the address of its object,
// which lives as long as the process, like a shared icon on Windows.
struct IconTable {
    std::mutex mutex;
    std::vector<std::unique_ptr<IconObject>> icons;
};

IconTable& icon_table()
{
    static IconTable table;
    return table;
}

HICON handle_of(IconObject* icon) { return reinterpret_cast<HICON>(icon); }

HICON remember(IconTable& table, IconInfo info, int requestedSize)
{
    auto icon = std::make_unique<IconObject>(IconObject{std::move(info), requestedSize});
    HICON handle = handle_of(icon.get());
    table.icons.push_back(std::move(icon));
    return handle;
}

std::optional<IconInfo> read_module_icon(const NameOrId& group, int size)
{
    std::optional<std::span<const std::uint8_t>> directory =
        find_resource(resource_id(ResourceType::GroupIcon), group);
    if (!directory) return std::nullopt;
    std::optional<std::vector<IconGroupEntry>> entries = parse_icon_group(*directory);
    if (!entries) return std::nullopt;
    std::optional<std::size_t> best = best_icon_entry(*entries, size);
    if (!best) return std::nullopt;
    std::optional<std::span<const std::uint8_t>> image =
        find_resource(resource_id(ResourceType::Icon), resource_id((*entries)[*best].imageId));
    if (!image) return std::nullopt;
    std::optional<IconImageInfo> picture = describe_icon_image(*image);
    if (!picture) return std::nullopt;
    IconInfo info;
    info.width = picture->width;
    info.height = picture->height;
    info.bitCount = picture->bitCount;
    info.byteSize = image->size();
    info.image = *image;
    info.isPng = picture->isPng;
    info.group = group;
    return info;
}

}  // namespace

HICON load_module_icon(const NameOrId& group, int size)
{
    IconTable& table = icon_table();
    std::lock_guard lock(table.mutex);
    for (const auto& icon : table.icons) {
        if (icon->info.standardId == 0 && icon->requestedSize == size && same_name(icon->info.group, group))
            return handle_of(icon.get());
    }
    std::optional<IconInfo> info = read_module_icon(group, size);
    if (!info) return nullptr;
    return remember(table, std::move(*info), size);
}

HICON load_standard_icon(WORD id)
{
    if (id < kFirstStandardIcon || id > kLastStandardIcon) return nullptr;
    IconTable& table = icon_table();
    std::lock_guard lock(table.mutex);
    for (const auto& icon : table.icons) {
        if (icon->info.standardId == id) return handle_of(icon.get());
    }
    IconInfo info;
    info.width = kLargeIconSize;
    info.height = kLargeIconSize;
    info.bitCount = 32;
    info.group = resource_id(id);
    info.standardId = id;
    return remember(table, std::move(info), kLargeIconSize);
}

std::optional<IconInfo> describe_icon(HICON icon)
{
    if (!icon) return std::nullopt;
    IconTable& table = icon_table();
    std::lock_guard lock(table.mutex);
    for (const auto& object : table.icons) {
        if (handle_of(object.get()) == icon) return object->info;
    }
    return std::nullopt;
}

}  // namespace platform::resources
