// The Execute button of the real main dialog, worked by the scripted front
// end on machine folders in which the product is installed in various ways.
// Literals here are code page 932, as in the system; host names are UTF-8.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/UninstallApp.h"
#include "app/UninstallDlg.h"
#include "platform/faults/faults.h"
#include "platform/frontend/scripted/scripted_frontend.h"
#include "platform/text/codepage.h"
#include "tests/platform/windows_shared/standin_process.h"
#include "tests/platform/registry/registry_test_support.h"
#include "tests/support/temp_machine.h"

namespace {

namespace fs = std::filesystem;
using platform::frontend::scripted::Event;
using platform::frontend::scripted::ScriptedFrontEnd;

// What the user is shown, in code page 932.
const char kCaption[] = "ﾐﾗﾍﾞﾙLE ｱﾝｲﾝｽﾄﾗｰ";
const char kMainRunning[] = "ミラベルLE が起動しています。終了させてから実行してください。";
const char kExplorerRunning[] = "ミラベルLE エクスプローラが起動しています。終了させてから実行してください。";
const char kConfirm[] = "ｱﾝｲﾝｽﾄｰﾙを実行します。よろしいですか？";
const char kNothing[] = "削除されているか、削除に失敗しました。";
const char kComplete[] = "完全に削除しました。";
const char kRemoved[] = "削除に成功しました。";

const char kMainClass[] = "MRLE_MainWindow_Tov@vkl";
const char kExplorerClass[] = "MRLE_Explorer@vkl";

const std::u16string kInstallDir = u"C:\\Program Files\\ミラベルLE";

using registrytest::reg_string;

enum class Family { win7, win2k, nt4, win98 };

// How the product was left on the machine.
struct Installed {
    Family family = Family::win7;
    bool makerKey = true;
    bool productKey = true;
    bool versionKey = true;
    bool stockBookValue = true;
    std::u16string stockBook = u"C:\\Data\\Book";
    bool grandchild = false;  // 7.0\Settings\Deep
    bool uninstallEntry = true;
};

class UninstallTest : public ::testing::Test {
protected:
    testsupport::TempMachine machine;
    testsupport::TempMachine* tm = &machine;  // the machine selected now
    fs::path c;

    // A machine of its own for one row of a table: selected while it lives,
    // the fixture's machine selected again when it goes.
    class RowMachine {
    public:
        explicit RowMachine(UninstallTest& test) : m_test(test)
        {
            m_test.c = m_machine.add_drive('c');
            m_test.tm = &m_machine;
        }
        ~RowMachine()
        {
            m_test.c = m_test.machine.drive('c');
            m_test.tm = &m_test.machine;
        }
        RowMachine(const RowMachine&) = delete;
        RowMachine& operator=(const RowMachine&) = delete;

    private:
        UninstallTest& m_test;
        testsupport::TempMachine m_machine;
    };

    void SetUp() override
    {
        platform::faults::clear();
        c = machine.add_drive('c');
        ASSERT_TRUE(AfxWinInit());
    }
    void TearDown() override { platform::faults::clear(); }

