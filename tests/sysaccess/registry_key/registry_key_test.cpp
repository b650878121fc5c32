// CRegistryKey on a machine of the test's own: each operation opens and
// closes the key, except a refused deletion, which leaves it held.

#include "sysaccess/RegistryKey.h"

#include "platform/faults/faults.h"
#include "platform/registry/registry.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::TempMachine;

namespace {

const char* const kNtVersion =
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796989371\n\"CurrentVersion\"=\"5.0\"\n";
const char* const kProduct =
    "[Software\\\\VKL\\\\MirabelLE\\\\7.0] 1796989371\n"
    "\"DIRECTORY\"=\"C:\\\\Program Files\\\\\\x30df\\x30e9\\x30d9\\x30ebLE\"\n"
    "\"Expand\"=str(2):\"%SystemRoot%\"\n"
    "\"Multi\"=str(7):\"a\\0\"\n"
    "\"Number\"=dword:00000064\n"
    "\"NoNul\"=hex(1):41,00,42,00\n"
    "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\Recent] 1796989371\n"
    "\"File1\"=\"x\"\n"
    "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\Settings\\\\Deep] 1796989371\n"
    "[Software\\\\VKL\\\\Empty] 1796989371\n";

void make_machine(TempMachine& machine, const std::string& extra = "")
{
    machine.write_registry(std::string(kProduct) + kNtVersion + extra);
}

}  // namespace

TEST(RegistryKey, ConstructorsComposeThePath)
{
    CRegistryKey product("MirabelLE", "7.0");
    EXPECT_STREQ(product.m_strPath, "SoftWare\\VKL\\MirabelLE\\7.0");
    EXPECT_EQ(product.m_hKey, nullptr);
    EXPECT_EQ(product.m_samDesired, static_cast<REGSAM>(KEY_READ));
    CRegistryKey noVersion("MirabelLE", "");
    EXPECT_STREQ(noVersion.m_strPath, "SoftWare\\VKL\\MirabelLE\\");
    CRegistryKey sub("");
    EXPECT_STREQ(sub.m_strPath, "SoftWare\\");
}

TEST(RegistryKey, OpenProbesAndHoldsNothing)
{
    TempMachine machine;
    make_machine(machine);
    std::string before = machine.read_system_reg();
    CRegistryKey present("MirabelLE", "7.0");
    EXPECT_TRUE(present.Open());
    EXPECT_EQ(present.m_hKey, nullptr);
    CRegistryKey trailing("MirabelLE", "");  // a trailing backslash names the key itself
    EXPECT_TRUE(trailing.Open());
    CRegistryKey missing("MirabelLE", "8.0");
    EXPECT_FALSE(missing.Open());
    EXPECT_EQ(missing.m_hKey, nullptr);
    EXPECT_FALSE(present.Close());
    EXPECT_EQ(machine.read_system_reg(), before);  // nothing created
}

TEST(RegistryKey, ARefusedDeletionLeavesTheKeyHeldUntilClose)
{
    TempMachine machine;
    make_machine(machine);
    CRegistryKey key("MirabelLE", "7.0");
    EXPECT_FALSE(key.DeleteSubKey("Nothing"));
    EXPECT_NE(key.m_hKey, nullptr);
    // On the NT family a subkey with subkeys of its own is refused.
    EXPECT_FALSE(key.DeleteSubKey("Settings"));
    EXPECT_NE(key.m_hKey, nullptr);
    EXPECT_TRUE(key.Close());
    EXPECT_FALSE(key.Close());

    CRegistryKey absent("MirabelLE", "8.0");
    EXPECT_FALSE(absent.DeleteSubKey("Recent"));
    EXPECT_EQ(absent.m_hKey, nullptr);

    EXPECT_TRUE(key.DeleteSubKey("Recent"));
    EXPECT_EQ(key.m_hKey, nullptr);
    CRegistryKey recent("MirabelLE\\7.0", "Recent");
    EXPECT_STREQ(recent.m_strPath, "SoftWare\\VKL\\MirabelLE\\7.0\\Recent");
    EXPECT_FALSE(recent.Open());
}

TEST(RegistryKey, ADeletionRefusedOnTheNtFamilyGoesWithItsTreeOnThe95Family)
{
    TempMachine machine;
    machine.write_registry(std::string(kProduct) +
                           "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n\"VersionNumber\"=\"4.0.950\"\n");
    CRegistryKey key("MirabelLE", "7.0");
    EXPECT_TRUE(key.DeleteSubKey("Settings"));
    CRegistryKey deep("VKL\\MirabelLE\\7.0\\Settings\\Deep");
    EXPECT_FALSE(deep.Open());
}

TEST(RegistryKey, ACloseThePlatformRefusesKeepsTheHandle)
{
    TempMachine machine;
    make_machine(machine);
    CRegistryKey key("MirabelLE", "7.0");
    EXPECT_FALSE(key.DeleteSubKey("Nothing"));
    HKEY held = key.m_hKey;
    platform::faults::inject("RegCloseKey", platform::faults::Mode::once);
    EXPECT_FALSE(key.Close());
    EXPECT_EQ(key.m_hKey, held);
    EXPECT_TRUE(key.Close());
    platform::faults::clear();
}

