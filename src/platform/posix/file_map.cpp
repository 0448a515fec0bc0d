// file_map.cpp -- read-only mapping of a whole file (POSIX open, fstat, mmap).
// The descriptor and the mapping are held together in the map record and
// released together by Sys_UnmapFile.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"

namespace {

void clearMap(PlatformFileMap *map) { *map = PlatformFileMap{nullptr, 0, -1}; }

}  // namespace

bool Sys_MapFile(const char *path, PlatformFileMap *map) {
    clearMap(map);
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info;
    // An empty file (or anything that is not a regular file) has nothing to map.
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
        (uint64_t)info.st_size > (uint64_t)SIZE_MAX) {
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
