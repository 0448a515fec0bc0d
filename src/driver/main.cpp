// main.cpp -- the process entry: hands over to demoMain and returns its code.
#include "driver/driver.h"

int main() { return demoMain(nullptr, nullptr, "", 0); }
