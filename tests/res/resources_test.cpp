// The uninstaller's resources as compiled into a program: the two dialog
// templates, the strings, the icon and the version block, value by value.
// This file is compiled like the program's code, so its literals are code
// page 932; every text is compared in that code page, byte for byte.

#include "platform/mfc.h"
#include "platform/resources/icon_group.h"
#include "platform/resources/icons.h"
#include "platform/resources/module_resources.h"
#include "platform/resources/version_info.h"
#include "platform/text/codepage.h"
#include "res/resource.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace platform::resources;

namespace {

constexpr DWORD kStaticId16 = 0xFFFF;          // IDC_STATIC in a DIALOG template
constexpr DWORD kStaticId32 = 0xFFFFFFFF;      // IDC_STATIC in a DIALOGEX template
constexpr const char* kFontFace = "ＭＳ Ｐゴシック";

// A resource text in code page 932; fails the test when it has a character
// that code page 932 cannot express.
std::string cp932(const std::u16string& text)
{
    bool lossy = false;
    std::string converted = platform::text::utf16_to_cp932(text, &lossy);
    EXPECT_FALSE(lossy) << "not within code page 932: " << platform::text::utf16_to_utf8(text);
    return converted;
}

std::string name_text(const NameOrId& text)
{
    EXPECT_FALSE(text.is_id());
    return cp932(text.name);
}

struct ExpectedControl {
    const char* what;
    DWORD id;
    WORD classAtom;
    const char* text;  // null: the text is the icon resource IDR_MAINFRAME
    DWORD style;
    short x, y, cx, cy;
};

void expect_controls(const DialogTemplate& dialog, const ExpectedControl* expected, std::size_t count)
{
    ASSERT_EQ(dialog.items.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const DialogItem& item = dialog.items[i];
        const ExpectedControl& want = expected[i];
        SCOPED_TRACE(want.what);
        EXPECT_EQ(item.id, want.id);
        ASSERT_TRUE(item.windowClass.is_id()) << "class stored by name";
        EXPECT_EQ(*item.windowClass.id, want.classAtom);
        if (want.text) {
            EXPECT_EQ(name_text(item.text), want.text);
        } else {
            ASSERT_TRUE(item.text.is_id());
            EXPECT_EQ(*item.text.id, IDR_MAINFRAME);
        }
        EXPECT_EQ(item.style, want.style);
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_TRUE(item.creationData.empty());
    }
}

class UninstallerResources : public ::testing::Test {
protected:
    testsupport::TempMachine m_machine;
};

TEST_F(UninstallerResources, IdentifiersHaveTheirNumbers)
{
    EXPECT_EQ(IDD_ABOUTBOX, 100);
    EXPECT_EQ(IDS_ABOUTBOX, 101);
    EXPECT_EQ(IDD_UNINSTALL_DIALOG, 102);
    EXPECT_EQ(IDR_MAINFRAME, 128);
    EXPECT_EQ(IDC_DELETE_STOCKBOOK, 1001);
    EXPECT_EQ(IDC_INSTALL_DIR, 1003);
    EXPECT_EQ(IDM_ABOUTBOX, 0x0010);
}

TEST_F(UninstallerResources, EveryResourceIsJapanese)
{
    const auto& entries = module_resources().entries();
    ASSERT_FALSE(entries.empty());
    for (const ResourceEntry& entry : entries) {
        if (entry.type.is_id() && *entry.type.id == 0)
            continue;  // the empty header that opens every .res file
        EXPECT_EQ(entry.language, kLanguageJapanese)
            << "type " << (entry.type.is_id() ? *entry.type.id : 0) << " name "
            << (entry.name.is_id() ? *entry.name.id : 0);
    }
}

TEST_F(UninstallerResources, MainDialogTemplate)
{
    const auto dialog = load_dialog_template(IDD_UNINSTALL_DIALOG);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->extended);
    EXPECT_EQ(dialog->version, 1);
    EXPECT_EQ(dialog->helpId, 0u);
    EXPECT_EQ(dialog->style, 0x90C800C0u);
    EXPECT_EQ(dialog->exStyle, 0x00040000u);
    EXPECT_EQ(dialog->x, 0);
    EXPECT_EQ(dialog->y, 0);
    EXPECT_EQ(dialog->cx, 191);
    EXPECT_EQ(dialog->cy, 169);
    EXPECT_TRUE(!dialog->menu.is_id() && dialog->menu.name.empty());
    EXPECT_TRUE(!dialog->windowClass.is_id() && dialog->windowClass.name.empty());
    EXPECT_EQ(cp932(dialog->title), "ミラベルLE ｱﾝｲﾝｽﾄｰﾗｰ");
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(dialog->weight, 0);
    EXPECT_EQ(dialog->italic, 0);
    EXPECT_EQ(dialog->charset, 1);
    EXPECT_EQ(cp932(dialog->faceName), kFontFace);

