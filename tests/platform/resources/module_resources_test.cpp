// The module's resources as compiled from sample.rc: both dialog template
// formats, the string table, the icon group and the version block, checked
// against values worked out by hand from the script.

#include "platform/resources/icon_group.h"
#include "platform/resources/icons.h"
#include "platform/resources/module_resources.h"
#include "platform/resources/string_table.h"
#include "platform/resources/version_info.h"
#include "tests/platform/resources/sample_resource.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform::resources;

namespace {

class ModuleResources : public ::testing::Test {
protected:
    testsupport::TempMachine m_machine;
};

constexpr DWORD kNoId = 0xFFFFFFFF;

struct ExpectedItem {
    const char* what;
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    NameOrId windowClass;
    NameOrId text;
};

NameOrId atom(WORD value) { return resource_id(value); }
NameOrId named(const char16_t* text) { return resource_name(text); }

void expect_item(const DialogItem& item, const ExpectedItem& expected)
{
    SCOPED_TRACE(expected.what);
    EXPECT_EQ(item.helpId, expected.helpId);
    EXPECT_EQ(item.exStyle, expected.exStyle);
    EXPECT_EQ(item.style, expected.style);
    EXPECT_EQ(item.x, expected.x);
    EXPECT_EQ(item.y, expected.y);
    EXPECT_EQ(item.cx, expected.cx);
    EXPECT_EQ(item.cy, expected.cy);
    EXPECT_EQ(item.id, expected.id);
    EXPECT_EQ(item.windowClass.id, expected.windowClass.id);
    EXPECT_EQ(item.windowClass.name, expected.windowClass.name);
    EXPECT_EQ(item.text.id, expected.text.id);
    EXPECT_EQ(item.text.name, expected.text.name);
    EXPECT_TRUE(item.creationData.empty());
}

}  // namespace

// DIALOG 100: the classic format; FONT adds DS_SETFONT (0x40) to the style,
// 16-bit control ids keep IDC_STATIC as 65535, ICON is a STATIC with SS_ICON
// whose text is the icon's number.
TEST_F(ModuleResources, ClassicDialogTemplateHoldsWhatTheScriptSays)
{
    std::optional<DialogTemplate> dialog = load_dialog_template(IDD_SAMPLE_ABOUT);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->version, 0);
    EXPECT_EQ(dialog->style, 0x80C800C0u);  // WS_POPUP WS_CAPTION WS_SYSMENU DS_MODALFRAME DS_SETFONT
    EXPECT_EQ(dialog->exStyle, 0u);
    EXPECT_EQ(dialog->x, 0);
    EXPECT_EQ(dialog->y, 0);
    EXPECT_EQ(dialog->cx, 217);
    EXPECT_EQ(dialog->cy, 55);
    EXPECT_EQ(dialog->menu.name, u"");
    EXPECT_FALSE(dialog->menu.is_id());
    EXPECT_EQ(dialog->windowClass.name, u"");
    EXPECT_EQ(dialog->title, u"ﾃｽﾄ情報 Sample");
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(dialog->faceName, u"ＭＳ Ｐゴシック");

    const ExpectedItem expected[] = {
        {"icon", 0, 0, 0x50000003, 11, 17, 20, 20, 65535, atom(kStaticAtom), atom(IDR_SAMPLE_ICON)},
        {"version line", 0, 0, 0x50020080, 40, 10, 119, 8, 65535, atom(kStaticAtom), named(u"Sample Version 1.0")},
        {"copyright line", 0, 0, 0x50020000, 40, 25, 119, 8, 65535, atom(kStaticAtom), named(u"Copyright (C) Sample")},
        {"OK button", 0, 0, 0x50030001, 178, 7, 32, 14, 1, atom(kButtonAtom), named(u"OK")},
    };
    ASSERT_EQ(dialog->items.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) expect_item(dialog->items[i], expected[i]);
}

