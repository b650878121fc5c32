// The resource readers on hand-built bytes: what each format's fields must
// come out as, and that malformed or truncated data is refused.

#include "platform/resources/dialog_template.h"
#include "platform/resources/icon_group.h"
#include "platform/resources/resource_file.h"
#include "platform/resources/string_table.h"
#include "platform/resources/version_info.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform::resources;

namespace {

class ResourceFormats : public ::testing::Test {
protected:
    testsupport::TempMachine m_machine;
};

// Little-endian bytes, built field by field.
class Bytes {
public:
    Bytes& u8(std::uint8_t v) { m_bytes.push_back(v); return *this; }
    Bytes& u16(std::uint16_t v) { return u8(static_cast<std::uint8_t>(v)).u8(static_cast<std::uint8_t>(v >> 8)); }
    Bytes& u32(std::uint32_t v) { return u16(static_cast<std::uint16_t>(v)).u16(static_cast<std::uint16_t>(v >> 16)); }
    Bytes& text(std::u16string_view s)
    {
        for (char16_t c : s) u16(c);
        return u16(0);
    }
    Bytes& ordinal(std::uint16_t id) { return u16(0xFFFF).u16(id); }
    Bytes& align4()
    {
        while (m_bytes.size() % 4) m_bytes.push_back(0);
        return *this;
    }
    Bytes& append(const std::vector<std::uint8_t>& more)
    {
        m_bytes.insert(m_bytes.end(), more.begin(), more.end());
        return *this;
    }
    std::size_t size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

// A classic template: menu by number, a class by name, no font; the first
// item's odd-length text puts the second item behind two bytes of padding.
Bytes classic_template()
{
    Bytes b;
    b.u32(0x80880000).u32(0x00000001).u16(2).u16(10).u16(20).u16(200).u16(100);
    b.ordinal(7).text(u"MyDialogClass").text(u"Title");
    b.align4();
    b.u32(0x50010000).u32(0x00000200).u16(1).u16(2).u16(30).u16(12).u16(0xFFFF);
    b.ordinal(0x0081).text(u"ab").u16(3).u8(0xA1).u8(0xB2).u8(0xC3);
    b.align4();
    b.u32(0x50000000).u32(0).u16(0xFFFB).u16(0xFFFA).u16(5).u16(6).u16(42);
    b.text(u"Custom").ordinal(300).u16(0);
    return b;
}

// An extended template with DS_SHELLFONT and a full font, a 32-bit id and
// creation data.
Bytes extended_template()
{
    Bytes b;
    b.u16(1).u16(0xFFFF).u32(55).u32(0x00000100).u32(0x80C80048).u16(1).u16(0).u16(0).u16(50).u16(40);
    b.text(u"Menu").u16(0).text(u"ﾃｽﾄ");
    b.u16(11).u16(700).u8(1).u8(128).text(u"Face");
    b.align4();
    b.u32(99).u32(0x4).u32(0x50000001).u16(3).u16(4).u16(5).u16(6).u32(0x00012345);
    b.ordinal(0x0080).ordinal(17).u16(2).u8(0xEE).u8(0xFF);
    return b;
}

}  // namespace

TEST_F(ResourceFormats, ClassicTemplateFieldsComeOutAsStored)
{
    std::optional<DialogTemplate> dialog = parse_dialog_template(classic_template().bytes());
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->style, 0x80880000u);
    EXPECT_EQ(dialog->exStyle, 1u);
    EXPECT_EQ(dialog->x, 10);
    EXPECT_EQ(dialog->y, 20);
    EXPECT_EQ(dialog->cx, 200);
    EXPECT_EQ(dialog->cy, 100);
    EXPECT_EQ(dialog->menu.id, 7);
    EXPECT_EQ(dialog->windowClass.name, u"MyDialogClass");
    EXPECT_EQ(dialog->title, u"Title");
    EXPECT_EQ(dialog->pointSize, 0);  // no DS_SETFONT, no font
    EXPECT_EQ(dialog->faceName, u"");
    ASSERT_EQ(dialog->items.size(), 2u);

