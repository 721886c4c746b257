#pragma once
// The run of a test program as CTest starts it (cmake/VtTargets.cmake, vt_add_gtest), shared by the
// plain entry point and the window-test one. Besides GoogleTest's own flags it reads:
//   --vt_case_timeout=S       a case that runs longer than S seconds ends the program, naming it
//   --vt_listed_suites=A:B    the suites CTest knows of: the program fails if it holds another
// and it fails when its filter selects no case at all.
#include <functional>

namespace vt::test {

// Runs the selected cases between beforeRun and afterRun; returns the program's exit code.
int RunTests(int argc, char** argv, const std::function<void()>& beforeRun = {},
             const std::function<void()>& afterRun = {});

} // namespace vt::test
