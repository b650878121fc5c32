#pragma once
// A dialog template as the resource holds it (DLGTEMPLATE or DLGTEMPLATEEX),
// parsed into plain values. The dialog manager builds dialogs from this.

#include "platform/win32/types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform::resources {

// A name or number, as resource formats store class names, texts and ids.
struct NameOrId {
    std::optional<std::uint16_t> id;  // set when given by number
    std::u16string name;              // otherwise the name
    bool is_id() const { return id.has_value(); }
};

struct DialogItem {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    DWORD id = 0;                        // 16 bits wide in the old format (IDC_STATIC is 65535 there)
    NameOrId windowClass;                // atom 0x0080 BUTTON, 0x0082 STATIC, ... or a class name
    NameOrId text;                       // text, or a resource id (an icon of a STATIC with SS_ICON)
    std::vector<std::uint8_t> creationData;
};

struct DialogTemplate {
    bool extended = false;  // DLGTEMPLATEEX
    WORD version = 0;       // 1 for DLGTEMPLATEEX
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    NameOrId menu;                       // empty name: none
    NameOrId windowClass;                // empty name: the standard dialog class
    std::u16string title;
    // Present when the style has DS_SETFONT (or DS_SHELLFONT).
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::u16string faceName;
    std::vector<DialogItem> items;
};

// The atoms of the predefined control classes.
inline constexpr WORD kButtonAtom = 0x0080;
inline constexpr WORD kEditAtom = 0x0081;
inline constexpr WORD kStaticAtom = 0x0082;
inline constexpr WORD kListBoxAtom = 0x0083;
inline constexpr WORD kScrollBarAtom = 0x0084;
inline constexpr WORD kComboBoxAtom = 0x0085;

// The predefined class a control's class stands for, by atom or by name
// (names compare without regard to case: a CONTROL statement's "Button" is
// kept as a name by the resource compiler); nullopt for any other class.
std::optional<WORD> standard_class_atom(const NameOrId& windowClass);

// A control for a template built in code (message boxes, tests): visible,
// a child of the dialog, of a predefined class given by its atom.
DialogItem make_control(WORD classAtom, DWORD id, std::u16string text, DWORD style, short x, short y, short cx,
                        short cy);

// Parses a template from the bytes of a RT_DIALOG resource; nullopt when the
// bytes are not a well-formed template.
std::optional<DialogTemplate> parse_dialog_template(std::span<const std::uint8_t> bytes);

}  // namespace platform::resources
