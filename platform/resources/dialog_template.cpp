#include "platform/resources/dialog_template.h"

#include "platform/resources/byte_reader.h"
#include "platform/resources/rc/mr7res.h"

#include <string_view>
#include <utility>

namespace platform::resources {

namespace {

constexpr DWORD kSetFontStyle = 0x00000040;  // DS_SETFONT (also part of DS_SHELLFONT)
constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kExtendedVersion = 1;

// Creation data: a count of the bytes that follow, then the bytes. The
// resource compiler writes the same shape in both template formats.
bool read_creation_data(ByteReader& reader, std::vector<std::uint8_t>& data)
{
    WORD size = 0;
    if (!reader.read_u16(size)) return false;
    std::span<const std::uint8_t> bytes;
    if (!reader.read_bytes(size, bytes)) return false;
    data.assign(bytes.begin(), bytes.end());
    return true;
}

bool read_rectangle(ByteReader& reader, short& x, short& y, short& cx, short& cy)
{
    return reader.read_i16(x) && reader.read_i16(y) && reader.read_i16(cx) && reader.read_i16(cy);
}

bool read_item(ByteReader& reader, bool extended, DialogItem& item)
{
    if (!reader.align4()) return false;
    if (extended) {
        if (!reader.read_u32(item.helpId) || !reader.read_u32(item.exStyle) || !reader.read_u32(item.style))
            return false;
    } else {
        if (!reader.read_u32(item.style) || !reader.read_u32(item.exStyle)) return false;
    }
    if (!read_rectangle(reader, item.x, item.y, item.cx, item.cy)) return false;
    if (extended) {
        if (!reader.read_u32(item.id)) return false;
    } else {
        WORD id = 0;
        if (!reader.read_u16(id)) return false;
        item.id = id;
    }
    return reader.read_name_or_id(item.windowClass) && reader.read_name_or_id(item.text) &&
           read_creation_data(reader, item.creationData);
}

}  // namespace

DialogItem make_control(WORD classAtom, DWORD id, std::u16string text, DWORD style, short x, short y, short cx,
                        short cy)
{
    DialogItem item;
    item.windowClass.id = classAtom;
    item.id = id;
    item.text.name = std::move(text);
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    return item;
}

std::optional<WORD> standard_class_atom(const NameOrId& windowClass)
{
    if (windowClass.is_id()) {
        WORD atom = *windowClass.id;
        if (atom >= kButtonAtom && atom <= kComboBoxAtom) return atom;
        return std::nullopt;
    }
    static constexpr std::pair<std::u16string_view, WORD> kNames[] = {
        {u"BUTTON", kButtonAtom},   {u"EDIT", kEditAtom},           {u"STATIC", kStaticAtom},
        {u"LISTBOX", kListBoxAtom}, {u"SCROLLBAR", kScrollBarAtom}, {u"COMBOBOX", kComboBoxAtom},
    };
    for (const auto& [name, atom] : kNames) {
        if (name.size() != windowClass.name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            char16_t c = windowClass.name[i];
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
            same = c == name[i];
        }
        if (same) return atom;
    }
    return std::nullopt;
}

std::optional<DialogTemplate> parse_dialog_template(std::span<const std::uint8_t> bytes)
{
    ByteReader reader(bytes);
    DialogTemplate dialog;

    WORD first = 0, second = 0;
    if (!reader.read_u16(first) || !reader.read_u16(second)) return std::nullopt;
    // The signature marks the extended format; it knows no version but 1.
    dialog.extended = second == kExtendedSignature;
    if (dialog.extended && first != kExtendedVersion) return std::nullopt;

    WORD itemCount = 0;
    if (dialog.extended) {
        dialog.version = first;
        if (!reader.read_u32(dialog.helpId) || !reader.read_u32(dialog.exStyle) || !reader.read_u32(dialog.style))
            return std::nullopt;
    } else {
        // The old format starts with the style, whose low word was read above.
        reader = ByteReader(bytes);
        if (!reader.read_u32(dialog.style) || !reader.read_u32(dialog.exStyle)) return std::nullopt;
    }
    if (!reader.read_u16(itemCount)) return std::nullopt;
    if (!read_rectangle(reader, dialog.x, dialog.y, dialog.cx, dialog.cy)) return std::nullopt;
    if (!reader.read_name_or_id(dialog.menu) || !reader.read_name_or_id(dialog.windowClass)) return std::nullopt;
    if (!reader.read_string(dialog.title)) return std::nullopt;

    if (dialog.style & kSetFontStyle) {
        if (!reader.read_u16(dialog.pointSize)) return std::nullopt;
        if (dialog.extended) {
            if (!reader.read_u16(dialog.weight) || !reader.read_u8(dialog.italic) || !reader.read_u8(dialog.charset))
                return std::nullopt;
        }
        if (!reader.read_string(dialog.faceName)) return std::nullopt;
    }

    // Each item takes at least its fixed part and three empty fields, so a
    // count far beyond the data is refused before anything is reserved for it.
    const std::size_t smallestItem = dialog.extended ? 24 + 6 : 18 + 6;
    if (static_cast<std::size_t>(itemCount) * smallestItem > reader.remaining()) return std::nullopt;
    dialog.items.resize(itemCount);
    for (DialogItem& item : dialog.items) {
        if (!read_item(reader, dialog.extended, item)) return std::nullopt;
    }
    return dialog;
}

}  // namespace platform::resources
