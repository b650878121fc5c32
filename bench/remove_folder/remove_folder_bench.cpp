// Times RemoveFolder on a tree of 20,000 files in 1,000 folders whose names
// mix letter case (so that no lowered name is the host's own), against
// `rm -rf` on an identical tree, in paired runs. Prints the median ratio.
#include "app/UninstallDlg.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kTopFolders = 10;
constexpr int kSubfoldersEach = 99;  // 10 + 10 * 99 = 1,000 folders
constexpr int kFilesPerFolder = 20;  // 20,000 files
constexpr int kRuns = 5;
constexpr double kGoal = 1.5;

class BenchDlg : public CUninstallDlg {
public:
    using CUninstallDlg::RemoveFolder;
};

// A name in mixed letter case: every other letter upper-cased.
std::string mixed_case(std::string name)
{
    for (std::size_t i = 0; i < name.size(); i += 2)
        name[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
    return name;
}

void fill_folder(const fs::path& folder)
{
    fs::create_directories(folder);
    for (int f = 0; f < kFilesPerFolder; ++f) {
        std::ofstream(folder / mixed_case("file" + std::to_string(f) + ".txt")) << "data";
    }
}

void make_tree(const fs::path& root)
{
    for (int t = 0; t < kTopFolders; ++t) {
        fs::path top = root / mixed_case("folder" + std::to_string(t));
        fill_folder(top);
        for (int s = 0; s < kSubfoldersEach; ++s)
            fill_folder(top / mixed_case("sub" + std::to_string(s)));
    }
}

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double time_rm(const fs::path& tree)
{
    std::string path = tree.string();
    char rm[] = "rm";
    char flags[] = "-rf";
    char* argv[] = {rm, flags, path.data(), nullptr};
    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "rm", nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    double elapsed = seconds_since(start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && !fs::exists(tree) ? elapsed : -1;
}

double time_remove_folder(BenchDlg& dlg, const fs::path& drive, const std::string& name)
{
    std::string windowsPath = "C:\\" + name;
    auto start = std::chrono::steady_clock::now();
    BOOL removed = dlg.RemoveFolder(windowsPath.c_str(), NULL);
    double elapsed = seconds_since(start);
    return removed && !fs::exists(drive / name) ? elapsed : -1;
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/mr7-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 1;
    }
    fs::path machine = pattern;
    fs::path drive = machine / "drive_c";
    fs::create_directories(drive);
    fs::create_directories(machine / "dosdevices");
    fs::create_directory_symlink("../drive_c", machine / "dosdevices" / "c:");
    setenv("WINEPREFIX", machine.c_str(), 1);

    BenchDlg dlg;
    std::vector<double> ratios;
    bool failed = false;
    for (int run = 0; run < kRuns && !failed; ++run) {
        make_tree(drive / "ByRemoveFolder");
        make_tree(drive / "ByRm");
        double ours = 0;
        double theirs = 0;
        // Alternate which goes first, so that neither always meets a warmer cache.
        if (run % 2 == 0) {
            ours = time_remove_folder(dlg, drive, "ByRemoveFolder");
            theirs = time_rm(drive / "ByRm");
        } else {
            theirs = time_rm(drive / "ByRm");
            ours = time_remove_folder(dlg, drive, "ByRemoveFolder");
        }
        if (ours < 0 || theirs <= 0) {
            failed = true;
            break;
        }
        ratios.push_back(ours / theirs);
    }
    std::error_code ec;
    fs::remove_all(machine, ec);
    if (failed) {
        std::printf("remove_folder: failed (goal <= %.1fx)\n", kGoal);
        return 1;
    }
    std::sort(ratios.begin(), ratios.end());
    double median = ratios[ratios.size() / 2];
    std::printf("remove_folder: %.2fx (goal <= %.1fx)\n", median, kGoal);
    return median <= kGoal ? 0 : 1;
}