    const ExpectedControl expected[] = {
        {"Cancel", IDCANCEL, kButtonAtom, "ｷｬﾝｾﾙ", 0x50030001, 135, 150, 50, 14},
        {"Execute", IDOK, kButtonAtom, "実行", 0x50014000, 80, 150, 50, 14},
        {"stock-book check box", IDC_DELETE_STOCKBOOK, kButtonAtom, "ｽﾄｯｸﾌﾞｯｸ削除", 0x50010003, 65, 125, 57, 10},
        {"install folder", IDC_INSTALL_DIR, kStaticAtom, "", 0x50020000, 20, 10, 155, 8},
        {"first sentence", kStaticId32, kStaticAtom, "  にインストールされている ミラベルLE を削除します。",
         0x50020000, 20, 20, 150, 25},
        {"second sentence", kStaticId32, kStaticAtom,
         "  削除する場合は実行を押してください。やめる場合はキャンセルを押してください。", 0x50020000, 20, 50, 155,
         25},
        {"warning", kStaticId32, kStaticAtom,
         "  注意：アンインストールを実行するとストックブックも削除されてしまいます。削除したくない場合は、下のチェッ"
         "クをはずして下さい。",
         0x50020000, 20, 90, 155, 30},
        {"upper group box", kStaticId32, kButtonAtom, "", 0x50000007, 5, 0, 180, 80},
        {"lower group box", kStaticId32, kButtonAtom, "", 0x50000007, 5, 80, 180, 60},
    };
    expect_controls(*dialog, expected, std::size(expected));
}

TEST_F(UninstallerResources, AboutBoxTemplate)
{
    const auto dialog = load_dialog_template(IDD_ABOUTBOX);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->style, 0x80C800C0u);
    EXPECT_EQ(dialog->exStyle, 0u);
    EXPECT_EQ(dialog->x, 0);
    EXPECT_EQ(dialog->y, 0);
    EXPECT_EQ(dialog->cx, 217);
    EXPECT_EQ(dialog->cy, 55);
    EXPECT_TRUE(!dialog->menu.is_id() && dialog->menu.name.empty());
    EXPECT_TRUE(!dialog->windowClass.is_id() && dialog->windowClass.name.empty());
    EXPECT_EQ(cp932(dialog->title), "ﾊﾞｰｼﾞｮﾝ情報 MR7Uninstall");
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(cp932(dialog->faceName), kFontFace);

    const ExpectedControl expected[] = {
        {"icon", kStaticId16, kStaticAtom, nullptr, 0x50000003, 11, 17, 20, 20},
        {"name and version", kStaticId16, kStaticAtom, "MR7Uninstall Version 1.0", 0x50020080, 40, 10, 119, 8},
        {"copyright", kStaticId16, kStaticAtom, "Copyright (C) 2026 VKL", 0x50020000, 40, 25, 119, 8},
        {"OK", IDOK, kButtonAtom, "OK", 0x50030001, 178, 7, 32, 14},
    };
    expect_controls(*dialog, expected, std::size(expected));
}

