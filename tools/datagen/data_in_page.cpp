// data_in_page.cpp -- the data generator inside the browser's program: the
// page makes the show's data/ in its virtual file system, from the fonts it
// preloads into fonts/, before the show's own preload reads it. The page calls
// kaveldMakeDataFile(0), (1), ... until it returns 0, letting the browser
// paint between files; a negative return is a failure already said on stderr,
// as the build's generator says it (the page makes it its one failure line).
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "font_text.h"
#include "show_data.h"

namespace {
const char *const kFontDir = "fonts/";
const char *const kDataDir = "data";

bool begin() {
    if (!startShowData(kFontDir)) return false;
    if (mkdir(kDataDir, 0755) == 0 || errno == EEXIST) return true;
    std::fprintf(stderr, "kaveld-datagen: cannot make %s/\n", kDataDir);
    return false;
}
}  // namespace

// Makes file i of the list; returns how many are left to make after it.
extern "C" int kaveldMakeDataFile(int i) {
    const std::vector<DataFile> &files = showDataFiles();
    if (i < 0 || i >= static_cast<int>(files.size())) return -1;
    if (i == 0 && !begin()) {
        closeFonts();
        return -1;
    }
    bool ok = writeDataFile(files[i], kDataDir);
    int left = static_cast<int>(files.size()) - 1 - i;
    if (!ok || left == 0) closeFonts();
    return ok ? left : -1;
}
