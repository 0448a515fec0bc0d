// files.cpp -- files on Windows: opening and read-only mapping of a
// whole file (CreateFileMapping, MapViewOfFile), regular files only, and
// finding the show's data beside the program.
#include <fcntl.h>
#include <io.h>

#include <cstring>
#include <string>

#include "platform/win32/win32_internal.h"

namespace {

void clearMap(PlatformFileMap *map) { *map = PlatformFileMap{nullptr, 0}; }

const DWORD kLongestPath = 32768;  // characters, the longest path Windows takes

bool hasDataDirectory(const std::wstring &dir) {
    DWORD attributes = GetFileAttributesW((dir + L"\\data").c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// A file on disk opened for reading, or INVALID_HANDLE_VALUE: a directory,
// a pipe or a device is not one.
static HANDLE openDiskFile(const char *path) {
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

FILE *Sys_OpenFile(const char *path, const char *mode) {
    HANDLE file = openDiskFile(path);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    bool text = std::strchr(mode, 't') != nullptr;
    int fd = _open_osfhandle((intptr_t)file, _O_RDONLY | (text ? _O_TEXT : _O_BINARY));
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    FILE *stream = _fdopen(fd, text ? "rt" : "rb");
    if (!stream) _close(fd);  // closes the handle too
    return stream;
}

// The view holds the mapping open by itself: both handles are closed at once.
bool Sys_MapFile(const char *path, PlatformFileMap *map) {
    clearMap(map);
    HANDLE file = openDiskFile(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    // An empty file has nothing to map.
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 || (uint64_t)size.QuadPart > (uint64_t)SIZE_MAX) {
        CloseHandle(file);
        return false;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    CloseHandle(file);
    if (!mapping) return false;
    const void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);
    if (!view) return false;
    map->data = (const uint8_t *)view;
    map->length = (size_t)size.QuadPart;
    return true;
}

void Sys_UnmapFile(PlatformFileMap *map) {
    if (map->data) UnmapViewOfFile(map->data);
    clearMap(map);
}

// The program's folder by its wide name: the ANSI name would turn whatever
// the code page lacks (a Cyrillic or CJK folder) into '?'.
bool Sys_EnterShowDirectory() {
    if (hasDataDirectory(L".")) return true;
    std::wstring exe(MAX_PATH, L'\0');
    DWORD n;
    while ((n = GetModuleFileNameW(nullptr, &exe[0], (DWORD)exe.size())) >= exe.size() && exe.size() < kLongestPath)
        exe.resize(exe.size() * 2);
    if (n == 0 || n >= exe.size()) return false;
    exe.resize(n);
    std::wstring dir = exe.substr(0, exe.find_last_of(L"\\/"));
    return hasDataDirectory(dir) && SetCurrentDirectoryW(dir.c_str());
}
