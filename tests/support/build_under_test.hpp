// The build a test program runs in: the runner and the caller modules beside the program, and
// whether the module's libraries are the instrumented ones. The sanitizer build links the test
// programs from the same objects as the plain build, so a program finds both through where it
// stands and what is loaded, never through paths compiled into it.
#pragma once

#include <dlfcn.h>

#include <cstddef>
#include <filesystem>
#include <string>

namespace test_support {

// The folder of the running test program: the top of its build.
inline std::filesystem::path build_folder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

// The runner, hostrun.
inline std::string hostrun_path() { return (build_folder() / "hostrun").string(); }

// The folder of the caller modules (testmod_*.so).
inline std::string test_module_dir() { return (build_folder() / "testmodules").string(); }

// True when AddressSanitizer's runtime is in the process (the module under test is instrumented):
// the property suites then judge fewer cases, as an instrumented run is several times slower.
inline bool sanitized_run() { return dlsym(RTLD_DEFAULT, "__asan_init") != nullptr; }

// The step between the named rows of a suite's corpus that a run judges: every row in the plain
// run, which judges their geometry; every third under the sanitizers, whose run looks for memory
// faults along the paths the rows take.
inline std::size_t named_row_stride() { return sanitized_run() ? 3 : 1; }

}  // namespace test_support