// DIALOGEX 102: help ids, extended styles, 32-bit ids (IDC_STATIC is
// 0xFFFFFFFF), the full font, and a CONTROL with a class given by name.
TEST_F(ModuleResources, ExtendedDialogTemplateHoldsWhatTheScriptSays)
{
    std::optional<DialogTemplate> dialog = load_dialog_template(IDD_SAMPLE_MAIN);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->extended);
    EXPECT_EQ(dialog->version, 1);
    EXPECT_EQ(dialog->helpId, 0u);
    EXPECT_EQ(dialog->style, 0x90C800C0u);  // the classic dialog's style and WS_VISIBLE
    EXPECT_EQ(dialog->exStyle, 0x00040000u);  // WS_EX_APPWINDOW
    EXPECT_EQ(dialog->cx, 191);
    EXPECT_EQ(dialog->cy, 169);
    EXPECT_EQ(dialog->title, u"サンプル ｱﾝｲﾝｽﾄｰﾗｰ");
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(dialog->weight, 0);
    EXPECT_EQ(dialog->italic, 0);
    EXPECT_EQ(dialog->charset, 1);
    EXPECT_EQ(dialog->faceName, u"ＭＳ Ｐゴシック");

    const ExpectedItem expected[] = {
        {"default push button", 0, 0, 0x50010001, 135, 150, 50, 14, 2, atom(kButtonAtom), named(u"ｷｬﾝｾﾙ")},
        {"push button with BS_NOTIFY", 0, 0, 0x50014000, 80, 150, 50, 14, 1, atom(kButtonAtom), named(u"実行")},
        {"check box by CONTROL", 0, 0, 0x50010003, 65, 125, 57, 10, IDC_SAMPLE_CHECK, named(u"Button"),
         named(u"ｽﾄｯｸ削除")},
        {"empty static", 0, 0, 0x50020000, 20, 10, 155, 8, IDC_SAMPLE_FOLDER, atom(kStaticAtom), named(u"")},
        {"static text", 0, 0, 0x50020000, 20, 20, 150, 25, kNoId, atom(kStaticAtom), named(u"  注意：消します。")},
        {"group box", 0, 0, 0x50000007, 5, 0, 180, 80, kNoId, atom(kButtonAtom), named(u"")},
        {"custom class with help id", 77, 0x00000200, 0x50010000, 1, 2, 3, 4, 1010, named(u"SampleClass"),
         named(u"x")},
    };
    ASSERT_EQ(dialog->items.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) expect_item(dialog->items[i], expected[i]);

    EXPECT_EQ(standard_class_atom(dialog->items[2].windowClass), kButtonAtom);
    EXPECT_EQ(standard_class_atom(dialog->items[6].windowClass), std::nullopt);
}

TEST_F(ModuleResources, EveryResourceCarriesTheJapaneseLanguage)
{
    const auto& entries = module_resources().entries();
    ASSERT_EQ(entries.size(), 8u);  // two images, a group, two dialogs, a version, two string blocks
    for (const ResourceEntry& entry : entries) EXPECT_EQ(entry.language, kLanguageJapanese);
    EXPECT_TRUE(find_resource(resource_id(ResourceType::Dialog), resource_id(IDD_SAMPLE_MAIN), kLanguageJapanese));
    EXPECT_FALSE(find_resource(resource_id(ResourceType::Dialog), resource_id(IDD_SAMPLE_MAIN), 0x0409));
}

// Strings 101 and 57344 live in blocks 7 and 3585; 57345 shares its block
// with 57344, and the ids around them in those blocks are gaps.
TEST_F(ModuleResources, StringsAreFoundInTheirBlocks)
{
    EXPECT_EQ(load_string(IDS_SAMPLE_MENU), u"ﾊﾞｰｼﾞｮﾝ情報(Sample) (&A)...");
    EXPECT_EQ(load_string(IDS_SAMPLE_TITLE), u"ﾐﾗﾍﾞﾙ ｱﾝｲﾝｽﾄﾗｰ");
    EXPECT_EQ(load_string(IDS_SAMPLE_OTHER), u"全角カナと半角ｶﾅ");
    EXPECT_TRUE(find_resource(resource_id(ResourceType::String), resource_id(7)));
    EXPECT_TRUE(find_resource(resource_id(ResourceType::String), resource_id(3585)));
    for (UINT missing : {0u, 100u, 102u, 111u, 57343u, 57346u, 65535u, 70000u}) {
        SCOPED_TRACE(missing);
        EXPECT_EQ(load_string(missing), std::nullopt);
    }
}

// Half-width katakana become single bytes 0xA1-0xDF, the rest double bytes.
TEST_F(ModuleResources, StringsConvertToCodePage932ByteForByte)
{
    EXPECT_EQ(load_string_cp932(IDS_SAMPLE_TITLE),
              std::string("\xD0\xD7\xCD\xDE\xD9\x20\xB1\xDD\xB2\xDD\xBD\xC4\xD7\xB0"));
    EXPECT_EQ(load_string_cp932(IDS_SAMPLE_OTHER),
              std::string("\x91\x53\x8A\x70\x83\x4A\x83\x69\x82\xC6\x94\xBC\x8A\x70\xB6\xC5"));
}

// The icon: a group of a 32 x 32 and a 16 x 16 image, 8 bits per pixel with
// a mask: 40 + 1024 + 1024 + 128 and 40 + 1024 + 256 + 64 bytes.
TEST_F(ModuleResources, IconGroupListsBothImagesWithTheirSizes)
{
    std::optional<std::span<const std::uint8_t>> group =
        find_resource(resource_id(ResourceType::GroupIcon), resource_id(IDR_SAMPLE_ICON));
    ASSERT_TRUE(group);
    std::optional<std::vector<IconGroupEntry>> entries = parse_icon_group(*group);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    const struct {
        int size;
        DWORD bytes;
    } expected[] = {{32, 2216}, {16, 1384}};
    for (std::size_t i = 0; i < 2; ++i) {
        const IconGroupEntry& entry = (*entries)[i];
        EXPECT_EQ(entry.width, expected[i].size);
        EXPECT_EQ(entry.height, expected[i].size);
        EXPECT_EQ(entry.bitCount, 8);
        EXPECT_EQ(entry.bytesInResource, expected[i].bytes);
        std::optional<std::span<const std::uint8_t>> image =
            find_resource(resource_id(ResourceType::Icon), resource_id(entry.imageId));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->size(), expected[i].bytes);
        std::optional<IconImageInfo> info = describe_icon_image(*image);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->width, expected[i].size);
        EXPECT_EQ(info->height, expected[i].size);
        EXPECT_EQ(info->bitCount, 8);
    }
}

