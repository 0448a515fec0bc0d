// temp_dir.cpp -- the process's temporary folder (see temp_dir.h).
#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

std::string folder;  // owned by tempPath; removed at exit

void removeFolder() {
    std::error_code ignored;  // what cannot be removed stays for the suite's check to name
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace

std::string test::tempPath(const std::string &name) {
    if (folder.empty()) {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/kaveld-test-XXXXXX";
        std::vector<char> made(pattern.begin(), pattern.end());
        made.push_back('\0');
        if (!mkdtemp(made.data())) std::abort();  // nowhere to put a test's files: nothing can go on
        folder = made.data();
        std::atexit(removeFolder);
    }
    return folder + "/" + name;
}