    const DialogItem& edit = dialog->items[0];
    EXPECT_EQ(edit.style, 0x50010000u);
    EXPECT_EQ(edit.exStyle, 0x200u);
    EXPECT_EQ(edit.id, 0xFFFFu);  // 16 bits wide: -1 stays 65535
    EXPECT_EQ(edit.windowClass.id, kEditAtom);
    EXPECT_EQ(edit.text.name, u"ab");
    EXPECT_EQ(edit.creationData, (std::vector<std::uint8_t>{0xA1, 0xB2, 0xC3}));

    const DialogItem& custom = dialog->items[1];
    EXPECT_EQ(custom.x, -5);  // coordinates are signed
    EXPECT_EQ(custom.y, -6);
    EXPECT_EQ(custom.id, 42u);
    EXPECT_EQ(custom.windowClass.name, u"Custom");
    EXPECT_EQ(custom.text.id, 300);
    EXPECT_TRUE(custom.creationData.empty());
}

TEST_F(ResourceFormats, ExtendedTemplateFieldsComeOutAsStored)
{
    std::optional<DialogTemplate> dialog = parse_dialog_template(extended_template().bytes());
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->extended);
    EXPECT_EQ(dialog->version, 1);
    EXPECT_EQ(dialog->helpId, 55u);
    EXPECT_EQ(dialog->exStyle, 0x100u);
    EXPECT_EQ(dialog->style, 0x80C80048u);
    EXPECT_EQ(dialog->menu.name, u"Menu");
    EXPECT_EQ(dialog->title, u"ﾃｽﾄ");
    EXPECT_EQ(dialog->pointSize, 11);
    EXPECT_EQ(dialog->weight, 700);
    EXPECT_EQ(dialog->italic, 1);
    EXPECT_EQ(dialog->charset, 128);
    EXPECT_EQ(dialog->faceName, u"Face");
    ASSERT_EQ(dialog->items.size(), 1u);
    const DialogItem& item = dialog->items[0];
    EXPECT_EQ(item.helpId, 99u);
    EXPECT_EQ(item.exStyle, 4u);
    EXPECT_EQ(item.style, 0x50000001u);
    EXPECT_EQ(item.id, 0x00012345u);  // 32 bits wide
    EXPECT_EQ(item.windowClass.id, kButtonAtom);
    EXPECT_EQ(item.text.id, 17);
    EXPECT_EQ(item.creationData, (std::vector<std::uint8_t>{0xEE, 0xFF}));
}

