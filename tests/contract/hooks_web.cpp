// hooks_web.cpp -- the contract suite in a browser: clicks, keys and close
// boxes as DOM events on the page's elements for the windows
// (library_web.js), marks as the form's inputs show them, the display mode
// as the Fullscreen API tells it; time passes with the browser running.
#include <emscripten.h>
#include <sys/stat.h>

#include <cstring>

#include "contract/contract.h"

const char *const kContractBackend = "web";

const char *contractCannot(const char *caseName) {
    if (std::strcmp(caseName, "Present.PacedTo60") == 0)
        return "the browser's presents are timed on its animation frames, not on a clock a test can fix";
    if (std::strcmp(caseName, "Files.FifoRefusedAtOnce") == 0) return "the page's file system has no FIFOs";
    if (std::strcmp(caseName, "EndSignals.FirstDecides") == 0) return "a browser sends a page no signals";
    return nullptr;
}

std::string contractMakeTempFolder() {
    mkdir("/tmp/kaveld-contract", 0700);
    return "/tmp/kaveld-contract";
}

void contractLetTimePass(int milliseconds) { emscripten_sleep((unsigned)milliseconds); }

void contractClick(PlatformWindow button) {
    EM_ASM(
        {
            var n = window.kaveld.nodes[$0];
            if (n) n.click();
        },
        button);
}

void contractPressKey(PlatformWindow, int vk) {
    EM_ASM(
        {
            for (var type of['keydown', 'keyup']) {
                var e = new KeyboardEvent(type, {bubbles : true});
                Object.defineProperty(e, 'keyCode', {value : $0});
                document.dispatchEvent(e);
            }
        },
        vk);
}

void contractUseCloseBox(PlatformWindow window) {
    EM_ASM(
        {
            var n = window.kaveld.nodes[$0];
            if (n) n.querySelector('.kw-close').click();
        },
        window);
}

bool contractNativeMark(PlatformWindow button) {
    return EM_ASM_INT(
        {
            var n = window.kaveld.nodes[$0];
            return n && n.kwBox && n.kwBox.checked ? 1 : 0;
        },
        button);
}

std::string contractDisplayMode() {
    return EM_ASM_INT({ return document.fullscreenElement ? 1 : 0; }) ? "full screen" : "the page";
}

bool contractMakeFifo(const std::string &) { return false; }
void contractIgnoreSignal(int) {}
void contractRaise(int) {}
