// contract_main.cpp -- the contract suite's runner: every case in order, in
// this one process, each said as it starts and as it ends ("PASS", "FAIL"
// with the check that failed, "SKIP" with the backend's reason), then the
// count per backend. Exit status 1 when a case failed. `--case TEXT` runs
// only the cases whose name holds TEXT.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "contract/contract.h"
#include "support/temp_dir.h"

namespace {

// Owned by main and contractFail: whether the running case failed.
bool caseFailed = false;
std::string tempFolder;  // owned by contractTempPath; removed at the end of the run

// One line on stdout, out at once (whatever buffering the C library gives a pipe).
void say(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
    std::fflush(stdout);
}

}  // namespace

void contractFail(const char *file, int line, const std::string &what) {
    caseFailed = true;
    const char *name = std::strrchr(file, '/');
    say("contract:   %s:%d: %s", name ? name + 1 : file, line, what.c_str());
}

void contractNote(const char *text) { say("contract:   note: %s", text); }

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
    int passed = 0, failed = 0, skipped = 0;
    for (int i = 0; i < kContractCaseCount; i++) {
        const ContractCase &c = kContractCases[i];
        if (only && !std::strstr(c.name, only)) continue;
        if (const char *why = contractCannot(c.name)) {
            say("contract: SKIP %s: %s", c.name, why);
            skipped++;
            continue;
        }
        say("contract: RUN  %s", c.name);
        caseFailed = false;
        c.run();
        say("contract: %s %s", caseFailed ? "FAIL" : "PASS", c.name);
        (caseFailed ? failed : passed)++;
    }
    if (!tempFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(tempFolder, ignored);
    }
    say("contract: %s: %d cases, %d passed, %d skipped, %d failed", kContractBackend, passed + skipped + failed, passed,
        skipped, failed);
    return failed ? 1 : 0;
}

// The fixtures' temporary files (xm_fixture.cpp) go to the run's folder too.
std::string test::tempPath(const std::string &name) { return contractTempPath(name); }
