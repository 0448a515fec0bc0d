// file_map.cpp -- placeholder until the assets module lands.
#include "platform/platform.h"
bool Sys_MapFile(const char *, PlatformFileMap *map) { *map = PlatformFileMap{nullptr, 0, -1}; return false; }
void Sys_UnmapFile(PlatformFileMap *) {}