TEST_F(ModuleResources, IconHandlesDescribeTheImageOfTheRequestedSize)
{
    HICON large = load_module_icon(resource_id(IDR_SAMPLE_ICON), kLargeIconSize);
    HICON small = load_module_icon(resource_id(IDR_SAMPLE_ICON), kSmallIconSize);
    ASSERT_NE(large, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_NE(large, small);
    EXPECT_EQ(load_module_icon(resource_id(IDR_SAMPLE_ICON), kLargeIconSize), large);

    std::optional<IconInfo> info = describe_icon(large);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 32);
    EXPECT_EQ(info->height, 32);
    EXPECT_EQ(info->bitCount, 8);
    EXPECT_EQ(info->byteSize, 2216u);
    EXPECT_EQ(info->image.size(), 2216u);
    info = describe_icon(small);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 16);
    EXPECT_EQ(info->byteSize, 1384u);

    EXPECT_EQ(load_module_icon(resource_id(129)), nullptr);
    EXPECT_EQ(describe_icon(reinterpret_cast<HICON>(&info)), std::nullopt);
}

TEST_F(ModuleResources, VersionBlockHoldsFixedInfoStringsAndTranslation)
{
    std::optional<std::span<const std::uint8_t>> bytes =
        find_resource(resource_id(ResourceType::Version), resource_id(1));
    ASSERT_TRUE(bytes);
    std::optional<VersionInfo> version = parse_version_info(*bytes);
    ASSERT_TRUE(version);
    ASSERT_TRUE(version->fixed);
    const FixedFileInfo& fixed = *version->fixed;
    EXPECT_EQ(fixed.signature, kFixedFileInfoSignature);
    EXPECT_EQ(fixed.fileVersionMS, 0x00010000u);  // 1,0
    EXPECT_EQ(fixed.fileVersionLS, 0x00000001u);  // 0,1
    EXPECT_EQ(fixed.productVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.productVersionLS, 0x00000001u);
    EXPECT_EQ(fixed.fileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.fileFlags, 0u);
    EXPECT_EQ(fixed.fileOS, 4u);    // VOS__WINDOWS32
    EXPECT_EQ(fixed.fileType, 1u);  // VFT_APP
    EXPECT_EQ(fixed.fileSubtype, 0u);

    ASSERT_EQ(version->stringTables.size(), 1u);
    const VersionStringTable& table = version->stringTables[0];
    EXPECT_EQ(table.key, u"041104b0");
    const std::vector<std::pair<std::u16string, std::u16string>> expected = {
        {u"FileDescription", u"ｻﾝﾌﾟﾙ ｱﾌﾟﾘｹｰｼｮﾝ"},
        {u"FileVersion", u"Version 1.0"},
        {u"InternalName", u"SAMPLE"},
    };
    EXPECT_EQ(table.values, expected);
    ASSERT_NE(version->find_value(u"041104b0", u"InternalName"), nullptr);
    EXPECT_EQ(version->find_value(u"040904b0", u"InternalName"), nullptr);

    ASSERT_EQ(version->translations.size(), 1u);
    EXPECT_EQ(version->translations[0].language, 0x0411);
    EXPECT_EQ(version->translations[0].codePage, 1200);
}

// Every shortened copy of a real template and version block is refused
// (the sanitizers would report a read past the end).
TEST_F(ModuleResources, TruncatedCopiesOfRealResourcesAreRefused)
{
    for (WORD id : {IDD_SAMPLE_ABOUT, IDD_SAMPLE_MAIN}) {
        auto bytes = find_resource(resource_id(ResourceType::Dialog), resource_id(id));
        ASSERT_TRUE(bytes);
        ASSERT_TRUE(parse_dialog_template(*bytes));
        // The last item's creation-data count ends the template.
        for (std::size_t size = 0; size < bytes->size(); ++size) {
            std::vector<std::uint8_t> copy(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_FALSE(parse_dialog_template(copy)) << "dialog " << id << " cut to " << size;
        }
    }
    auto version = find_resource(resource_id(ResourceType::Version), resource_id(1));
    ASSERT_TRUE(version);
    for (std::size_t size = 0; size < version->size(); ++size) {
        std::vector<std::uint8_t> copy(version->begin(), version->begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(parse_version_info(copy)) << "version block cut to " << size;
    }
}
