// hooks_template.cpp -- the contract suite's hooks for the template
// backend: linked, never run, so that the template keeps building. A new
// port's test side starts from these.
#include "contract/contract.h"

const char *const kContractBackend = "template";

const char *contractCannot(const char *) { return "the template backend is built, not run"; }
std::string contractMakeTempFolder() { return "."; }
void contractLetTimePass(int) {}
void contractClick(PlatformWindow) {}
void contractPressKey(PlatformWindow, int) {}
void contractUseCloseBox(PlatformWindow) {}
bool contractNativeMark(PlatformWindow) { return false; }
std::string contractDisplayMode() { return ""; }
bool contractMakeFifo(const std::string &) { return false; }
void contractIgnoreSignal(int) {}
void contractRaise(int) {}
