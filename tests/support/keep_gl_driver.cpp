// keep_gl_driver.cpp -- linked into every program of the sanitizer build:
// the GL driver stays loaded until the process ends. It is unloaded when the
// display connection closes at exit, before LeakSanitizer looks; the blocks
// it keeps from its own static data then lose their only reference and show
// up as leaks whose allocating code is no longer mapped (named after no
// module, or after whichever one lies nearby), which no suppression can
// match. Every other library is unloaded as usual.
#include <dlfcn.h>
#include <link.h>

#include <cstring>

extern "C" int dlclose(void *handle) {
    static auto unload = (int (*)(void *))dlsym(RTLD_NEXT, "dlclose");
    struct link_map *map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name &&
        (std::strstr(map->l_name, "_dri.so") || std::strstr(map->l_name, "libgallium")))
        return 0;
    return unload(handle);
}
