// show_directory.cpp -- finding the show's data on POSIX systems: the working
// directory, or the program's own directory, or share/kaveld beside bin/.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "platform/platform.h"

static bool hasDataDirectory(const std::string &dir) {
    struct stat st;
    return stat((dir + "/data").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Sys_EnterShowDirectory() {
    if (hasDataDirectory(".")) return true;
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return false;
    exe[n] = 0;
    std::string bin(exe);
    bin = bin.substr(0, bin.rfind('/'));
    for (const std::string &dir : {bin, bin + "/../share/kaveld"})
        if (hasDataDirectory(dir)) return chdir(dir.c_str()) == 0;
    return false;
}
