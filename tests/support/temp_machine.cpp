#include "tests/support/temp_machine.h"

#include "platform/machine/machine_folder.h"
#include "platform/windows/shared_window_list.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {
namespace fs = std::filesystem;

namespace {

fs::path make_temp_folder(const char* stem)
{
    std::string pattern = (fs::temp_directory_path() / stem).string() + "-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    return fs::path(pattern);
}

void remove_all_quietly(const fs::path& path)
{
    std::error_code ec;
    make_writable(path);
    fs::remove_all(path, ec);
}

}  // namespace

void make_writable(const fs::path& path)
{
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec)))
        return;
    if (fs::is_symlink(fs::symlink_status(path, ec)))
        return;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    if (fs::is_directory(fs::symlink_status(path, ec))) {
        for (auto it = fs::recursive_directory_iterator(path, fs::directory_options::skip_permission_denied, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (ec)
                break;
            if (!it->is_symlink(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
}

TempMachine::TempMachine() : m_root(make_temp_folder("mr7-machine"))
{
    if (const char* prefix = std::getenv("WINEPREFIX")) {
        m_hadPrefix = true;
        m_savedPrefix = prefix;
    }
    setenv("WINEPREFIX", m_root.c_str(), 1);
    fs::create_directories(m_root / "dosdevices");
    platform::machine::reopen();
}

TempMachine::~TempMachine()
{
    // The lists of windows that programs on this machine published go with it.
    std::error_code ec;
    fs::remove_all(platform::windows::shared::list_folder(), ec);
    if (m_hadPrefix)
        setenv("WINEPREFIX", m_savedPrefix.c_str(), 1);
    else
        unsetenv("WINEPREFIX");
    platform::machine::reopen();
    remove_all_quietly(m_root);
}

void TempMachine::write_system_reg(std::string_view content) const
{
    std::ofstream out(system_reg(), std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void TempMachine::write_registry(std::string_view sections, std::string_view arch) const
{
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=";
    text += arch;
    text += "\n";
    std::istringstream in{std::string(sections)};
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (line.empty())
            continue;
        if (line[0] == '[') {
            text += "\n";
            inSection = true;
        }
        if (inSection)
            text += line + "\n";
    }
    write_system_reg(text);
}

std::string TempMachine::read_system_reg() const
{
    if (!fs::exists(system_reg()))
        return {};
    return read_file(system_reg());
}

fs::path TempMachine::add_drive(char letter) const
{
    fs::path folder = drive(letter);
    fs::create_directories(folder);
    link_drive(letter, fs::path("..") / folder.filename());
    return folder;
}

void TempMachine::link_drive(char letter, const fs::path& target) const
{
    fs::path link = m_root / "dosdevices" / (std::string(1, letter) + ":");
    std::error_code ec;
    fs::remove(link, ec);
    fs::create_directory_symlink(target, link);
}

fs::path TempMachine::drive(char letter) const
{
    return m_root / (std::string("drive_") + letter);
}

void TempMachine::write_file(const fs::path& relative, std::string_view content) const
{
    fs::path full = m_root / relative;
    fs::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

TempDir::TempDir() : m_path(make_temp_folder("mr7-temp")) {}

TempDir::~TempDir()
{
    remove_all_quietly(m_path);
}

std::string read_file(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

fs::path wine_made_file(const std::string& name)
{
    return fs::path(MR7_TESTDATA_DIR) / "wine" / name;
}

}  // namespace testsupport