TEST_F(ResourceFormats, EveryTruncationOfATemplateIsRefused)
{
    for (const Bytes& full : {classic_template(), extended_template()}) {
        ASSERT_TRUE(parse_dialog_template(full.bytes()));
        for (std::size_t size = 0; size < full.size(); ++size) {
            std::vector<std::uint8_t> cut(full.bytes().begin(), full.bytes().begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_FALSE(parse_dialog_template(cut)) << "cut to " << size;
        }
    }
}

TEST_F(ResourceFormats, MalformedTemplatesAreRefused)
{
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"an unknown extended version", Bytes().u16(2).u16(0xFFFF).u32(0).u32(0).u32(0).u16(0).u32(0).u32(0).u16(0).u16(0).u16(0)},
        {"more items than the data holds",
         Bytes().u32(0).u32(0).u16(60000).u32(0).u32(0).u16(0).u16(0).u16(0)},
        {"a title without its terminator", Bytes().u32(0).u32(0).u16(0).u32(0).u32(0).u16(0).u16(0).u16('T')},
        {"a font without its face", Bytes().u32(0x40).u32(0).u16(0).u32(0).u32(0).u16(0).u16(0).u16(0).u16(9)},
        {"creation data past the end",
         Bytes().u32(0).u32(0).u16(1).u32(0).u32(0).u16(0).u16(0).u16(0).align4()
             .u32(0).u32(0).u32(0).u32(0).u16(1).ordinal(0x80).u16(0).u16(8).u32(0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(parse_dialog_template(c.bytes.bytes()));
    }
}

TEST_F(ResourceFormats, StandardClassesAreKnownByAtomOrByAnyCaseOfTheirName)
{
    EXPECT_EQ(standard_class_atom(resource_id(0x82)), kStaticAtom);
    EXPECT_EQ(standard_class_atom(resource_name(u"button")), kButtonAtom);
    EXPECT_EQ(standard_class_atom(resource_name(u"ComboBox")), kComboBoxAtom);
    EXPECT_EQ(standard_class_atom(resource_id(0x86)), std::nullopt);
    EXPECT_EQ(standard_class_atom(resource_name(u"Buttons")), std::nullopt);
}

namespace {

// One resource of a .res file: header (DWORD-aligned after the names), data,
// padding to the next DWORD.
void add_resource(Bytes& file, std::uint16_t type, const std::u16string& name, std::uint16_t language,
                  const std::vector<std::uint8_t>& data, const std::u16string& typeName = {})
{
    Bytes names;
    if (typeName.empty()) names.ordinal(type); else names.text(typeName);
    if (name.empty()) names.ordinal(1); else if (name[0] == u'#') names.ordinal(static_cast<std::uint16_t>(std::stoi(std::string(name.begin() + 1, name.end())))); else names.text(name);
    names.align4();
    file.u32(static_cast<std::uint32_t>(data.size())).u32(static_cast<std::uint32_t>(8 + names.size() + 16));
    file.append(names.bytes()).u32(0).u16(0x1030).u16(language).u32(0).u32(0);
    file.append(data).align4();
}

Bytes marker()
{
    Bytes b;
    b.u32(0).u32(32).ordinal(0).ordinal(0).u32(0).u16(0).u16(0).u32(0).u32(0);
    return b;
}

}  // namespace

TEST_F(ResourceFormats, ResourceFileFindsByNumberNameAndLanguage)
{
    Bytes file = marker();
    add_resource(file, 10, u"#5", 0x0409, {1, 2, 3});
    add_resource(file, 10, u"#5", 0x0411, {4, 5, 6, 7, 8});
    add_resource(file, 10, u"#6", 0x0409, {9});
    add_resource(file, 10, u"#6", 0x0000, {10});
    add_resource(file, 10, u"#7", 0x0409, {11});
    add_resource(file, 0, u"NAMED", 0x0411, {12, 13}, u"MYTYPE");

    std::optional<ResourceFile> res = ResourceFile::parse(file.bytes());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->entries().size(), 6u);  // the leading empty marker is not a resource
    auto data_of = [&](const NameOrId& type, const NameOrId& name, std::optional<WORD> language = std::nullopt) {
        const ResourceEntry* entry = res->find(type, name, language);
        return entry ? std::vector<std::uint8_t>(entry->data.begin(), entry->data.end()) : std::vector<std::uint8_t>{};
    };
    using V = std::vector<std::uint8_t>;
    EXPECT_EQ(data_of(resource_id(10), resource_id(5)), (V{4, 5, 6, 7, 8}));  // Japanese first
    EXPECT_EQ(data_of(resource_id(10), resource_id(5), 0x0409), (V{1, 2, 3}));
    EXPECT_EQ(data_of(resource_id(10), resource_id(6)), (V{10}));  // then neutral
    EXPECT_EQ(data_of(resource_id(10), resource_id(7)), (V{11}));  // then whatever there is
    EXPECT_EQ(data_of(resource_name(u"mytype"), resource_name(u"Named")), (V{12, 13}));
    EXPECT_EQ(res->find(resource_id(10), resource_id(8)), nullptr);
    EXPECT_EQ(res->find(resource_id(10), resource_id(7), 0x0411), nullptr);
    EXPECT_EQ(res->find(resource_name(u"MYTYPE"), resource_id(1)), nullptr);

    ASSERT_TRUE(ResourceFile::parse({}));
    EXPECT_TRUE(ResourceFile::parse({})->entries().empty());
}

