// The folder tree removal on a machine's drive C:. Literals here are code
// page 932, as in the system; the host's names are UTF-8.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sched.h>
#include <set>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/UninstallDlg.h"
#include "platform/faults/faults.h"
#include "platform/machine/machine_folder.h"
#include "platform/text/codepage.h"
#include "tests/support/temp_machine.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCannotMount = 77;
constexpr int kCannotGoBack = 78;

// The dialog with its folder removal reachable from the tests.
class TestDlg : public CUninstallDlg {
public:
    using CUninstallDlg::RemoveFolder;
};

class RemoveFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::faults::clear();
        fs::create_directories(host("work\\other"));
        ASSERT_EQ(_chdir("C:\\work\\other"), 0);
    }
    void TearDown() override { platform::faults::clear(); }

    // The host path of a path below C:\, given in code page 932.
    fs::path host(const char* windowsRelative) const
    {
        std::string utf8 = platform::text::cp932_to_utf8(windowsRelative);
        for (char& ch : utf8) {
            if (ch == '\\')
                ch = '/';
        }
        return c / utf8;
    }
    void file(const char* windowsRelative) const
    {
        fs::path path = host(windowsRelative);
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "data";
    }
    void folder(const char* windowsRelative) const { fs::create_directories(host(windowsRelative)); }
    bool exists(const char* windowsRelative) const { return fs::exists(fs::symlink_status(host(windowsRelative))); }

    static CString cwd()
    {
        char buffer[1024];
        return _getcwd(buffer, 1024) ? CString(buffer) : CString("<none>");
    }

    // Everything below a host folder, as relative UTF-8 paths.
    static std::set<std::string> contents(const fs::path& root)
    {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            names.insert(entry.path().lexically_relative(root).string());
        return names;
    }

    // A tree of files and folders three levels deep, in mixed letter case.
    void make_tree(const char* windowsRelative) const
    {
        std::string base = windowsRelative;
        for (const char* rest : {"\\Readme.TXT", "\\Bin\\App.EXE", "\\Bin\\Data\\Index.dat",
                                 "\\Bin\\Data\\Deep\\Leaf.txt", "\\Empty\\"}) {
            std::string path = base + rest;
            if (path.back() == '\\')
                folder(path.substr(0, path.size() - 1).c_str());
            else
                file(path.c_str());
        }
    }

    testsupport::TempMachine machine;
    fs::path c = machine.add_drive('c');
    TestDlg dlg;
};

TEST_F(RemoveFolderTest, PathsItCannotSplitOrEnterTouchNothing)
{
    make_tree("work\\other\\T");
    const struct {
        const char* what;
        const char* path;
    } cases[] = {
        {"an empty path", ""},
        {"a path without a backslash, though the folder is here", "T"},
        {"a path with forward slashes only", "C:/work/other/T"},
        {"a path whose parent does not exist", "C:\\nowhere\\T"},
        // A forward slash is a separator too: these name the folder above,
        // the parent itself and the drive's root.
        {"a last name of ../", "C:\\work\\other\\T\\../"},
        {"a last name of ./", "C:\\work\\other\\./"},
        {"a last name of /", "C:\\work\\/"},
        {"a last name reaching up through a slash", "C:\\work\\other\\T/.."},
    };
    std::set<std::string> before = contents(c);
    for (const auto& k : cases) {
        EXPECT_FALSE(dlg.RemoveFolder(k.path, NULL)) << k.what;
        EXPECT_EQ(cwd(), CString("C:\\work\\other")) << k.what;
        EXPECT_EQ(contents(c), before) << k.what;
    }
}

TEST_F(RemoveFolderTest, RemovesATreeSeveralLevelsDeepAndRestoresTheCurrentDirectory)
{
    make_tree("work\\T");
    EXPECT_TRUE(dlg.RemoveFolder("C:\\work\\T", NULL));
    EXPECT_FALSE(exists("work\\T"));
    EXPECT_EQ(cwd(), CString("C:\\work\\other"));
}

