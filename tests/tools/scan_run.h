#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_tree.h"

namespace krelix::test {

// What one run of the krelix-scan program gave.
struct ScanRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the scanner with the arguments (shell words; the tests' paths need no quoting) and an
// optional environment prefix such as "TMPDIR=/x"; its output goes to files among outputs. Its
// hash cache and command journal lie among the outputs unless env says otherwise, never in the
// user's home. A run that hangs is ended after 100 s (exit status 124).
inline ScanRun RunScan(const TempTree& outputs, const std::string& args,
                       const std::string& env = {}) {
    const std::string out = outputs.Path("stdout");
    const std::string err = outputs.Path("stderr");
    const std::string command = "timeout 100 env XDG_CACHE_HOME='" + outputs.Path("cache") +
                                "' XDG_STATE_HOME='" + outputs.Path("state") + "' " + env + " '" +
                                KRELIX_SCAN_BINARY "' " + args + " >'" + out + "' 2>'" + err +
                                "' </dev/null";
    const int raw = std::system(command.c_str());
    ScanRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadWhole(out);
    run.err = ReadWhole(err);
    return run;
}

}  // namespace krelix::test
