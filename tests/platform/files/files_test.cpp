// The file functions on a machine's drives, as the folder removal relies on
// them: names without regard to case, code page 932 names on a UTF-8 host,
// listings in a fixed order, read-only files, links that are never followed.
#include "platform/crt.h"
#include "platform/faults/faults.h"
#include "platform/machine/machine_folder.h"
#include "platform/text/codepage.h"
#include "platform/win32.h"
#include "tests/support/temp_machine.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

class Files : public ::testing::Test {
protected:
    void SetUp() override { platform::faults::clear(); }
    void TearDown() override { platform::faults::clear(); }

    static void make_file(const fs::path& path, std::string_view content = "x")
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << content;
    }

    static std::string cwd()
    {
        char buffer[1024];
        return _getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("<none>");
    }

    // The names of a listing, in the order FindFirstFileA/FindNextFileA give them.
    static std::vector<std::string> listing(const char* pattern, std::vector<DWORD>* attributes = nullptr)
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA(pattern, &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do {
            names.push_back(platform::text::cp932_to_utf8(data.cFileName));
            if (attributes)
                attributes->push_back(data.dwFileAttributes);
        } while (FindNextFileA(find, &data));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
        EXPECT_TRUE(FindClose(find));
        return names;
    }

    static std::string cp932(const char* utf8) { return platform::text::utf8_to_cp932(utf8); }

    testsupport::TempMachine machine;
    fs::path c = machine.add_drive('c');
};

TEST_F(Files, CurrentDirectoryStartsAtTheHostsWorkingDirectoryWhenItLiesOnADrive)
{
    fs::create_directories(c / "Work" / "Here");
    fs::path hostBefore = fs::current_path();
    fs::current_path(c / "Work" / "Here");
    platform::machine::reopen();
    std::string seen = cwd();
    fs::current_path(hostBefore);
    EXPECT_EQ(seen, "C:\\Work\\Here");
}

TEST_F(Files, CurrentDirectoryStartsAtCsRootOutsideTheDrives)
{
    EXPECT_EQ(cwd(), "C:\\");
}