TEST_F(RemoveFolderTest, AFolderOnTheDrivesRootHasTheRootAsItsParent)
{
    make_tree("T");
    EXPECT_TRUE(dlg.RemoveFolder("C:\\T", NULL));
    EXPECT_FALSE(exists("T"));
    EXPECT_TRUE(exists("work"));
    EXPECT_EQ(cwd(), CString("C:\\work\\other"));
}

TEST_F(RemoveFolderTest, ARelativePathIsTakenFromTheCurrentDirectory)
{
    make_tree("work\\other\\sub\\T");
    EXPECT_TRUE(dlg.RemoveFolder("sub\\T", NULL));
    EXPECT_FALSE(exists("work\\other\\sub\\T"));
    EXPECT_TRUE(exists("work\\other\\sub"));
    EXPECT_EQ(cwd(), CString("C:\\work\\other"));
}

TEST_F(RemoveFolderTest, DoubleByteNamesAreSplitAndLoweredAsWholeCharacters)
{
    // 表 and ソ end in the byte of a backslash, イ in that of a capital C.
    file("work\\表\\ソ\\ABCイ.TXT");
    file("work\\表\\ソ\\ソフト表\\表イ.txt");
    file("work\\表\\keep.txt");
    EXPECT_TRUE(dlg.RemoveFolder("C:\\work\\表\\ソ", NULL));
    EXPECT_FALSE(exists("work\\表\\ソ"));
    EXPECT_TRUE(exists("work\\表\\keep.txt"));
    EXPECT_EQ(cwd(), CString("C:\\work\\other"));

    EXPECT_TRUE(dlg.RemoveFolder("C:\\work\\表", NULL));
    EXPECT_FALSE(exists("work\\表"));
}

TEST_F(RemoveFolderTest, TheSparedNameKeepsOnlyAFolderDirectlyInside)
{
    const struct {
        const char* what;
        const char* spare;
        std::set<std::string> remaining;  // below work\T; none at all: T is gone
    } cases[] = {
        {"a folder of the spared name in other letter case stays", "StockBook",
         {"STOCKBOOK", "STOCKBOOK/keep.txt"}},
        {"a file of the spared name is deleted", "notes", {}},
        {"an empty spared name spares nothing", "", {}},
    };
    for (const auto& k : cases) {
        file("work\\T\\notes");
        file("work\\T\\Readme.txt");
        file("work\\T\\STOCKBOOK\\keep.txt");
        file("work\\T\\Other\\StockBook\\two-down.txt");  // only the top level spares
        EXPECT_TRUE(dlg.RemoveFolder("C:\\work\\T", k.spare)) << k.what;
        if (k.remaining.empty())
            EXPECT_FALSE(exists("work\\T")) << k.what;
        else
            EXPECT_EQ(contents(host("work\\T")), k.remaining) << k.what;
        EXPECT_EQ(cwd(), CString("C:\\work\\other")) << k.what;
        fs::remove_all(host("work\\T"));
    }
}

TEST_F(RemoveFolderTest, AMissingFolderFailsInItsParent)
{
    EXPECT_FALSE(dlg.RemoveFolder("C:\\work\\none", NULL));
    EXPECT_EQ(cwd(), CString("C:\\work"));
}

TEST_F(RemoveFolderTest, AReadOnlyFileStopsTheWorkWhereItLies)
{
    file("work\\T\\L1\\L2\\a.txt");
    file("work\\T\\L1\\L2\\Middle.txt");
    file("work\\T\\L1\\L2\\z.txt");
    file("work\\T\\L1\\zz\\f.txt");
    file("work\\T\\Y.txt");
    fs::permissions(host("work\\T\\L1\\L2\\Middle.txt"), fs::perms::owner_read);

    EXPECT_FALSE(dlg.RemoveFolder("C:\\work\\T", NULL));
    // Entries are handled in the listing's order: what came before the
    // read-only file is gone, it and all after it remain.
    EXPECT_EQ(contents(host("work\\T")),
              (std::set<std::string>{"L1", "L1/L2", "L1/L2/Middle.txt", "L1/L2/z.txt", "L1/zz", "L1/zz/f.txt", "Y.txt"}));
    EXPECT_EQ(cwd().CompareNoCase("C:\\work\\T\\L1\\L2"), 0) << (LPCTSTR)cwd();
}

