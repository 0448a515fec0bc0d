// files.cpp -- the template backend's files (see windows.cpp for what the
// template is). A POSIX system takes posix/files.cpp instead.
#include "platform/platform.h"

// A whole regular file mapped read-only; false (map cleared) for anything
// else (a folder, a FIFO, a device: never waited on), an empty or missing
// file.
bool Sys_MapFile(const char *, PlatformFileMap *map) {
    *map = PlatformFileMap{nullptr, 0};
    return false;
}

void Sys_UnmapFile(PlatformFileMap *map) { *map = PlatformFileMap{nullptr, 0}; }

// A regular file opened for reading through stdio; null for anything else.
FILE *Sys_OpenFile(const char *, const char *) { return nullptr; }

// The current folder when it has data/, else the program's own folder or
// share/kaveld beside it, as the working directory; false when none has.
bool Sys_EnterShowDirectory() { return false; }