TEST_F(ResourceFormats, MalformedResourceFilesAreRefused)
{
    Bytes good = marker();
    add_resource(good, 10, u"#5", 0x0411, {1, 2, 3});
    ASSERT_TRUE(ResourceFile::parse(good.bytes()));
    // Any cut inside the header or data of the last resource breaks it; only
    // the final padding may be missing.
    for (std::size_t size = marker().size() + 1; size < good.size() - 1; ++size) {
        std::vector<std::uint8_t> cut(good.bytes().begin(), good.bytes().begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ResourceFile::parse(cut)) << "cut to " << size;
    }
    Bytes tooSmallHeader;
    tooSmallHeader.u32(0).u32(4).u32(0);
    EXPECT_FALSE(ResourceFile::parse(tooSmallHeader.bytes()));
    Bytes unterminatedName;
    unterminatedName.u32(0).u32(28).u16('A').u16('B').u16('C').u16('D').u16('E').u16('F').u16('G').u16('H')
        .u16('I').u16('J').u16('K').u16('L').u16('M').u16('N').u16('O').u16('P').u16('Q').u16('R').u16('S').u16('T');
    EXPECT_FALSE(ResourceFile::parse(unterminatedName.bytes()));
}

TEST_F(ResourceFormats, StringBlockHoldsSixteenCountedStrings)
{
    Bytes block;
    for (int i = 0; i < 16; ++i) {
        if (i == 3) block.u16(2).u16(u'ｱ').u16(u'ﾝ');
        else if (i == 15) block.u16(1).u16(u'z');
        else block.u16(0);
    }
    std::optional<StringBlock> strings = parse_string_block(block.bytes());
    ASSERT_TRUE(strings);
    EXPECT_EQ((*strings)[3], u"ｱﾝ");
    EXPECT_EQ((*strings)[15], u"z");
    EXPECT_EQ((*strings)[0], u"");

    Bytes file = marker();
    add_resource(file, 6, u"#2", 0x0411, block.bytes());  // ids 16 to 31
    std::optional<ResourceFile> res = ResourceFile::parse(file.bytes());
    ASSERT_TRUE(res);
    EXPECT_EQ(find_string(*res, 19), u"ｱﾝ");
    EXPECT_EQ(find_string(*res, 31), u"z");
    EXPECT_EQ(find_string(*res, 16), std::nullopt);  // an empty entry is a gap
    EXPECT_EQ(find_string(*res, 3), std::nullopt);   // block 1 is missing
    EXPECT_EQ(find_string(*res, 0x10013), std::nullopt);  // beyond 16 bits, not wrapped to 19

    std::vector<std::uint8_t> cut(block.bytes().begin(), block.bytes().end() - 1);
    EXPECT_FALSE(parse_string_block(cut));
    Bytes tooLong;
    tooLong.u16(500).u16('a');
    EXPECT_FALSE(parse_string_block(tooLong.bytes()));
}

