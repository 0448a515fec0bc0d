// file_map.cpp -- the show's data files on POSIX: read-only mapping of a
// whole file (open, fstat, mmap) and opening one for stdio. Only regular
// files are taken; the descriptor is opened without waiting, so a FIFO or a
// device is refused at once instead of blocking or reading without end.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"

namespace {

void clearMap(PlatformFileMap *map) { *map = PlatformFileMap{nullptr, 0, -1}; }

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

}  // namespace

bool Sys_MapFile(const char *path, PlatformFileMap *map) {
    clearMap(map);
    struct stat info;
    int fd = openRegularFile(path, &info);
    if (fd < 0) return false;
    // An empty file has nothing to map.
    if (info.st_size <= 0 || (uint64_t)info.st_size > (uint64_t)SIZE_MAX) {
        close(fd);
        return false;
    }
    size_t length = (size_t)info.st_size;
    void *view = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
        close(fd);
        return false;
    }
    map->data = (const uint8_t *)view;
    map->length = length;
    map->fd = fd;
    return true;
}

void Sys_UnmapFile(PlatformFileMap *map) {
    if (map->data) munmap((void *)map->data, map->length);
    if (map->fd >= 0) close(map->fd);
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
