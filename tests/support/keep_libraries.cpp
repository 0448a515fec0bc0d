// keep_libraries.cpp -- linked into every program of the sanitizer build:
// shared libraries stay loaded until the process ends. The GL driver is
// unloaded when the display connection closes at exit, before LeakSanitizer
// reports, so the return addresses of the blocks it never frees point into
// unmapped memory: the report names no module, or whichever one was mapped
// nearby, and the driver's own suppression cannot match. Kept loaded, every
// block is named by the library that allocated it.
extern "C" int dlclose(void *) { return 0; }