TEST_F(Files, DriveLettersAreFoundWithoutRegardToCase)
{
    testsupport::TempDir elsewhere;
    make_file(elsewhere.path() / "Data" / "f.txt");
    fs::create_directory_symlink(elsewhere.path(), machine.root() / "dosdevices" / "D:");
    EXPECT_EQ(_chdir("d:\\data"), 0);
    EXPECT_EQ(cwd(), "D:\\data");
    EXPECT_NE(GetFileAttributesA("F.TXT"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Files, ChdirFollowsWindowsPathsAndDotDotStopsAtTheRoot)
{
    fs::create_directories(c / "Program Files" / "Tool");
    EXPECT_EQ(_chdir("C:\\PROGRAM FILES"), 0);
    EXPECT_EQ(_chdir("tool"), 0);
    EXPECT_EQ(cwd(), "C:\\PROGRAM FILES\\tool");
    EXPECT_EQ(_chdir(".."), 0);
    EXPECT_EQ(cwd(), "C:\\PROGRAM FILES");
    EXPECT_EQ(_chdir("..\\..\\..\\.."), 0);
    EXPECT_EQ(cwd(), "C:\\");
    // The machine's own files beside the drive's folder stay out of reach.
    EXPECT_EQ(GetFileAttributesA("C:\\..\\system.reg"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(_chdir("C:/Program Files/Tool"), 0);
    EXPECT_EQ(cwd(), "C:\\Program Files\\Tool");
}

TEST_F(Files, AFolderThatMayNotBeSearchedIsNotEntered)
{
    // Rights only bind a process that is not root: a root run checks them in
    // a child that has given its rights up.
    fs::create_directories(c / "t" / "Locked");
    make_file(c / "t" / "Locked" / "in.txt");
    fs::create_directories(c / "t" / "Unlisted");
    fs::permissions(c / "t" / "Locked", fs::perms::none);
    fs::permissions(c / "t" / "Unlisted", fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec);
    const bool root = geteuid() == 0;
    if (root) {
        for (fs::path folder = c / "t"; folder != machine.root().parent_path(); folder = folder.parent_path())
            fs::permissions(folder, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    }
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (root && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(10);
        if (_chdir("C:\\t") != 0)
            _exit(11);
        if (_chdir("Locked") != -1 || errno != EACCES)
            _exit(12);
        if (cwd() != "C:\\t")
            _exit(13);
        // Entering needs only the right to search, not to list.
        if (_chdir("Unlisted") != 0 || cwd() != "C:\\t\\Unlisted")
            _exit(14);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10: rights not given up, 11: C:\\t not entered, 12: Locked entered, "
                                         "13: left C:\\t, 14: Unlisted not entered";
    fs::permissions(c / "t" / "Locked", fs::perms::owner_all);
}

TEST_F(Files, FailuresGiveWindowsErrors)
{
    make_file(c / "work" / "file.txt");
    fs::create_directories(c / "work" / "full" / "inner");
    struct Case {
        const char* what;
        BOOL (*call)(LPCSTR);
        const char* path;
        DWORD error;
    };
    const Case cases[] = {
        {"entering a missing folder", SetCurrentDirectoryA, "C:\\work\\none", ERROR_FILE_NOT_FOUND},
        {"entering below a missing folder", SetCurrentDirectoryA, "C:\\none\\x", ERROR_PATH_NOT_FOUND},
        {"entering a file", SetCurrentDirectoryA, "C:\\work\\file.txt", ERROR_DIRECTORY},
        {"entering a drive the machine lacks", SetCurrentDirectoryA, "Q:\\", ERROR_PATH_NOT_FOUND},
        {"deleting a missing file", DeleteFileA, "C:\\work\\none", ERROR_FILE_NOT_FOUND},
        {"deleting a folder as a file", DeleteFileA, "C:\\work\\full", ERROR_ACCESS_DENIED},
        {"removing a folder that is not empty", RemoveDirectoryA, "C:\\work\\full", ERROR_DIR_NOT_EMPTY},
        {"removing a file as a folder", RemoveDirectoryA, "C:\\work\\file.txt", ERROR_DIRECTORY},
        {"removing a missing folder", RemoveDirectoryA, "C:\\work\\none", ERROR_FILE_NOT_FOUND},
    };
    for (const Case& k : cases) {
        SetLastError(0);
        EXPECT_FALSE(k.call(k.path)) << k.what;
        EXPECT_EQ(GetLastError(), k.error) << k.what;
    }
    EXPECT_TRUE(fs::exists(c / "work" / "file.txt"));
    EXPECT_TRUE(fs::exists(c / "work" / "full" / "inner"));
    EXPECT_EQ(cwd(), "C:\\");

    errno = 0;
    EXPECT_EQ(_rmdir("C:\\work\\full"), -1);
    EXPECT_EQ(errno, ENOTEMPTY);
    EXPECT_EQ(_chdir("C:\\work\\none"), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST_F(Files, ListingGivesDotsFirstThenNamesInUpperCaseOrder)
{
    fs::create_directories(c / "t" / "beta");
    make_file(c / "t" / "Alpha.txt");
    make_file(c / "t" / "_under");
    make_file(c / "t" / "zeta");
    make_file(c / "t" / "Gamma");
    // Upper-cased, '_' (0x5F) sorts after the letters, as Windows lists it.
    EXPECT_EQ(listing("C:\\t\\*.*"), (std::vector<std::string>{".", "..", "Alpha.txt", "beta", "Gamma", "zeta", "_under"}));
    EXPECT_EQ(listing("C:\\t\\*.txt"), (std::vector<std::string>{"Alpha.txt"}));
    // A drive's root has no "." and "..".
    EXPECT_EQ(listing("C:\\*"), (std::vector<std::string>{"t"}));
    SetLastError(0);
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA("C:\\t\\*.none", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA("C:\\missing\\*.*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Files, ListingReportsFoldersReadOnlyFilesAndLinks)
{
    testsupport::TempDir outside;
    fs::create_directories(c / "t" / "folder");
    make_file(c / "t" / "plain");
    make_file(c / "t" / "locked");
    fs::permissions(c / "t" / "locked", fs::perms::owner_read | fs::perms::group_read);
    fs::create_directory_symlink(outside.path(), c / "t" / "linked");
    std::vector<DWORD> attributes;
    ASSERT_EQ(listing("C:\\t\\*.*", &attributes), (std::vector<std::string>{".", "..", "folder", "linked", "locked", "plain"}));
    EXPECT_EQ(attributes[0] & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(attributes[1] & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(attributes[2] & FILE_ATTRIBUTE_DIRECTORY, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(attributes[3] & FILE_ATTRIBUTE_DIRECTORY, 0u) << "a link to a folder is listed as a file";
    EXPECT_NE(attributes[3] & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_NE(attributes[4] & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(attributes[5] & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), 0u);
    EXPECT_EQ(GetFileAttributesA("c:\\T\\LOCKED") & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

TEST_F(Files, JapaneseNamesAreCodePage932OnTheSystemsSideAndUtf8OnTheHost)
{
    make_file(c / "表" / "ソフト.txt");
    EXPECT_EQ(listing(cp932("C:\\表\\*.*").c_str()), (std::vector<std::string>{".", "..", "ソフト.txt"}));
    EXPECT_TRUE(DeleteFileA(cp932("C:\\表\\ソフト.TXT").c_str()));
    EXPECT_FALSE(fs::exists(c / "表" / "ソフト.txt"));
    EXPECT_TRUE(SetCurrentDirectoryA(cp932("C:\\表").c_str()));
    EXPECT_EQ(cwd(), cp932("C:\\表"));
}

TEST_F(Files, AHostNameCodePage932CannotExpressIsListedWithQuestionMarksAndNotFound)
{
    make_file(c / "t" / "caf\u00e9\u00e8");  // é and è have no place in code page 932
    ASSERT_EQ(listing("C:\\t\\*.*"), (std::vector<std::string>{".", "..", "caf??"}));
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA("C:\\t\\caf??"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(fs::exists(c / "t" / "caf\u00e9\u00e8"));
}

TEST_F(Files, NamesDifferingOnlyInCaseResolveToTheKindTheCallNeeds)
{
    fs::create_directories(c / "t" / "Data");
    make_file(c / "t" / "DATA");
    make_file(c / "t" / "data");
    ASSERT_EQ(_chdir("C:\\t"), 0);
    EXPECT_EQ(_chdir("data"), 0) << "the folder is entered, not a file of the same name";
    EXPECT_EQ(_chdir(".."), 0);
    EXPECT_EQ(mr7_crt_remove("data"), 0);
    EXPECT_EQ(mr7_crt_remove("data"), 0);
    EXPECT_EQ(_rmdir("data"), 0);
    EXPECT_TRUE(fs::is_empty(c / "t"));
}

TEST_F(Files, AReadOnlyFileIsNotDeleted)
{
    make_file(c / "t" / "locked.txt");
    fs::permissions(c / "t" / "locked.txt", fs::perms::owner_read);
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA("C:\\T\\LOCKED.TXT"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    errno = 0;
    EXPECT_EQ(mr7_crt_remove("C:\\t\\locked.txt"), -1);
    EXPECT_EQ(errno, EACCES);
    EXPECT_TRUE(fs::exists(c / "t" / "locked.txt"));
}

TEST_F(Files, LinksAreDeletedAsLinksAndNeverFollowed)
{
    testsupport::TempDir outside;
    make_file(outside.path() / "keep" / "precious.txt");
    make_file(outside.path() / "target.txt");
    fs::create_directories(c / "t");
    fs::create_directory_symlink(outside.path() / "keep", c / "t" / "dir-link");
    fs::create_symlink(outside.path() / "target.txt", c / "t" / "file-link");
    fs::create_symlink(outside.path() / "gone", c / "t" / "dangling");

    SetLastError(0);
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\t\\dir-link"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA("C:\\t\\dir-link\\precious.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteFileA("C:\\t\\dir-link\\precious.txt"));
    EXPECT_FALSE(RemoveDirectoryA("C:\\t\\dir-link"));

    EXPECT_TRUE(DeleteFileA("C:\\t\\dir-link"));
    EXPECT_TRUE(DeleteFileA("C:\\t\\file-link"));
    EXPECT_TRUE(DeleteFileA("C:\\t\\dangling"));
    EXPECT_TRUE(fs::is_empty(c / "t"));
    EXPECT_TRUE(fs::exists(outside.path() / "keep" / "precious.txt"));
    EXPECT_TRUE(fs::exists(outside.path() / "target.txt"));
}

TEST_F(Files, AFolderSwappedForALinkAfterListingIsNotEntered)
{
    testsupport::TempDir outside;
    make_file(outside.path() / "precious.txt");
    fs::create_directories(c / "t" / "sub");
    ASSERT_EQ(_chdir("C:\\t"), 0);
    ASSERT_EQ(listing("*.*"), (std::vector<std::string>{".", "..", "sub"}));
    fs::remove(c / "t" / "sub");
    fs::create_directory_symlink(outside.path(), c / "t" / "sub");
    EXPECT_EQ(_chdir("sub"), -1);
    EXPECT_EQ(cwd(), "C:\\t");
    EXPECT_EQ(_rmdir("sub"), -1);
    EXPECT_TRUE(fs::exists(outside.path() / "precious.txt"));
}

TEST_F(Files, ChangesMadeFromOutsideAreSeen)
{
    make_file(c / "t" / "a");
    ASSERT_EQ(_chdir("C:\\t"), 0);
    ASSERT_EQ(listing("*.*").size(), 3u);
    make_file(c / "t" / "Later");
    EXPECT_EQ(mr7_crt_remove("later"), 0);
    fs::remove(c / "t" / "a");
    fs::create_directory(c / "t" / "A");
    EXPECT_EQ(mr7_crt_remove("a"), -1) << "a is a folder now";
    EXPECT_EQ(_rmdir("a"), 0);
}

TEST_F(Files, ChangesMadeFromOutsideAreSeenAfterClimbingBackUp)
{
    // Going back up keeps the folder listed before: what changed in it from
    // outside meanwhile must still be seen.
    make_file(c / "t" / "a");
    fs::create_directories(c / "t" / "Sub");
    ASSERT_EQ(_chdir("C:\\t"), 0);
    ASSERT_EQ(listing("*.*").size(), 4u);
    ASSERT_EQ(_chdir("sub"), 0);
    make_file(c / "t" / "Later");
    fs::remove(c / "t" / "a");
    fs::create_directory(c / "t" / "A");
    ASSERT_EQ(_chdir(".."), 0);
    EXPECT_EQ(cwd(), "C:\\t");
    EXPECT_EQ(mr7_crt_remove("later"), 0);
    EXPECT_EQ(mr7_crt_remove("a"), -1) << "a is a folder now";
    EXPECT_EQ(_rmdir("a"), 0);
    EXPECT_EQ(_rmdir("SUB"), 0);
    EXPECT_EQ(listing("*.*"), (std::vector<std::string>{".", ".."}));
}

TEST_F(Files, TheCurrentDirectoryIsNotRemoved)
{
    fs::create_directories(c / "t" / "here");
    ASSERT_EQ(_chdir("C:\\t\\here"), 0);
    SetLastError(0);
    EXPECT_FALSE(RemoveDirectoryA("C:\\T\\HERE"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(fs::exists(c / "t" / "here"));
}

TEST_F(Files, NothingIsDeletedThroughADriveThatIsTheWholeHost)
{
    testsupport::TempDir outside;
    make_file(outside.path() / "precious.txt");
    machine.link_drive('z', "/");
    std::string path = "Z:" + outside.path().string() + "/precious.txt";
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(fs::exists(outside.path() / "precious.txt"));
}

TEST_F(Files, GetcwdAndGetCurrentDirectoryReportSizes)
{
    fs::create_directories(c / "abc");
    ASSERT_EQ(_chdir("C:\\abc"), 0);
    char small[6];
    errno = 0;
    EXPECT_EQ(_getcwd(small, sizeof small), nullptr);
    EXPECT_EQ(errno, ERANGE);
    char exact[7];
    EXPECT_STREQ(_getcwd(exact, sizeof exact), "C:\\abc");
    char* allocated = _getcwd(nullptr, 0);
    ASSERT_NE(allocated, nullptr);
    EXPECT_STREQ(allocated, "C:\\abc");
    std::free(allocated);
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), 7u);
    char buffer[MAX_PATH];
    EXPECT_EQ(GetCurrentDirectoryA(MAX_PATH, buffer), 6u);
}

TEST_F(Files, FindFirstFileCanBeMadeToFail)
{
    fs::create_directories(c / "t");
    platform::faults::inject("FindFirstFileA", platform::faults::Mode::once);
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA("C:\\t\\*.*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(listing("C:\\t\\*.*").size(), 2u);
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