TEST(RegistryKey, EnumSubKeysListsDirectSubkeysOrNullForAMissingKey)
{
    TempMachine machine;
    std::string name255(255, 'n');
    make_machine(machine, "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\" + name255 + "] 1\n" +
                              "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\" + std::string(256, 'o') + "] 1\n");
    CRegistryKey key("MirabelLE", "7.0");
    CStringArray* pNames = key.EnumSubKeys();
    ASSERT_NE(pNames, nullptr);
    // The name that does not fit the buffer is passed over.
    ASSERT_EQ(pNames->GetSize(), 3);
    EXPECT_STREQ(pNames->GetAt(0), name255.c_str());
    EXPECT_STREQ(pNames->GetAt(1), "Recent");
    EXPECT_STREQ(pNames->GetAt(2), "Settings");
    EXPECT_EQ(key.m_hKey, nullptr);
    delete pNames;

    CRegistryKey empty("VKL\\Empty");
    pNames = empty.EnumSubKeys();
    ASSERT_NE(pNames, nullptr);
    EXPECT_EQ(pNames->GetSize(), 0);
    delete pNames;

    CRegistryKey missing("MirabelLE", "8.0");
    EXPECT_EQ(missing.EnumSubKeys(), nullptr);
}

TEST(RegistryKey, ReadStringReadsOnlyTextValues)
{
    TempMachine machine;
    make_machine(machine);
    CRegistryKey key("MirabelLE", "7.0");
    CString value;
    EXPECT_TRUE(key.ReadString("DIRECTORY", value, ""));
    EXPECT_STREQ(value, "C:\\Program Files\\ミラベルLE");
    EXPECT_EQ(key.m_hKey, nullptr);
    EXPECT_TRUE(key.ReadString("NoNul", value, ""));  // data without a NUL is taken whole
    EXPECT_STREQ(value, "AB");
    std::string before = machine.read_system_reg();
    for (const char* name : {"Expand", "Multi", "Number", "Absent"}) {
        value = "sentinel";
        EXPECT_FALSE(key.ReadString(name, value, "default")) << name;
        EXPECT_STREQ(value, "sentinel") << name;
        EXPECT_EQ(key.m_hKey, nullptr);
    }
    EXPECT_EQ(machine.read_system_reg(), before);  // nothing written for a missing value
}

TEST(RegistryKey, ReadStringTakesTextsUpTo1023Bytes)
{
    TempMachine machine;
    make_machine(machine);
    CRegistryKey key("MirabelLE", "7.0");
    EXPECT_TRUE(key.WriteString("Fits", CString('a', 1023)));
    EXPECT_TRUE(key.WriteString("TooLong", CString('b', 1024)));
    CString value;
    EXPECT_TRUE(key.ReadString("Fits", value, ""));
    EXPECT_EQ(value.GetLength(), 1023);
    value = "sentinel";
    EXPECT_FALSE(key.ReadString("TooLong", value, ""));
    EXPECT_STREQ(value, "sentinel");
}

TEST(RegistryKey, ReadStringCreatesAMissingKeyWithItsDefault)
{
    TempMachine machine;
    make_machine(machine);
    CRegistryKey key("NewProduct\\1.0", "Sub");
    CString value;
    EXPECT_TRUE(key.ReadString("Folder", value, "C:\\既定"));
    EXPECT_STREQ(value, "C:\\既定");
    EXPECT_EQ(key.m_hKey, nullptr);
    CString again;
    EXPECT_TRUE(key.ReadString("Folder", again, "other"));
    EXPECT_STREQ(again, "C:\\既定");
    EXPECT_NE(machine.read_system_reg().find("[Software\\\\VKL\\\\NewProduct\\\\1.0\\\\Sub] "), std::string::npos);
}

TEST(RegistryKey, AKeyReadableButNotWritable)
{
    TempMachine machine;
    make_machine(machine);
    platform::registry::set_read_only(u"SoftWare\\VKL\\MirabelLE\\7.0");
    CRegistryKey key("MirabelLE", "7.0");
    EXPECT_TRUE(key.Open());
    CString value = "sentinel";
    EXPECT_FALSE(key.ReadString("DIRECTORY", value, ""));
    EXPECT_STREQ(value, "sentinel");
    EXPECT_FALSE(key.WriteString("X", "y"));
    EXPECT_EQ(key.m_hKey, nullptr);
}

TEST(RegistryKey, AnEmptyTextIsStoredAsOneNul)
{
    TempMachine machine;
    make_machine(machine);
    CRegistryKey key("MirabelLE", "7.0");
    EXPECT_TRUE(key.WriteString("Empty", ""));
    HKEY hKey = NULL;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\VKL\\MirabelLE\\7.0", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    DWORD dwType = 0;
    DWORD dwLength = 0;
    EXPECT_EQ(RegQueryValueExA(hKey, "Empty", NULL, &dwType, NULL, &dwLength), ERROR_SUCCESS);
    EXPECT_EQ(dwType, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(dwLength, 1u);
    RegCloseKey(hKey);
    EXPECT_NE(machine.read_system_reg().find("\n\"Empty\"=\"\"\n"), std::string::npos);
}

TEST(RegistryKey, EnumSubKeysEndsWhenTheKeyIsDeletedWhileListed)
{
    TempMachine machine;
    make_machine(machine);
    CRegistryKey key("MirabelLE", "7.0");
    // Every index now fails as for a key another program deleted: the list
    // must end (empty) instead of asking for ever.
    platform::faults::inject("RegEnumKeyExA", platform::faults::Mode::always);
    CStringArray* pNames = key.EnumSubKeys();
    platform::faults::clear();
    ASSERT_NE(pNames, nullptr);
    EXPECT_EQ(pNames->GetSize(), 0);
    EXPECT_EQ(key.m_hKey, nullptr);
    delete pNames;
}
