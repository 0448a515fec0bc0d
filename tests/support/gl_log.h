// gl_log.h -- the call log of the test programs: every GL call the show
// makes, the platform calls that present and tear down, the drawing
// primitives and the scene routines, recorded as text ("glTranslatef(0, 0,
// -5)") on their way to the real function (the link wraps each one; see
// tests/CMakeLists.txt). Texture names read as their slot ("slot3").
#pragma once

#include <string>
#include <vector>

namespace gllog {

// How deep the log looks: a call is recorded when its level is at most the
// view and no recorded call encloses it.
enum View : int {
    kGl = 0,          // GL, GLU and the platform's present and teardown calls
    kPrimitives = 1,  // the drawing primitives, the frame and the preload steps
    kRoutines = 2,    // the scene routines the timeline calls
};

// Starts a fresh log at the given depth.
void start(View view);
// The calls recorded since start (or the last take), then recording goes on.
std::vector<std::string> take();
// Stops recording and returns what was recorded.
std::vector<std::string> stop();

// Only the lines that begin with one of the prefixes.
std::vector<std::string> only(const std::vector<std::string> &lines, const std::vector<std::string> &prefixes);

}  // namespace gllog
