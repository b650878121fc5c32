#pragma once
// A machine folder of a test's own, in a temporary place: its system.reg,
// its drives and their dosdevices links. While it lives, WINEPREFIX names it
// and the platform works on it; it is removed with everything in it after.

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

class TempMachine {
public:
    // Makes an empty machine folder (no system.reg, no drives) and selects it.
    TempMachine();
    ~TempMachine();
    TempMachine(const TempMachine&) = delete;
    TempMachine& operator=(const TempMachine&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path system_reg() const { return m_root / "system.reg"; }

    // Writes system.reg with exactly these bytes.
    void write_system_reg(std::string_view content) const;
    // Writes system.reg from a header and the given sections, as Wine lays
    // them out: each section is preceded by one blank line.
    void write_registry(std::string_view sections, std::string_view arch = "win32") const;
    // The machine's system.reg; empty when the machine has none.
    std::string read_system_reg() const;

    // Makes drive_<letter> (a folder) and dosdevices/<letter>: linking to it;
    // returns the drive's folder.
    std::filesystem::path add_drive(char letter) const;
    // Makes dosdevices/<letter>: a link to a folder elsewhere.
    void link_drive(char letter, const std::filesystem::path& target) const;
    // The host folder of a drive made by add_drive.
    std::filesystem::path drive(char letter) const;

    // Makes a file (and its folders) below the root with the given content.
    void write_file(const std::filesystem::path& relative, std::string_view content = "") const;

private:
    std::filesystem::path m_root;
    std::string m_savedPrefix;
    bool m_hadPrefix = false;
};

// A fresh temporary folder, removed by the destructor (permissions restored
// first, so that read-only leftovers do not stay behind).
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Reads a whole host file; throws when it cannot be opened, so that a
// missing fixture fails its test instead of passing for an empty one.
std::string read_file(const std::filesystem::path& path);

// A system.reg that Wine itself wrote, kept in tests/data/wine.
std::filesystem::path wine_made_file(const std::string& name);

// Makes every file and folder below path writable again (for clean-up).
void make_writable(const std::filesystem::path& path);

}  // namespace testsupport
