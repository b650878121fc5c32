// Times RemoveFolder against `rm -rf` on identical trees, in paired runs,
// and prints the median ratio for each of two shapes whose names mix letter
// case (so that no lowered name is the host's own):
//   remove_folder       20,000 files in 1,000 folders, two levels deep;
//   remove_folder_wide  one folder of 3,000 subfolders, a file in each, where
//                       any work per subfolder that grows with its parent's
//                       size would show.
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
constexpr int kWideSubfolders = 3000;
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

void make_deep_tree(const fs::path& root)
{
    for (int t = 0; t < kTopFolders; ++t) {
        fs::path top = root / mixed_case("folder" + std::to_string(t));
        fill_folder(top);
        for (int s = 0; s < kSubfoldersEach; ++s)
            fill_folder(top / mixed_case("sub" + std::to_string(s)));
    }
}

void make_wide_tree(const fs::path& root)
{
    for (int s = 0; s < kWideSubfolders; ++s) {
        fs::path sub = root / mixed_case("sub" + std::to_string(s));
        fs::create_directories(sub);
        std::ofstream(sub / "DaTa.TxT") << "data";
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

// The median ratio of paired runs on trees that make_tree builds; negative
// when a removal failed.
template <typename MakeTree>
double median_ratio(BenchDlg& dlg, const fs::path& drive, MakeTree make_tree)
{
    std::vector<double> ratios;
    for (int run = 0; run < kRuns; ++run) {
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
        if (ours < 0 || theirs <= 0)
            return -1;
        ratios.push_back(ours / theirs);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}

// Prints the benchmark's line; true when the ratio is within the goal.
bool report(const char* name, double ratio)
{
    if (ratio < 0) {
        std::printf("%s: failed (goal <= %.1fx)\n", name, kGoal);
        return false;
    }
    std::printf("%s: %.2fx (goal <= %.1fx)\n", name, ratio, kGoal);
    return ratio <= kGoal;
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
    bool within = report("remove_folder", median_ratio(dlg, drive, make_deep_tree));
    within = report("remove_folder_wide", median_ratio(dlg, drive, make_wide_tree)) && within;
    std::error_code ec;
    fs::remove_all(machine, ec);
    return within ? 0 : 1;
}
