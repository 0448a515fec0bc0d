// files.cpp -- the show's files on POSIX: read-only mapping of a whole file
// (open, fstat, mmap), opening one for stdio, and finding the directory that
// holds data/ (the working directory, the program's own, or share/kaveld
// beside bin/). Only regular files are taken; the descriptor is opened
// without waiting, so a FIFO or a device is refused at once instead of
// blocking or reading without end.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "platform/platform.h"

namespace {

void clearMap(PlatformFileMap *map) { *map = PlatformFileMap{nullptr, 0}; }

// A blocking read-only descriptor of a regular file and its status; -1 for
// anything else or a file that cannot be opened.
int openRegularFile(const char *path, struct stat *info) {
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, info) != 0 || !S_ISREG(info->st_mode) || flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool hasDataDirectory(const std::string &dir) {
    struct stat st;
    return stat((dir + "/data").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

// The mapping keeps the file by itself: the descriptor is closed at once.
bool Sys_MapFile(const char *path, PlatformFileMap *map) {
    clearMap(map);
    struct stat info;
    int fd = openRegularFile(path, &info);
    if (fd < 0) return false;
    // An empty file has nothing to map.
    bool mappable = info.st_size > 0 && (uint64_t)info.st_size <= (uint64_t)SIZE_MAX;
    void *view = mappable ? mmap(nullptr, (size_t)info.st_size, PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    close(fd);
    if (view == MAP_FAILED) return false;
    map->data = (const uint8_t *)view;
    map->length = (size_t)info.st_size;
    return true;
}

void Sys_UnmapFile(PlatformFileMap *map) {
    if (map->data) munmap((void *)map->data, map->length);
    clearMap(map);
}

// Text and binary read alike here.
FILE *Sys_OpenFile(const char *path, const char *) {
    struct stat info;
    int fd = openRegularFile(path, &info);
    if (fd < 0) return nullptr;
    FILE *file = fdopen(fd, "r");
    if (!file) close(fd);
    return file;
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
