// hooks_offline.cpp -- the contract suite on the offline backend: its
// windows are records with no user, so input is what its native side would
// queue, and the song advances as it is rendered.
#include <cstring>
#include <vector>

#include "contract/contract.h"
#include "platform/offline/offline.h"

const char *const kContractBackend = "offline";

const char *contractCannot(const char *caseName) {
    if (std::strcmp(caseName, "Present.PacedTo60") == 0)
        return "offline presents are never paced: the capture tool and the tests render each frame at once";
    if (std::strcmp(caseName, "EndSignals.CaughtAsTheDisplayOpens") == 0)
        return "its display catches nothing: the capture tool calls Sys_CatchEndSignals as it starts";
    return nullptr;
}

void contractLetTimePass(int milliseconds) {
    std::vector<float> samples((size_t)44100 * milliseconds / 1000 * 2);
    Snd_RenderOffline(samples.data(), samples.size() / 2);
}

void contractClick(PlatformWindow button) { Sys_PostMessage(button, kMsgLButtonUp, 0, 0); }

void contractPressKey(PlatformWindow window, int vk) { Sys_PostMessage(window, kMsgKeyDown, (uintptr_t)vk, 0); }

void contractUseCloseBox(PlatformWindow window) { Sys_PostMessage(window, kMsgClose, 0, 0); }

bool contractNativeMark(PlatformWindow button) { return Sys_GetButtonCheck(button); }

std::string contractDisplayMode() { return "offscreen"; }
