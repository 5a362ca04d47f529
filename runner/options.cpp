// The runner's command line: --part and --out are needed, the rest is optional.
#include "runner/options.hpp"

#include "host/control/clock.hpp"

#include <charconv>
#include <string_view>

namespace {

bool parse_number(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end;
}

}  // namespace

std::string usage_text()
{
    return "usage: hostrun --part P.json [--script S.json] --out DIR [--module PATH] [--data DIR]...\n"
           "               [--trace] [--fixed-time YYYY-MM-DDTHH:MM:SS] [--edit N]\n";
}

bool parse_options(int argc, char** argv, runner_options& options, std::string& problem)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--trace") {
            options.trace = true;
            continue;
        }
        if (i + 1 >= argc) {
            problem = "option " + std::string(arg) + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (arg == "--part")
            options.part = value;
        else if (arg == "--script")
            options.script = value;
        else if (arg == "--out")
            options.out = value;
        else if (arg == "--module")
            options.module = value;
        else if (arg == "--data")
            options.data.push_back(value);
        else if (arg == "--fixed-time") {
            // A time the clock cannot take is a bad command line; a good one is set here.
            options.fixed_time = value;
            if (!vantu::control::set_fixed_time_text(value)) {
                problem = "--fixed-time " + value + ": expected YYYY-MM-DDTHH:MM:SS";
                return false;
            }
        } else if (arg == "--edit") {
            if (!parse_number(value, options.edit) || options.edit < 1) {
                problem = "--edit needs a procedure number of 1 or more";
                return false;
            }
        } else {
            problem = "unknown option " + std::string(arg);
            return false;
        }
    }
    if (options.part.empty() || options.out.empty()) {
        problem = "--part and --out are needed";
        return false;
    }
    return true;
}