TEST_F(ResourceFormats, IconGroupsAndImagesAreDescribed)
{
    Bytes group;
    group.u16(0).u16(1).u16(3);
    group.u8(48).u8(48).u8(0).u8(0).u16(1).u16(32).u32(9640).u16(1);
    group.u8(0).u8(0).u8(0).u8(0).u16(1).u16(32).u32(4000).u16(2);  // 0 stands for 256
    group.u8(32).u8(32).u8(0).u8(0).u16(1).u16(4).u32(744).u16(3);
    std::optional<std::vector<IconGroupEntry>> entries = parse_icon_group(group.bytes());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ((*entries)[1].width, 256);
    EXPECT_EQ((*entries)[2].imageId, 3);
    EXPECT_EQ(best_icon_entry(*entries, 32), 2u);   // the exact size wins
    EXPECT_EQ(best_icon_entry(*entries, 40), 0u);   // else the nearest
    EXPECT_EQ(best_icon_entry({}, 32), std::nullopt);

    Bytes cursorGroup;
    cursorGroup.u16(0).u16(2).u16(0);
    EXPECT_FALSE(parse_icon_group(cursorGroup.bytes()));
    std::vector<std::uint8_t> cut(group.bytes().begin(), group.bytes().end() - 1);
    EXPECT_FALSE(parse_icon_group(cut));

    Bytes bitmap;
    bitmap.u32(40).u32(16).u32(32).u16(1).u16(4).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    std::optional<IconImageInfo> info = describe_icon_image(bitmap.bytes());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 16);
    EXPECT_EQ(info->height, 16);  // colour and mask are stacked: the stored height is doubled
    EXPECT_EQ(info->bitCount, 4);

    Bytes png;
    png.u8(0x89).u8('P').u8('N').u8('G').u8(0x0D).u8(0x0A).u8(0x1A).u8(0x0A).u32(0x0D000000).u8('I').u8('H').u8('D')
        .u8('R').u32(0x00010000).u32(0x00010000);  // 256 x 256, big-endian
    info = describe_icon_image(png.bytes());
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->isPng);
    EXPECT_EQ(info->width, 256);
    EXPECT_EQ(info->height, 256);

    EXPECT_FALSE(describe_icon_image(std::vector<std::uint8_t>(10, 0)));
}

TEST_F(ResourceFormats, VersionBlockWithoutFixedInfoAndWithBrokenLengths)
{
    // wLength, wValueLength, wType, key, value, children.
    Bytes string;
    string.u16(0).u16(3).u16(1).text(u"Key").align4().text(u"Va");
    Bytes table;
    table.u16(0).u16(0).u16(1).text(u"040904b0").align4();
    Bytes stringFileInfo;
    stringFileInfo.u16(0).u16(0).u16(1).text(u"StringFileInfo").align4();
    Bytes root;
    root.u16(0).u16(0).u16(0).text(u"VS_VERSION_INFO").align4();

    auto patch_length = [](Bytes& block, std::size_t extra) {
        std::vector<std::uint8_t> bytes = block.bytes();
        auto length = static_cast<std::uint16_t>(bytes.size() + extra);
        bytes[0] = static_cast<std::uint8_t>(length);
        bytes[1] = static_cast<std::uint8_t>(length >> 8);
        Bytes patched;
        patched.append(bytes);
        return patched;
    };
    Bytes stringDone = patch_length(string, 0);
    Bytes tableDone = patch_length(table, stringDone.size());
    tableDone.append(stringDone.bytes());
    Bytes sfiDone = patch_length(stringFileInfo, tableDone.size());
    sfiDone.align4().append(tableDone.bytes());
    Bytes rootDone = patch_length(root, sfiDone.size());
    rootDone.align4().append(sfiDone.bytes());

    std::optional<VersionInfo> version = parse_version_info(rootDone.bytes());
    ASSERT_TRUE(version);
    EXPECT_FALSE(version->fixed);
    ASSERT_NE(version->find_value(u"040904b0", u"Key"), nullptr);
    EXPECT_EQ(*version->find_value(u"040904b0", u"Key"), u"Va");

    std::vector<std::uint8_t> bytes = rootDone.bytes();
    bytes[0] = static_cast<std::uint8_t>(bytes.size() + 2);  // longer than the data
    EXPECT_FALSE(parse_version_info(bytes));
    Bytes wrongRoot;
    wrongRoot.u16(16).u16(0).u16(0).text(u"NOTVS").align4();
    EXPECT_FALSE(parse_version_info(wrongRoot.bytes()));
}
