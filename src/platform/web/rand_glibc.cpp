// rand_glibc.cpp -- glibc's rand: the state is seeded by the minimal standard
// generator (16807 x mod 2^31 - 1), the first 310 outputs are thrown away,
// then each output is the sum of the words 3 and 31 back, halved (see
// rand_glibc.h). In the browser it stands in for the C library's own.
#include "platform/web/rand_glibc.h"

#include <cstdint>

namespace {

const int kWords = 31, kTap = 3, kDiscarded = 310;

// Owned by this file: the generator's ring and where the next sum lands.
uint32_t ring[kWords];
int front = kTap, rear = 0;
bool seeded = false;

}  // namespace

void glibcSrand(unsigned seed) {
    int32_t word = seed == 0 ? 1 : (int32_t)seed;
    ring[0] = (uint32_t)word;
    for (int i = 1; i < kWords; i++) {
        const int32_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        ring[i] = (uint32_t)word;
    }
    front = kTap;
    rear = 0;
    seeded = true;
    for (int i = 0; i < kDiscarded; i++) glibcRand();
}

int glibcRand() {
    if (!seeded) glibcSrand(1);
    const uint32_t sum = ring[front] += ring[rear];
    front = (front + 1) % kWords;
    rear = (rear + 1) % kWords;
    return (int)(sum >> 1);
}

#ifdef __EMSCRIPTEN__
extern "C" {
void srand(unsigned seed) { glibcSrand(seed); }
int rand() { return glibcRand(); }
}
#endif
