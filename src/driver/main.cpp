// main.cpp -- the process entry: answers --help and --version without
// touching the display; otherwise finds the show's data (the working
// directory, or the installed share/kaveld) and hands over to demoMain. The
// show takes no other command line: any other argument is ignored.
#include <cstdio>
#include <cstring>

#include "driver/driver.h"

static const char kUsage[] =
    "usage: kaveld [--help | --version]\n"
    "Plays the demo: an options window chooses the resolution, the colour depth and\n"
    "full screen or a window; OK starts the show, CANCEL quits. Esc ends the show.\n"
    "The show's data is the data/ folder in the working directory, else the one\n"
    "beside the program or in its installed share/kaveld.\n"
    "  --help     this text\n"
    "  --version  the program's version\n";

// Prints an answer; exit status 1 when it could not be written.
static int answer(const char *text) { return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1; }

int main(int argc, char **argv) {
    if (argc > 1 && !std::strcmp(argv[1], "--help")) return answer(kUsage);
    if (argc > 1 && !std::strcmp(argv[1], "--version")) return answer("kaveld 1.0\n");
    Sys_EnterShowDirectory();  // when nothing is found the show counts the missing files
    return demoMain(nullptr, nullptr, "", 0);
}
