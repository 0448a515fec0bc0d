// capture_programs.cpp -- the programs the capture runs (ffmpeg): started
// from the PATH without a shell, in the capture's own process group (so a
// Ctrl-C at the terminal reaches them as well), and waited for with an eye
// on the signals that end the capture: on one, the program is stopped.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "capture.h"
#include "platform/platform.h"

extern char **environ;

namespace {

// A stopped program that has not ended after this long is killed.
const std::chrono::seconds kStopGrace(5);
const std::chrono::milliseconds kWaitTick(10);

}  // namespace

pid_t startProgram(const std::vector<std::string> &args, FILE **input) {
    std::vector<char *> argv;
    for (const std::string &arg : args) argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    if (input && pipe2(pipeEnds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input) posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;  // the capture ignores SIGPIPE (a failed write is its own error); the program should not
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    int error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (input) {
        close(pipeEnds[0]);
        *input = error == 0 ? fdopen(pipeEnds[1], "w") : nullptr;
        if (error != 0) close(pipeEnds[1]);
    }
    errno = error;
    return error == 0 ? pid : -1;
}

bool waitProgram(pid_t pid) {
    if (pid <= 0) return false;
    bool stopped = false;
    auto stoppedAt = std::chrono::steady_clock::now();
    for (;;) {
        int status = 0;
        pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) return !stopped && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (ended < 0 && errno != EINTR) return false;
        if (!stopped && Sys_EndSignal() != 0) {
            kill(pid, SIGTERM);
            stopped = true;
            stoppedAt = std::chrono::steady_clock::now();
        } else if (stopped && std::chrono::steady_clock::now() - stoppedAt > kStopGrace) {
            kill(pid, SIGKILL);
        }
        std::this_thread::sleep_for(kWaitTick);
    }
}
