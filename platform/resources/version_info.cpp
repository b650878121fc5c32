#include "platform/resources/version_info.h"

#include "platform/resources/byte_reader.h"

namespace platform::resources {

namespace {

constexpr WORD kTextValue = 1;
constexpr std::size_t kFixedFileInfoSize = 13 * 4;

// One node of the version block: wLength, wValueLength, wType, a key, the
// value (DWORD-aligned), then the children (each DWORD-aligned).
struct Block {
    std::u16string key;
    WORD type = 0;
    std::span<const std::uint8_t> value;
    std::vector<Block> children;
};

constexpr int kMaxDepth = 8;

bool read_block(std::span<const std::uint8_t> bytes, std::size_t offset, int depth, Block& block,
                std::size_t& end)
{
    if (depth > kMaxDepth) return false;
    ByteReader lengthReader(bytes, offset);
    WORD length = 0;
    if (!lengthReader.read_u16(length) || length < 6 || length > bytes.size() - offset) return false;
    end = offset + length;
    ByteReader reader(bytes.first(end), offset + 2);
    WORD valueLength = 0;
    if (!reader.read_u16(valueLength) || !reader.read_u16(block.type) || !reader.read_string(block.key))
        return false;
    if (reader.remaining() == 0) return true;  // a key without value or padding
    if (!reader.align4()) return false;
    // A text value's length counts characters; compilers differ on whether
    // the terminator is among them, so the text is cut at its terminator and
    // never taken past the block.
    std::size_t valueBytes = block.type == kTextValue ? std::size_t{valueLength} * 2 : valueLength;
    if (valueBytes > reader.remaining()) {
        if (block.type != kTextValue) return false;
        valueBytes = reader.remaining();
    }
    if (!reader.read_bytes(valueBytes, block.value)) return false;
    std::size_t next = align4(reader.offset());
    while (next < end) {
        Block child;
        std::size_t childEnd = 0;
        if (!read_block(bytes.first(end), next, depth + 1, child, childEnd)) return false;
        block.children.push_back(std::move(child));
        next = align4(childEnd);
    }
    return true;
}

std::u16string text_of(std::span<const std::uint8_t> value)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
        auto unit = static_cast<char16_t>(value[i] | (value[i + 1] << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return text;
}

bool read_fixed(std::span<const std::uint8_t> value, FixedFileInfo& info)
{
    ByteReader reader(value);
    DWORD* fields[] = {&info.signature,      &info.structureVersion, &info.fileVersionMS, &info.fileVersionLS,
                       &info.productVersionMS, &info.productVersionLS, &info.fileFlagsMask, &info.fileFlags,
                       &info.fileOS,         &info.fileType,         &info.fileSubtype,   &info.fileDateMS,
                       &info.fileDateLS};
    for (DWORD* field : fields) {
        if (!reader.read_u32(*field)) return false;
    }
    return info.signature == kFixedFileInfoSignature;
}

}  // namespace

const std::u16string* VersionInfo::find_value(std::u16string_view table, std::u16string_view key) const
{
    for (const VersionStringTable& t : stringTables) {
        if (t.key != table) continue;
        for (const auto& [name, value] : t.values) {
            if (name == key) return &value;
        }
    }
    return nullptr;
}

std::optional<VersionInfo> parse_version_info(std::span<const std::uint8_t> bytes)
{
    Block root;
    std::size_t end = 0;
    if (!read_block(bytes, 0, 0, root, end) || root.key != u"VS_VERSION_INFO") return std::nullopt;

    VersionInfo info;
    if (!root.value.empty()) {
        FixedFileInfo fixed;
        if (root.value.size() < kFixedFileInfoSize || !read_fixed(root.value, fixed)) return std::nullopt;
        info.fixed = fixed;
    }
    for (const Block& child : root.children) {
        if (child.key == u"StringFileInfo") {
            for (const Block& table : child.children) {
                VersionStringTable strings{table.key, {}};
                for (const Block& value : table.children)
                    strings.values.emplace_back(value.key, text_of(value.value));
                info.stringTables.push_back(std::move(strings));
            }
        } else if (child.key == u"VarFileInfo") {
            for (const Block& var : child.children) {
                if (var.key != u"Translation") continue;
                ByteReader reader(var.value);
                VersionTranslation translation;
                while (reader.read_u16(translation.language) && reader.read_u16(translation.codePage))
                    info.translations.push_back(translation);
            }
        }
    }
    return info;
}

}  // namespace platform::resources
