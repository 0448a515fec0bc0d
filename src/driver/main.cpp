// main.cpp -- the process entry: finds the show's data (the working
// directory, or the installed share/kaveld), then hands over to demoMain.
#include "driver/driver.h"

int main() {
    Sys_EnterShowDirectory();  // when nothing is found the show counts the missing files
    return demoMain(nullptr, nullptr, "", 0);
}
