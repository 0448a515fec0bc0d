// fade.cpp -- the one rule by which every layer's fade level moves toward its
// target: up one step if below, then down one step if above, both on the
// single-precision value as stored.
#include <cfloat>

#include "effects/effects.h"

// The resting levels (0.9999993, -0.0049999, ...) come from rounding every
// sum to single precision; excess precision would change them.
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in float");

void approachTarget(float &level, float target, float upStep, float downStep) {
    if (level < target) level = level + upStep;
    if (level > target) level = level - downStep;
}
