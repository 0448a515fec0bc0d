// rand_glibc.h -- the random numbers of the GNU C library's rand/srand (its
// default additive feedback generator: 31 words, taps 3 and 31), so that the
// browser's show draws the same particles and wobble as the Linux build.
// Plain C++: also built into the native tests, which check it against glibc.
#pragma once

void glibcSrand(unsigned seed);
int glibcRand();  // 0 .. 2^31 - 1; before any glibcSrand, as after glibcSrand(1)
