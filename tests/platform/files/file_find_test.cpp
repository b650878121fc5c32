// CFileFind as the folder removal walks it: FindNextFile makes the next entry
// current and says whether another follows; a listing that cannot be begun
// never has a current entry.
#include "platform/crt.h"
#include "platform/faults/faults.h"
#include "platform/mfc/file_find.h"
#include "tests/support/temp_machine.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FileFind : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::faults::clear();
        fs::create_directories(c / "t" / "Sub");
        std::ofstream(c / "t" / "file.txt") << "x";
        ASSERT_EQ(_chdir("C:\\t"), 0);
    }
    void TearDown() override { platform::faults::clear(); }

    testsupport::TempMachine machine;
    fs::path c = machine.add_drive('c');
};

TEST_F(FileFind, FindNextFileReturnsFalseWhenItMadeTheLastEntryCurrent)
{
    CFileFind finder;
    EXPECT_EQ(finder.GetFileName(), CString("")) << "nothing is current before the first FindNextFile";
    ASSERT_TRUE(finder.FindFile("*.*"));
    EXPECT_EQ(finder.GetFileName(), CString(""));

    struct Step {
        BOOL more;
        const char* name;
        BOOL isFolder;
        BOOL isDots;
    };
    const Step steps[] = {
        {TRUE, ".", TRUE, TRUE},
        {TRUE, "..", TRUE, TRUE},
        {TRUE, "file.txt", FALSE, FALSE},
        {FALSE, "Sub", TRUE, FALSE},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(finder.FindNextFile(), step.more) << step.name;
        EXPECT_EQ(finder.GetFileName(), CString(step.name));
        EXPECT_EQ(finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) != 0, step.isFolder != 0) << step.name;
        EXPECT_EQ(finder.IsDirectory() != 0, step.isFolder != 0) << step.name;
        EXPECT_EQ(finder.IsDots(), step.isDots) << step.name;
    }
    // After the end the last entry stays current.
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), CString("Sub"));
    finder.Close();
    EXPECT_EQ(finder.GetFileName(), CString(""));
}

TEST_F(FileFind, AListingThatCannotBeBegunHasNoCurrentEntry)
{
    platform::faults::inject("FindFirstFileA", platform::faults::Mode::once);
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile("*.*"));
    EXPECT_FALSE(finder.FindNextFile());
    EXPECT_EQ(finder.GetFileName(), CString(""));
    EXPECT_FALSE(finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(finder.IsDots());
}

TEST_F(FileFind, ANullNameListsEverything)
{
    CFileFind finder;
    ASSERT_TRUE(finder.FindFile());
    int count = 0;
    BOOL more = TRUE;
    while (more) {
        more = finder.FindNextFile();
        ++count;
    }
    EXPECT_EQ(count, 4);
}

}  // namespace