TEST_F(RemoveFolderTest, ACurrentDirectoryInsideTheFolderEndsInItsParent)
{
    make_tree("work\\T");
    ASSERT_EQ(_chdir("C:\\work\\T\\Bin\\Data"), 0);
    EXPECT_TRUE(dlg.RemoveFolder("C:\\work\\T", NULL));
    EXPECT_FALSE(exists("work\\T"));
    EXPECT_EQ(cwd(), CString("C:\\work"));
}

TEST_F(RemoveFolderTest, AListingThatCannotBeBegunFailsInsideTheFolder)
{
    make_tree("work\\T");
    std::set<std::string> before = contents(c);
    platform::faults::inject("FindFirstFileA", platform::faults::Mode::once);
    EXPECT_FALSE(dlg.RemoveFolder("C:\\work\\T", NULL));
    EXPECT_EQ(contents(c), before);
    EXPECT_EQ(cwd(), CString("C:\\work\\T"));
}

TEST_F(RemoveFolderTest, LinksOutOfTheTreeAreRemovedAsLinksAndTheirTargetsStay)
{
    testsupport::TempDir outside;
    fs::create_directories(outside.path() / "folder");
    std::ofstream(outside.path() / "folder" / "precious.txt") << "keep";
    std::ofstream(outside.path() / "precious-file.txt") << "keep";
    file("work\\T\\Sub\\x.txt");
    fs::create_directory_symlink(outside.path() / "folder", host("work\\T\\Sub\\ToFolder"));
    fs::create_symlink(outside.path() / "precious-file.txt", host("work\\T\\ToFile"));

    EXPECT_TRUE(dlg.RemoveFolder("C:\\work\\T", NULL));
    EXPECT_FALSE(exists("work\\T"));
    EXPECT_EQ(contents(outside.path()), (std::set<std::string>{"folder", "folder/precious.txt", "precious-file.txt"}));
}

TEST_F(RemoveFolderTest, AUserFolderLinkedToTheHomeFolderIsRemovedWithoutTouchingHome)
{
    // As in a Wine prefix: users\<name>\Documents leads to the user's home.
    testsupport::TempDir home;
    std::ofstream(home.path() / "diary.txt") << "mine";
    file("users\\me\\AppData\\Roaming\\settings.ini");
    fs::create_directory_symlink(home.path(), host("users\\me\\Documents"));

    EXPECT_TRUE(dlg.RemoveFolder("C:\\users\\me", NULL));
    EXPECT_FALSE(exists("users\\me"));
    EXPECT_TRUE(exists("users"));
    EXPECT_EQ(contents(home.path()), (std::set<std::string>{"diary.txt"}));
}

// A folder where another file system is mounted (here a bind mount of a
// folder outside the machine) is treated like a link: never gone into. The
// mount is made in a private mount namespace of a child process.
TEST_F(RemoveFolderTest, AMountPointInsideTheTreeIsNotGoneInto)
{
    testsupport::TempDir outside;
    std::ofstream(outside.path() / "precious.txt") << "keep";
    fs::create_directories(outside.path() / "sub");
    file("work\\T\\a.txt");
    folder("work\\T\\Data");
    const fs::path mountPoint = host("work\\T\\Data");

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int privateNamespace = geteuid() == 0 ? CLONE_NEWNS : CLONE_NEWNS | CLONE_NEWUSER;
        if (unshare(privateNamespace) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(outside.path().c_str(), mountPoint.c_str(), nullptr, MS_BIND, nullptr) != 0)
            _exit(kCannotMount);
        // Folders held open from before the mount would still see the
        // folder beneath it: start afresh, as a new process would.
        platform::machine::reopen();
        if (_chdir("C:\\work\\other") != 0)
            _exit(kCannotGoBack);
        _exit(dlg.RemoveFolder("C:\\work\\T", NULL) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == kCannotMount)
        GTEST_SKIP() << "this host lets the test make no mount";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the removal reported success";
    EXPECT_EQ(contents(outside.path()), (std::set<std::string>{"precious.txt", "sub"}));
    EXPECT_TRUE(exists("work\\T\\Data"));
}

}  // namespace
