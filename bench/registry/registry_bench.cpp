// Measures loading a large system.reg and writing one change through,
// against copying the same file with cp, and the memory it takes.
//
//   registry_bench work <prefix>      load the prefix's registry, change one value
//   registry_bench nothing            the baseline: start and end
//   registry_bench time <file> <runs> median time of "work" against "cp", as a ratio
//   registry_bench memory <file>      peak memory of "work" minus "nothing", per byte of the file

#include "platform/win32.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

int work(const char* prefix)
{
    setenv("WINEPREFIX", prefix, 1);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\Select", 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 2;
    const char text[] = "benchmark";
    LONG result = RegSetValueExA(key, "Bench", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 0 : 3;
}

// Runs a program and returns its wall time in seconds and its peak memory in KiB.
bool run(const std::vector<std::string>& argv, double* seconds, long* maxRssKib)
{
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    *maxRssKib = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Puts a writable copy of the file in place as the prefix's system.reg.
void install(const fs::path& source, const fs::path& prefix)
{
    fs::path target = prefix / "system.reg";
    fs::remove(target);
    fs::copy_file(source, target);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
}

fs::path make_prefix(const fs::path& source)
{
    std::string pattern = (fs::temp_directory_path() / "mr7-bench-XXXXXX").string();
    fs::path prefix = mkdtemp(pattern.data());
    install(source, prefix);
    return prefix;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "work" && argc > 2)
        return work(argv[2]);
    if (mode == "nothing")
        return 0;
    std::string self = fs::canonical("/proc/self/exe").string();
    if (mode == "time" && argc > 3) {
        fs::path source = argv[2];
        int runs = std::atoi(argv[3]);
        fs::path prefix = make_prefix(source);
        std::vector<double> ours, copies;
        for (int i = 0; i < runs; ++i) {
            install(source, prefix);
            fs::remove(prefix / "copy.reg");
            double seconds = 0;
            long rss = 0;
            if (!run({self, "work", prefix.string()}, &seconds, &rss)) {
                std::fprintf(stderr, "registry_bench: the change failed\n");
                return 1;
            }
            ours.push_back(seconds);
            if (!run({"cp", source.string(), (prefix / "copy.reg").string()}, &seconds, &rss))
                return 1;
            copies.push_back(seconds);
        }
        fs::remove_all(prefix);
        std::printf("%.2f\n", median(ours) / median(copies));
        return 0;
    }
    if (mode == "memory" && argc > 2) {
        fs::path source = argv[2];
        fs::path prefix = make_prefix(source);
        double seconds = 0;
        long workKib = 0, baseKib = 0;
        bool ok = run({self, "work", prefix.string()}, &seconds, &workKib) &&
                  run({self, "nothing"}, &seconds, &baseKib);
        fs::remove_all(prefix);
        if (!ok)
            return 1;
        double ratio = static_cast<double>(workKib - baseKib) * 1024.0 / static_cast<double>(fs::file_size(source));
        std::printf("%.2f\n", ratio);
        return 0;
    }
    std::fprintf(stderr, "usage: registry_bench work <prefix> | nothing | time <file> <runs> | memory <file>\n");
    return 2;
}