TEST_F(UninstallerResources, StringsThroughLoadString)
{
    char buffer[256];
    ASSERT_GT(::LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid) (&A)...");
    ASSERT_GT(::LoadStringA(AfxGetResourceHandle(), AFX_IDS_APP_TITLE, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "ﾐﾗﾍﾞﾙLE ｱﾝｲﾝｽﾄﾗｰ");
    EXPECT_EQ(AFX_IDS_APP_TITLE, 57344);

    // The half-width katakana are single bytes: the title is 16 bytes long.
    EXPECT_EQ(std::string(buffer).size(), 16u);
}

TEST_F(UninstallerResources, IconHasTwoImagesOfTheirSizes)
{
    const auto group = find_resource(resource_id(ResourceType::GroupIcon), resource_id(IDR_MAINFRAME));
    ASSERT_TRUE(group);
    const auto entries = parse_icon_group(*group);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);

    struct Want {
        int size;
        DWORD bytes;
    };
    const Want wants[] = {{32, 2216}, {16, 1384}};
    for (std::size_t i = 0; i < 2; ++i) {
        const IconGroupEntry& entry = (*entries)[i];
        SCOPED_TRACE(wants[i].size);
        EXPECT_EQ(entry.width, wants[i].size);
        EXPECT_EQ(entry.height, wants[i].size);
        EXPECT_EQ(entry.bitCount, 8);
        EXPECT_EQ(entry.colorCount, 0);  // 256 colours
        EXPECT_EQ(entry.bytesInResource, wants[i].bytes);
        const auto image = find_resource(resource_id(ResourceType::Icon), resource_id(entry.imageId));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->size(), wants[i].bytes);
        const auto info = describe_icon_image(*image);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->width, wants[i].size);
        EXPECT_EQ(info->height, wants[i].size);
        EXPECT_EQ(info->bitCount, 8);
        EXPECT_FALSE(info->isPng);
    }

    // What the dialogs load: the large image, the same shared handle each time.
    HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon, ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME)));
    const auto shown = describe_icon(icon);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->width, 32);
    EXPECT_EQ(shown->byteSize, 2216u);
}

TEST_F(UninstallerResources, VersionBlock)
{
    const auto bytes = find_resource(resource_id(ResourceType::Version), resource_id(1));
    ASSERT_TRUE(bytes);
    const auto version = parse_version_info(*bytes);
    ASSERT_TRUE(version);
    ASSERT_TRUE(version->fixed);
    const FixedFileInfo& fixed = *version->fixed;
    EXPECT_EQ(fixed.signature, kFixedFileInfoSignature);
    EXPECT_EQ(fixed.fileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.fileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed.productVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.productVersionLS, 0x00000001u);
    EXPECT_EQ(fixed.fileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.fileFlags, 0u);
    EXPECT_EQ(fixed.fileOS, 4u);
    EXPECT_EQ(fixed.fileType, 1u);
    EXPECT_EQ(fixed.fileSubtype, 0u);

    ASSERT_EQ(version->stringTables.size(), 1u);
    const VersionStringTable& table = version->stringTables[0];
    EXPECT_EQ(table.key, u"041104b0");
    const std::pair<const char*, const char*> wanted[] = {
        {"FileDescription", "ﾐﾗﾍﾞﾙLE ｱﾝｲﾝｽﾄｰﾙ ｱﾌﾟﾘｹｰｼｮﾝ"},
        {"FileVersion", "Version 1.0"},
        {"InternalName", "ZAVOVIVAZERID"},
        {"OriginalFilename", "ZAVOVIVAZERID.EXE"},
        {"ProductName", "ZAVOVIVAZERID ｱﾌﾟﾘｹｰｼｮﾝ"},
        {"ProductVersion", "Version 1.0"},
        {"CompanyName", "VKL"},
        {"LegalCopyright", "Copyright (C) 2026 VKL"},
    };
    for (const auto& [key, value] : wanted) {
        SCOPED_TRACE(key);
        const std::u16string* found = version->find_value(u"041104b0", platform::text::cp932_to_utf16(key));
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(cp932(*found), value);
    }
    EXPECT_EQ(table.values.size(), std::size(wanted));

    ASSERT_EQ(version->translations.size(), 1u);
    EXPECT_EQ(version->translations[0].language, 0x0411);
    EXPECT_EQ(version->translations[0].codePage, 1200);
}

// The committed icon file is what its drawing script makes.
TEST(UninstallerIconFile, IsWhatTheScriptDraws)
{
    if (std::system("python3 --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 is not installed";
    testsupport::TempDir dir;
    const auto drawn = dir.path() / "drawn.ico";
    const std::string command =
        std::string("python3 '") + MR7_RES_DIR + "/make_icon.py' '" + drawn.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string committed = testsupport::read_file(std::string(MR7_RES_DIR) + "/mr7uninstall.ico");
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(testsupport::read_file(drawn) == committed);
    EXPECT_EQ(committed.size(), 6u + 2 * 16 + 2216 + 1384);
}

}  // namespace
