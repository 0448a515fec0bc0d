// contract_main.cpp -- the contract suite's runner: every case in order, in
// this one process, each said as it starts and as it ends ("PASS", "FAIL"
// with the check that failed, "SKIP" with the backend's reason), then the
// count per backend. Exit status 1 when a case failed. `--case TEXT` runs
// only the cases whose name holds TEXT.
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "contract/contract.h"
#include "support/temp_dir.h"

namespace {

// Owned by main and contractFail: whether the running case failed.
bool caseFailed = false;
std::string tempFolder;  // owned by contractTempPath; removed at the end of the run

}  // namespace

void contractFail(const char *file, int line, const std::string &what) {
    caseFailed = true;
    const char *name = std::strrchr(file, '/');
    std::printf("contract:   %s:%d: %s\n", name ? name + 1 : file, line, what.c_str());
}

void contractNote(const char *text) { std::printf("contract:   note: %s\n", text); }

bool contractEqual(long long a, long long b, const char *what, const char *file, int line) {
    if (a != b) contractFail(file, line, std::string(what) + ": " + std::to_string(a) + " != " + std::to_string(b));
    return a == b;
}

std::string contractTempPath(const std::string &name) {
    if (tempFolder.empty()) tempFolder = contractMakeTempFolder();
    return tempFolder + "/" + name;
}

int main(int argc, char **argv) {
    const char *only = argc == 3 && std::strcmp(argv[1], "--case") == 0 ? argv[2] : nullptr;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int passed = 0, failed = 0, skipped = 0;
    for (int i = 0; i < kContractCaseCount; i++) {
        const ContractCase &c = kContractCases[i];
        if (only && !std::strstr(c.name, only)) continue;
        if (const char *why = contractCannot(c.name)) {
            std::printf("contract: SKIP %s: %s\n", c.name, why);
            skipped++;
            continue;
        }
        std::printf("contract: RUN  %s\n", c.name);
        caseFailed = false;
        c.run();
        std::printf("contract: %s %s\n", caseFailed ? "FAIL" : "PASS", c.name);
        (caseFailed ? failed : passed)++;
    }
    if (!tempFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(tempFolder, ignored);
    }
    std::printf("contract: %s: %d cases, %d passed, %d skipped, %d failed\n", kContractBackend,
                passed + skipped + failed, passed, skipped, failed);
    return failed ? 1 : 0;
}

// The fixtures' temporary files (xm_fixture.cpp) go to the run's folder too.
std::string test::tempPath(const std::string &name) { return contractTempPath(name); }
