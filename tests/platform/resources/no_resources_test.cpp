// A program that links no resources finds nothing, and nothing crashes.

#include "platform/mfc.h"
#include "platform/resources/icons.h"
#include "platform/resources/module_resources.h"
#include "platform/win32.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

namespace {

class NoResources : public ::testing::Test {
protected:
    testsupport::TempMachine m_machine;
};

}  // namespace

TEST_F(NoResources, EveryLookupReportsNotFound)
{
    using namespace platform::resources;
    EXPECT_TRUE(module_resources().entries().empty());
    EXPECT_EQ(load_dialog_template(102), std::nullopt);
    EXPECT_EQ(load_string(57344), std::nullopt);

    char buffer[8] = "sentinl";
    EXPECT_EQ(LoadStringA(AfxGetResourceHandle(), 57344, buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));

    CString title("x");
    EXPECT_FALSE(title.LoadString(57344));
    EXPECT_TRUE(title.IsEmpty());

    EXPECT_EQ(LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(128)), nullptr);
    EXPECT_EQ(FindResourceA(AfxGetInstanceHandle(), MAKEINTRESOURCE(1), RT_VERSION), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));

    // The system's own icons do not come from the program.
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
}