    // The host path of a full Windows path on drive C:.
    fs::path host(std::u16string_view windowsPath) const
    {
        std::string utf8 = platform::text::utf16_to_utf8(windowsPath.substr(3));
        for (char& ch : utf8) {
            if (ch == '\\')
                ch = '/';
        }
        return c / utf8;
    }
    void file(std::u16string_view windowsPath, const char* content = "data") const
    {
        fs::path path = host(windowsPath);
        fs::create_directories(path.parent_path());
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(content, f);
        std::fclose(f);
    }
    bool exists(std::u16string_view windowsPath) const { return fs::exists(fs::symlink_status(host(windowsPath))); }
    void read_only(std::u16string_view windowsPath) const
    {
        fs::permissions(host(windowsPath), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    }

    static bool key_exists(const char* path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    static std::u16string group_of(Family family)
    {
        switch (family) {
        case Family::win98:
            return u"C:\\WINDOWS\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ミラベルLE";
        case Family::nt4:
            return u"C:\\WINNT\\Profiles\\All Users\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ミラベルLE";
        case Family::win2k:
            return u"C:\\Documents and Settings\\All Users\\ｽﾀｰﾄ ﾒﾆｭｰ\\プログラム\\ミラベルLE";
        case Family::win7:
            break;
        }
        return u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\プログラム\\ミラベルLE";
    }

    // Another program's group beside the product's.
    static std::u16string neighbour_group_of(Family family)
    {
        std::u16string group = group_of(family);
        return group.substr(0, group.rfind(u'\\')) + u"\\Other\\keep.lnk";
    }

    // The registry and the folders the installer leaves, and a neighbour of
    // each that must stay.
    void install(const Installed& p)
    {
        std::string r;
        switch (p.family) {
        case Family::win7:
            r += "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n\"CurrentVersion\"=\"6.1\"\n"
                 "\"SystemRoot\"=\"C:\\\\windows\"\n";
            break;
        case Family::win2k:
            r += "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n\"CurrentVersion\"=\"5.0\"\n"
                 "\"SystemRoot\"=\"C:\\\\WINNT\"\n"
                 "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n"
                 "\"Common Start Menu\"=" +
                 reg_string(u"C:\\Documents and Settings\\All Users\\ｽﾀｰﾄ ﾒﾆｭｰ") + "\n";
            break;
        case Family::nt4:
            r += "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n\"CurrentVersion\"=\"4.0\"\n"
                 "\"SystemRoot\"=\"C:\\\\WINNT\"\n";
            break;
        case Family::win98:
            r += "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n\"VersionNumber\"=\"4.10.2222\"\n"
                 "\"SystemRoot\"=\"C:\\\\WINDOWS\"\n";
            break;
        }
        if (p.makerKey) {
            r += "[Software\\\\VKL\\\\OtherProduct] 1\n\"Keep\"=\"yes\"\n";
            if (p.productKey) {
                r += "[Software\\\\VKL\\\\MirabelLE] 1\n";
                if (p.stockBookValue)
                    r += "\"StockBookPath\"=" + reg_string(p.stockBook) + "\n";
                if (p.versionKey) {
                    r += "[Software\\\\VKL\\\\MirabelLE\\\\7.0] 1\n\"DIRECTORY\"=" + reg_string(kInstallDir) + "\n";
                    r += "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\Recent] 1\n\"File1\"=\"a\"\n";
                    r += "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\Settings] 1\n\"Mode\"=\"b\"\n";
                    if (p.grandchild)
                        r += "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\Settings\\\\Deep] 1\n\"X\"=\"c\"\n";
                    r += "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\Zoom] 1\n\"Z\"=\"d\"\n";
                }
            }
        }
        r += "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Other] 1\n\"DisplayName\"=\"x\"\n";
        if (p.uninstallEntry)
            r += "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\MirabelLE] 1\n\"DisplayName\"=" +
                 reg_string(u"ミラベルLE") + "\n";
        tm->write_registry(r);

        file(kInstallDir + u"\\Readme.txt");
        file(kInstallDir + u"\\Bin\\App.exe");
        file(kInstallDir + u"\\データ\\表.dat");
        file(u"C:\\Program Files\\Other\\keep.txt");
        if (p.stockBook.size() > 3 && p.stockBook[1] == u':')
            file(p.stockBook + (p.stockBook.back() == u'\\' ? u"" : u"\\") + u"Book1.dat");
        file(group_of(p.family) + u"\\ミラベルLE.lnk");
        file(neighbour_group_of(p.family));
    }

    bool product_keys_gone() const { return !key_exists("Software\\VKL\\MirabelLE"); }
    bool neighbours_kept() const
    {
        return key_exists("Software\\VKL\\OtherProduct") &&
               key_exists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other") &&
               exists(u"C:\\Program Files\\Other\\keep.txt");
    }

    // Runs the main dialog as the program does; `script` queues the user's
    // actions before it starts. Returns what DoModal returned.
    INT_PTR run(ScriptedFrontEnd& screen, CUninstallDlg& dlg)
    {
        theApp.m_pMainWnd = &dlg;
        const INT_PTR result = dlg.DoModal();
        EXPECT_EQ(screen.actions_left(), 0u);
        return result;
    }

    // Execute, Yes, and OK on the report: the whole of a normal run.
    // Returns the report's message box.
    // Presses Execute and Yes, then OK on the report, which it returns.
    // `meanwhile` runs while the dialog waits, before Execute is pressed.
    Event execute(bool tickBox = true, std::function<void()> meanwhile = {})
    {
        ScriptedFrontEnd screen;
        CUninstallDlg dlg;
        if (!tickBox)
            screen.click(IDC_DELETE_STOCKBOOK);
        if (meanwhile)
            screen.then([&meanwhile](HWND) { meanwhile(); });
        screen.click(IDOK);
        screen.answer_message_box(IDYES);
        screen.answer_message_box(IDOK);
        EXPECT_EQ(run(screen, dlg), IDOK);
        const auto boxes = screen.events(Event::Kind::MessageBoxShown);
        EXPECT_EQ(boxes.size(), 2u);
        if (boxes.size() != 2)
            return {};
        EXPECT_EQ(boxes[0].textA, kConfirm);
        EXPECT_EQ(boxes[0].type, UINT(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(boxes[0].captionA, kCaption);
        EXPECT_EQ(boxes[1].captionA, kCaption);
        EXPECT_EQ(boxes[1].type, UINT(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(boxes[1].owner, boxes[0].owner);
        return boxes[1];
    }
};

TEST_F(UninstallTest, EverythingPresentWithTheBoxTicked)
{
    for (Family family : {Family::win7, Family::win2k, Family::nt4, Family::win98}) {
        SCOPED_TRACE(int(family));
        RowMachine each(*this);
        Installed p;
        p.family = family;
        install(p);
        // A decoy where a path built on the Windows directory would point.
        file(u"C:\\WINNT\\プログラム\\ミラベルLE\\decoy.lnk");
        Event report = execute();
        EXPECT_EQ(report.textA, kComplete);
        EXPECT_FALSE(exists(kInstallDir));
        EXPECT_FALSE(exists(u"C:\\Data\\Book"));
        EXPECT_TRUE(exists(u"C:\\Data"));
        EXPECT_FALSE(exists(group_of(family)));
        EXPECT_TRUE(exists(neighbour_group_of(family)));
        EXPECT_TRUE(exists(u"C:\\WINNT\\プログラム\\ミラベルLE\\decoy.lnk"));
        EXPECT_TRUE(product_keys_gone());
        EXPECT_TRUE(key_exists("Software\\VKL"));
        EXPECT_FALSE(key_exists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MirabelLE"));
        EXPECT_TRUE(neighbours_kept());
    }
}

TEST_F(UninstallTest, BoxClearedKeepsTheStockBook)
{
    struct Case {
        const char* name;
        std::u16string stockBook;  // empty: no value at all
        std::u16string spared;     // the folder inside the install folder that stays, if any
    } cases[] = {
        {"elsewhere", u"C:\\Data\\Book", u""},
        {"inside the install folder", kInstallDir + u"\\Book", u"Book"},
        {"no backslash in the value", u"Book", u"Book"},
        {"表 in the last component", kInstallDir + u"\\表", u"表"},
        {"ソ in the last component", kInstallDir + u"\\ソフト", u"ソフト"},
        {"trailing backslash", kInstallDir + u"\\Book\\", u"Book"},
        {"no stock-book value", u"", u""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RowMachine each(*this);
        Installed p;
        p.stockBookValue = !k.stockBook.empty();
        p.stockBook = k.stockBook;
        install(p);
        if (!k.spared.empty())
            file(kInstallDir + u"\\" + k.spared + u"\\Book1.dat");
        // A folder of the same name elsewhere in the tree is not spared.
        file(kInstallDir + u"\\Bin\\Book\\x.dat");
        Event report = execute(false);
        EXPECT_EQ(report.textA, kRemoved);
        if (k.spared.empty()) {
            EXPECT_FALSE(exists(kInstallDir));
        } else {
            EXPECT_TRUE(exists(kInstallDir + u"\\" + k.spared + u"\\Book1.dat"));
            EXPECT_FALSE(exists(kInstallDir + u"\\Readme.txt"));
            EXPECT_FALSE(exists(kInstallDir + u"\\Bin"));
            EXPECT_FALSE(exists(kInstallDir + u"\\データ"));
        }
        if (k.stockBook == u"C:\\Data\\Book") {
            EXPECT_TRUE(exists(u"C:\\Data\\Book\\Book1.dat"));
        }
        EXPECT_FALSE(exists(group_of(Family::win7)));
        EXPECT_TRUE(product_keys_gone());
        EXPECT_TRUE(neighbours_kept());
    }
}

TEST_F(UninstallTest, FailedFolderRemovalsCountInAAndBButNotInC)
{
    {
        // Read-only files in the stock book and the install folder: both
        // stages still count, and everything else goes.
        Installed p;
        install(p);
        read_only(u"C:\\Data\\Book\\Book1.dat");
        read_only(kInstallDir + u"\\Bin\\App.exe");
        Event report = execute();
        EXPECT_EQ(report.textA, kComplete);
        EXPECT_TRUE(exists(u"C:\\Data\\Book\\Book1.dat"));
        EXPECT_TRUE(exists(kInstallDir + u"\\Bin\\App.exe"));
        EXPECT_TRUE(product_keys_gone());
    }
    RowMachine each(*this);
    Installed p;
    install(p);
    read_only(group_of(Family::win7) + u"\\ミラベルLE.lnk");
    Event report = execute();
    EXPECT_EQ(report.textA, kRemoved);
    EXPECT_TRUE(exists(group_of(Family::win7) + u"\\ミラベルLE.lnk"));
    EXPECT_FALSE(exists(kInstallDir));
    EXPECT_TRUE(product_keys_gone());
}

TEST_F(UninstallTest, NtFamilyWithAGrandchildBelowTheVersionKey)
{
    Installed p;
    p.grandchild = true;
    install(p);
    Event report = execute();
    EXPECT_EQ(report.textA, kRemoved);
    // The children after the one that failed are still deleted.
    EXPECT_FALSE(key_exists("Software\\VKL\\MirabelLE\\7.0\\Recent"));
    EXPECT_FALSE(key_exists("Software\\VKL\\MirabelLE\\7.0\\Zoom"));
    EXPECT_TRUE(key_exists("Software\\VKL\\MirabelLE\\7.0\\Settings\\Deep"));
    EXPECT_TRUE(key_exists("Software\\VKL\\MirabelLE\\7.0"));
    EXPECT_FALSE(key_exists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MirabelLE"));
    EXPECT_FALSE(exists(kInstallDir));
    EXPECT_TRUE(neighbours_kept());
}

TEST_F(UninstallTest, NtFamilyWithTheVersionKeyGoneMeanwhile)
{
    // The version key disappears between the first display and Execute, as
    // when another uninstaller ran meanwhile; only "MirabelLE" remains.
    Installed p;
    install(p);
    const Event report = execute(true, [] {
        for (const char* child : {"Recent", "Settings", "Zoom"}) {
            HKEY key = nullptr;
            ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\VKL\\MirabelLE\\7.0", 0, KEY_ALL_ACCESS, &key), 0);
            EXPECT_EQ(RegDeleteKeyA(key, child), 0);
            RegCloseKey(key);
        }
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\VKL\\MirabelLE", 0, KEY_ALL_ACCESS, &key), 0);
        EXPECT_EQ(RegDeleteKeyA(key, "7.0"), 0);
        RegCloseKey(key);
    });
    // A, C and E count; B finds no key; D fails on "7.0" and is not counted.
    EXPECT_EQ(report.textA, kRemoved);
    EXPECT_FALSE(exists(u"C:\\Data\\Book"));
    EXPECT_TRUE(exists(kInstallDir + u"\\Readme.txt"));
    EXPECT_FALSE(exists(group_of(Family::win7)));
    EXPECT_TRUE(product_keys_gone());
    EXPECT_TRUE(neighbours_kept());
}

TEST_F(UninstallTest, NinetyFiveFamily)
{
    {
        // The whole subtree goes at once, grandchild and all.
        Installed p;
        p.family = Family::win98;
        p.grandchild = true;
        install(p);
        Event report = execute();
        EXPECT_EQ(report.textA, kComplete);
        EXPECT_TRUE(product_keys_gone());
        EXPECT_TRUE(key_exists("Software\\VKL"));
        EXPECT_TRUE(neighbours_kept());
    }
    // The maker key vanished meanwhile: stage D does nothing.
    RowMachine each(*this);
    Installed p;
    p.family = Family::win98;
    install(p);
    const Event report = execute(true, [] {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS, &key), 0);
        EXPECT_EQ(RegDeleteKeyA(key, "VKL"), 0);  // the 95 family deletes the subtree
        RegCloseKey(key);
    });
    // Only C and E count.
    EXPECT_EQ(report.textA, kRemoved);
    EXPECT_TRUE(exists(kInstallDir + u"\\Readme.txt"));
    EXPECT_TRUE(exists(u"C:\\Data\\Book\\Book1.dat"));
    EXPECT_FALSE(exists(group_of(Family::win98)));
    EXPECT_FALSE(key_exists("Software\\VKL"));
    EXPECT_FALSE(key_exists("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MirabelLE"));
}

TEST_F(UninstallTest, EverythingAlreadyGone)
{
    Installed p;
    install(p);
    const Event report = execute(true, [&] {
        // Another uninstaller ran meanwhile and left nothing.
        fs::remove_all(host(kInstallDir));
        fs::remove_all(host(u"C:\\Data\\Book"));
        fs::remove_all(host(group_of(Family::win7)));
        HKEY key = nullptr;
        for (const char* path : {"Software\\VKL\\MirabelLE\\7.0\\Recent", "Software\\VKL\\MirabelLE\\7.0\\Settings",
                                 "Software\\VKL\\MirabelLE\\7.0\\Zoom", "Software\\VKL\\MirabelLE\\7.0",
                                 "Software\\VKL\\MirabelLE",
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MirabelLE"}) {
            std::string parent(path, std::string(path).rfind('\\'));
            ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, KEY_ALL_ACCESS, &key), 0);
            EXPECT_EQ(RegDeleteKeyA(key, std::string(path).substr(parent.size() + 1).c_str()), 0);
            RegCloseKey(key);
        }
    });
    EXPECT_EQ(report.textA, kNothing);
    EXPECT_EQ(report.type, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(report.captionA, kCaption);
    EXPECT_TRUE(neighbours_kept());
}

TEST_F(UninstallTest, NoStartMenuPathWithoutTheSystemsFolders)
{
    struct Case {
        const char* name;
        Family family;
        const char* fault;
    } cases[] = {
        {"GetWindowsDirectoryA, NT", Family::win7, "GetWindowsDirectoryA"},
        {"GetWindowsDirectoryA, 2000", Family::win2k, "GetWindowsDirectoryA"},
        {"GetWindowsDirectoryA, 95", Family::win98, "GetWindowsDirectoryA"},
        {"GetWindowsDirectoryA, NT 4.0", Family::nt4, "GetWindowsDirectoryA"},
        {"SHGetSpecialFolderLocation", Family::win2k, "SHGetSpecialFolderLocation"},
        {"SHGetPathFromIDListA", Family::win2k, "SHGetPathFromIDListA"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RowMachine each(*this);
        Installed p;
        p.family = k.family;
        install(p);
        // Where a path would point if the buffer still held the Windows
        // directory, or nothing at all.
        file(u"C:\\WINNT\\プログラム\\ミラベルLE\\decoy.lnk");
        file(u"C:\\プログラム\\ミラベルLE\\decoy.lnk");
        platform::faults::inject(k.fault, platform::faults::Mode::always);
        Event report = execute();
        platform::faults::clear();
        EXPECT_EQ(report.textA, kRemoved);
        EXPECT_TRUE(exists(group_of(k.family) + u"\\ミラベルLE.lnk"));
        EXPECT_TRUE(exists(u"C:\\WINNT\\プログラム\\ミラベルLE\\decoy.lnk"));
        EXPECT_TRUE(exists(u"C:\\プログラム\\ミラベルLE\\decoy.lnk"));
        EXPECT_FALSE(exists(kInstallDir));
        EXPECT_TRUE(product_keys_gone());
    }
}

TEST_F(UninstallTest, AWindowsDirectoryTooLongForTheBufferBuildsNoStartMenuPath)
{
    struct Case {
        Family family;
        const char* key;
        const char* report;
        bool groupStays;
    } cases[] = {
        {Family::win98, "Software\\Microsoft\\Windows\\CurrentVersion", kRemoved, true},
        {Family::nt4, "Software\\Microsoft\\Windows NT\\CurrentVersion", kRemoved, true},
        // From 2000 on the group comes from the shell, not from the buffer.
        {Family::win2k, "Software\\Microsoft\\Windows NT\\CurrentVersion", kComplete, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.family));
        RowMachine each(*this);
        Installed p;
        p.family = k.family;
        install(p);
        const std::string longDirectory = "C:\\" + std::string(300, 'w');
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, k.key, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, "SystemRoot", 0, REG_SZ, reinterpret_cast<const BYTE*>(longDirectory.c_str()),
                                 static_cast<DWORD>(longDirectory.size() + 1)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        // Where a group path built on an empty buffer would point.
        file(u"C:\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ミラベルLE\\decoy.lnk");
        file(u"C:\\Profiles\\All Users\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ミラベルLE\\decoy.lnk");
        Event report = execute();
        EXPECT_EQ(report.textA, k.report);
        EXPECT_EQ(exists(group_of(k.family)), k.groupStays);
        EXPECT_TRUE(exists(u"C:\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ミラベルLE\\decoy.lnk"));
        EXPECT_TRUE(exists(u"C:\\Profiles\\All Users\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ミラベルLE\\decoy.lnk"));
        EXPECT_FALSE(exists(kInstallDir));
        EXPECT_TRUE(product_keys_gone());
    }
}

TEST_F(UninstallTest, NoToTheConfirmationChangesAndReadsNothing)
{
    Installed p;
    install(p);
    const std::string before = machine.read_system_reg();
    ScriptedFrontEnd screen;
    CUninstallDlg dlg;
    // The box is cleared on the screen, but the member keeps its value:
    // the procedure has not read the box when the user says No.
    screen.click(IDC_DELETE_STOCKBOOK);
    screen.click(IDOK);
    screen.answer_message_box(IDNO);
    screen.then([&](HWND active) {
        EXPECT_EQ(active, dlg.m_hWnd) << "the dialog stays open";
        EXPECT_TRUE(dlg.m_bDeleteStockBook);
    });
    screen.click(IDCANCEL);
    EXPECT_EQ(run(screen, dlg), IDCANCEL);
    const auto boxes = screen.events(Event::Kind::MessageBoxShown);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].textA, kConfirm);
    EXPECT_EQ(boxes[0].type, UINT(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(boxes[0].captionA, kCaption);
    EXPECT_EQ(machine.read_system_reg(), before);
    EXPECT_TRUE(exists(kInstallDir + u"\\データ\\表.dat"));
    EXPECT_TRUE(exists(u"C:\\Data\\Book\\Book1.dat"));
    EXPECT_TRUE(exists(group_of(Family::win7) + u"\\ミラベルLE.lnk"));
}

LRESULT plain_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class GuardTest : public UninstallTest {
protected:
    // Execute while the product runs: the guard's message, and then the
    // dialog is still open; Cancel ends it.
    std::vector<Event> execute_while_running()
    {
        ScriptedFrontEnd screen;
        CUninstallDlg dlg;
        screen.click(IDOK);
        screen.answer_message_box(IDOK);
        screen.then([&](HWND active) { EXPECT_EQ(active, dlg.m_hWnd) << "the dialog stays open"; });
        screen.click(IDCANCEL);
        EXPECT_EQ(run(screen, dlg), IDCANCEL);
        return screen.events(Event::Kind::MessageBoxShown);
    }
    void expect_untouched(const std::string& registryBefore)
    {
        EXPECT_EQ(machine.read_system_reg(), registryBefore);
        EXPECT_TRUE(exists(kInstallDir + u"\\データ\\表.dat"));
        EXPECT_TRUE(exists(u"C:\\Data\\Book\\Book1.dat"));
        EXPECT_TRUE(exists(group_of(Family::win7) + u"\\ミラベルLE.lnk"));
    }
};

TEST_F(GuardTest, BothProgramsOfThisProcessRunning)
{
    Installed p;
    install(p);
    const std::string before = machine.read_system_reg();
    for (const char* className : {kExplorerClass, kMainClass}) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = plain_proc;
        windowClass.lpszClassName = className;
        ASSERT_TRUE(RegisterClassA(&windowClass));
        ASSERT_NE(CreateWindowExA(0, className, "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                  nullptr),
                  nullptr);
    }
    const auto boxes = execute_while_running();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].textA, kMainRunning);
    EXPECT_EQ(boxes[0].type, UINT(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(boxes[0].captionA, kCaption);
    expect_untouched(before);
}

TEST_F(GuardTest, ProgramsRunningAsOtherProcesses)
{
    Installed p;
    install(p);
    const std::string before = machine.read_system_reg();
    {
        testsupport::StandinProcess explorer(kExplorerClass);
        ASSERT_TRUE(explorer.ready());
        const auto boxes = execute_while_running();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].textA, kExplorerRunning);
        EXPECT_EQ(boxes[0].type, UINT(MB_OK | MB_ICONSTOP));
        EXPECT_EQ(boxes[0].captionA, kCaption);

        testsupport::StandinProcess main(kMainClass);
        ASSERT_TRUE(main.ready());
        const auto both = execute_while_running();
        ASSERT_EQ(both.size(), 1u);
        EXPECT_EQ(both[0].textA, kMainRunning);
        expect_untouched(before);
        main.kill_now();
        explorer.kill_now();
    }
    // Once they are gone (killed, without tidying), the uninstall runs.
    Event report = execute();
    EXPECT_EQ(report.textA, kComplete);
    EXPECT_FALSE(exists(kInstallDir));
}

}  // namespace
