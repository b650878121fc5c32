// The ANSI resource functions and CString::LoadString over the sample
// script's resources, as the system's code calls them. This file's literals
// are code page 932, as in the system.

#include "platform/mfc.h"
#include "platform/resources/icons.h"
#include "platform/win32.h"
#include "tests/platform/resources/sample_resource.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class Win32Resources : public ::testing::Test {
protected:
    testsupport::TempMachine m_machine;
};

constexpr char kSentinel = '\x7F';

}  // namespace

TEST_F(Win32Resources, LoadStringCopiesTheCodePage932TextAndItsLength)
{
    char buffer[64];
    std::memset(buffer, kSentinel, sizeof buffer);
    int length = LoadStringA(AfxGetResourceHandle(), IDS_SAMPLE_TITLE, buffer, sizeof buffer);
    EXPECT_EQ(length, 14);
    EXPECT_STREQ(buffer, "\xD0\xD7\xCD\xDE\xD9\x20\xB1\xDD\xB2\xDD\xBD\xC4\xD7\xB0");
    EXPECT_STREQ(buffer, "ﾐﾗﾍﾞﾙ ｱﾝｲﾝｽﾄﾗｰ");
    EXPECT_EQ(buffer[15], kSentinel);  // nothing written past the terminator

    // A null instance names the program's own module too.
    EXPECT_EQ(LoadStringA(nullptr, IDS_SAMPLE_MENU, buffer, sizeof buffer), 27);
    EXPECT_STREQ(buffer, "ﾊﾞｰｼﾞｮﾝ情報(Sample) (&A)...");
}

// A short buffer takes what fits, never half of a double-byte character.
TEST_F(Win32Resources, LoadStringCutsAtACharacterBoundary)
{
    const struct {
        int bufferSize;
        int length;
        const char* text;
    } cases[] = {
        {1, 0, ""},
        {2, 0, ""},                      // "全" needs two bytes
        {3, 2, "\x91\x53"},              // "全"
        {4, 2, "\x91\x53"},
        {15, 14, "全角カナと半角"},
        {16, 15, "全角カナと半角ｶ"},     // a half-width character takes one byte
        {17, 16, "全角カナと半角ｶﾅ"},
        {32, 16, "全角カナと半角ｶﾅ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bufferSize);
        char buffer[40];
        std::memset(buffer, kSentinel, sizeof buffer);
        EXPECT_EQ(LoadStringA(AfxGetInstanceHandle(), IDS_SAMPLE_OTHER, buffer, c.bufferSize), c.length);
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(buffer[c.bufferSize], kSentinel);
    }
}

TEST_F(Win32Resources, MissingStringGivesZeroAndAnEmptyBuffer)
{
    char buffer[16];
    std::memset(buffer, kSentinel, sizeof buffer);
    EXPECT_EQ(LoadStringA(AfxGetResourceHandle(), 102, buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadStringA(AfxGetResourceHandle(), IDS_SAMPLE_TITLE, buffer, 0), 0);
    // Another module's handle finds nothing here.
    EXPECT_EQ(LoadStringA(reinterpret_cast<HINSTANCE>(0x10000000), IDS_SAMPLE_TITLE, buffer, sizeof buffer), 0);
}

TEST_F(Win32Resources, CStringLoadsTheStringOrBecomesEmpty)
{
    CString text("before");
    EXPECT_TRUE(text.LoadString(IDS_SAMPLE_OTHER));
    EXPECT_EQ(text, "全角カナと半角ｶﾅ");
    EXPECT_EQ(text.GetLength(), 16);
    EXPECT_TRUE(text.LoadString(AFX_IDS_APP_TITLE));
    EXPECT_EQ(text, "ﾐﾗﾍﾞﾙ ｱﾝｲﾝｽﾄﾗｰ");
    EXPECT_FALSE(text.LoadString(100));
    EXPECT_TRUE(text.IsEmpty());
}

// LoadIconA gives the 32 x 32 image, and the same shared handle every time.
TEST_F(Win32Resources, LoadIconGivesTheSharedLargeImage)
{
    HICON icon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_SAMPLE_ICON));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_SAMPLE_ICON)), icon);
    EXPECT_EQ(LoadIconA(AfxGetResourceHandle(), "#128"), icon);
    std::optional<platform::resources::IconInfo> info = platform::resources::describe_icon(icon);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 32);
    EXPECT_EQ(info->height, 32);
    EXPECT_EQ(info->bitCount, 8);
    EXPECT_EQ(info->byteSize, 2216u);

    EXPECT_EQ(LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDD_SAMPLE_MAIN)), nullptr);
    EXPECT_EQ(LoadIconA(AfxGetResourceHandle(), "NOSUCHICON"), nullptr);
    // A null instance means the system's icons, not the program's.
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCE(IDR_SAMPLE_ICON)), nullptr);
    HICON stop = LoadIconA(nullptr, IDI_HAND);
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(LoadIconA(nullptr, IDI_ERROR), stop);
    EXPECT_NE(LoadIconA(nullptr, IDI_EXCLAMATION), stop);
    EXPECT_EQ(platform::resources::describe_icon(stop)->standardId, 32513);
}

TEST_F(Win32Resources, FindLoadSizeofAndLockGiveTheRawBytes)
{
    EXPECT_TRUE(IS_INTRESOURCE(MAKEINTRESOURCE(57344)));
    EXPECT_FALSE(IS_INTRESOURCE("NAME"));

    HRSRC found = FindResourceA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_SAMPLE_ICON), RT_GROUP_ICON);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SizeofResource(AfxGetResourceHandle(), found), 6u + 2 * 14);
    HGLOBAL loaded = LoadResource(AfxGetResourceHandle(), found);
    ASSERT_NE(loaded, nullptr);
    const auto* bytes = static_cast<const BYTE*>(LockResource(loaded));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[2], 1);  // an icon directory
    EXPECT_EQ(bytes[4], 2);  // of two images

    EXPECT_NE(FindResourceExA(nullptr, RT_DIALOG, MAKEINTRESOURCE(IDD_SAMPLE_ABOUT), 0x0411), nullptr);
    EXPECT_EQ(FindResourceExA(nullptr, RT_DIALOG, MAKEINTRESOURCE(IDD_SAMPLE_ABOUT), 0x0409), nullptr);

    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCE(101), RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCE(1), RT_BITMAP), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_EQ(SizeofResource(nullptr, reinterpret_cast<HRSRC>(&found)), 0u);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
}
