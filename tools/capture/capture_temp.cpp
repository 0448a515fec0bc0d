// capture_temp.cpp -- the capture's temporary folders: made under $TMPDIR
// (else /tmp) and removed, with everything in them, however the run ends.
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "capture.h"

namespace {

std::vector<std::string> temporaryFolders;  // owned by makeTemporaryFolder

void removeTemporaryFolders() {
    for (const std::string &dir : temporaryFolders) removeTemporaryFolder(dir);
}

}  // namespace

std::string makeTemporaryFolder(const char *prefix) {
    const char *tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    if (!mkdtemp(name.data())) return "";
    if (temporaryFolders.empty()) std::atexit(removeTemporaryFolders);
    temporaryFolders.emplace_back(name.data());
    return temporaryFolders.back();
}

void removeTemporaryFolder(const std::string &dir) {
    std::error_code ignored;  // what cannot be removed stays; nothing more to do about it
    std::filesystem::remove_all(dir, ignored);
}
