// hooks_posix.cpp -- the contract suite's hooks that every POSIX backend's
// test side shares (offline, SDL): the run's folder under $TMPDIR, FIFOs,
// and signals raised and ignored as a shell or nohup would.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <vector>

#include "contract/contract.h"

std::string contractMakeTempFolder() {
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/kaveld-contract-XXXXXX";
    std::vector<char> made(pattern.begin(), pattern.end());
    made.push_back('\0');
    if (!mkdtemp(made.data())) std::abort();  // nowhere for the run's files: nothing can go on
    return made.data();
}

bool contractMakeFifo(const std::string &path) { return mkfifo(path.c_str(), 0600) == 0; }

void contractIgnoreSignal(int number) { std::signal(number, SIG_IGN); }

void contractRaise(int number) { std::raise(number); }
