// The runner's command line.
#pragma once

#include <string>
#include <vector>

struct runner_options {
    std::string part;
    std::string script;  // "" runs without a script: every question gets its exit answer
    std::string out;
    std::string module = DRELAN_DEFAULT_MODULE;
    std::vector<std::string> data;  // data directories, searched in order
    bool trace = false;
    std::string fixed_time;  // "YYYY-MM-DDTHH:MM:SS", "" for the real clock
    int edit = 0;            // procedure opened for modification, 0 for a creation run
};

inline constexpr int kBadCommandLine = 2;

// Fills options from the command line and fixes the host clock at --fixed-time; false with the
// problem described when it is not usable.
bool parse_options(int argc, char** argv, runner_options& options, std::string& problem);
std::string usage_text();
