// temp_dir.h -- the temporary files of a test, benchmark or helper process:
// all in one folder of its own under $TMPDIR (else /tmp), made on first use
// and removed with everything in it when the process exits.
#pragma once

#include <string>

namespace test {

// A path in the process's temporary folder ("" names the folder itself).
std::string tempPath(const std::string &name);

}  // namespace test
