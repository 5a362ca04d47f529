// hostrun: runs the module the way the host does. It loads a part and a script into the host
// stand-in, loads the module with dlopen, calls its attach entry and drelan(), and writes what
// came out into the output folder: the transcript, dumps of the tool path, module data and
// entities, the display as text and as a picture, the saved part and, on request, the trace.

#include "host/control.hpp"
#include "host/control/picture.hpp"
#include "runner/options.hpp"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace control = vantu::control;
namespace fs = std::filesystem;

// Exit codes, as the README lists them.
constexpr int kNormalEnd = 0;
constexpr int kInputUnreadable = 3;
constexpr int kModuleNotLoadable = 4;
constexpr int kScriptMismatch = 5;
constexpr int kScriptExhausted = 6;
constexpr int kOutputUnwritable = 7;
constexpr int kModuleFailed = 8;

// The host's error channel: a failing routine of the module reports there.
constexpr const char* kErrorChannels[] = {"eroutc", "erou1c", "errout"};

// The reason codes a library entry gets from its loader.
constexpr int kProcessDetach = 0;
constexpr int kProcessAttach = 1;

using attach_entry = int (*)(int);
using module_entry = void (*)();

// The loaded module; closed when the run is over.
struct loaded_module {
    void* handle = nullptr;
    attach_entry attach = nullptr;
    module_entry run = nullptr;
    ~loaded_module()
    {
        if (handle) dlclose(handle);
    }
};

// Opens the module and finds its two entries; on failure says why and leaves the handle null.
bool load_module(const std::string& path, loaded_module& module)
{
    module.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module.handle) {
        std::cerr << "hostrun: module " << path << " cannot be loaded: " << dlerror() << '\n';
        return false;
    }
    module.attach = reinterpret_cast<attach_entry>(dlsym(module.handle, "drelan_attach"));
    module.run = reinterpret_cast<module_entry>(dlsym(module.handle, "drelan"));
    if (!module.attach || !module.run) {
        std::cerr << "hostrun: module " << path << " lacks its entries drelan_attach and drelan\n";
        return false;
    }
    return true;
}

// Prepares the host: the part, the script, the clock and the file places.
bool prepare_host(const runner_options& options)
{
    // Every fault of a reader ends the run with one line: part_error names the file and the
    // place itself; any other exception of a reader is named here by the file being read.
    const std::string* reading = &options.part;
    // The data directories first: the files a part names are found while it loads.
    control::set_data_directories(options.data);
    control::set_output_directory(options.out);
    try {
        control::load_part(options.part);
        reading = &options.script;
        if (!options.script.empty())
            control::load_script(options.script);
        else
            control::clear_script();
    } catch (const control::part_error& e) {
        std::cerr << "hostrun: " << e.what() << '\n';
        return false;
    } catch (const std::exception& e) {
        std::cerr << "hostrun: " << *reading << ": cannot be read: " << e.what() << '\n';
        return false;
    }
    control::set_part_file_name(options.part);
    control::set_tracing(options.trace);
    if (options.edit > 0 && !control::open_procedure_for_edit(options.edit)) {
        std::cerr << "hostrun: --edit " << options.edit << ": the tool path of " << options.part << " has no block "
                  << options.edit << '\n';
        return false;
    }
    return true;
}

// Calls attach and drelan; a run that the host ends (script mismatch, script exhausted) is caught
// here and reported. Answers the exit code of the run.
int run_module(const loaded_module& module, std::string& ending)
{
    try {
        module.attach(kProcessAttach);
        module.run();
        module.attach(kProcessDetach);
    } catch (const control::run_aborted& e) {
        ending = std::string(control::abort_reason_name(e.reason)) + ": " + e.what();
        return e.reason == control::abort_reason::script_mismatch ? kScriptMismatch : kScriptExhausted;
    }
    ending = "normal end";
    return kNormalEnd;
}

// A run that reached its end but whose module reported a failure on the error channel (a
// procedure whose execution failed among them) ends with kModuleFailed, its first such line told.
int judge_failures(int code, std::string& ending)
{
    if (code != kNormalEnd) return code;
    for (const control::message& m : control::messages())
        for (const char* channel : kErrorChannels)
            if (m.channel == channel) {
                ending = "module failure: " + m.line;
                return kModuleFailed;
            }
    return code;
}

bool write_file(const fs::path& path, const std::string& text)
{
    std::ofstream out(path);
    out << text;
    return static_cast<bool>(out);
}

// Writes a file as its writer makes it, straight into the file: the long outputs (the tool-path
// dump, the display file, the saved part) are never held as one text.
bool write_streamed(const fs::path& path, void (*writer)(std::ostream&))
{
    std::ofstream out(path);
    if (out) writer(out);
    return static_cast<bool>(out);
}

std::string transcript_text(const runner_options& options, const std::string& ending)
{
    std::string text =
        "part:   " + options.part + "\nscript: " + (options.script.empty() ? "(none)" : options.script) + "\n\n";
    for (const control::message& m : control::messages()) text += "[" + m.channel + "] " + m.line + "\n";
    text += "\nrun: " + ending + "\n";
    for (const std::string& line : control::end_report()) text += "left behind: " + line + "\n";
    return text;
}

std::string module_data_text()
{
    std::string text;
    for (const std::string& key : control::record_keys()) {
        auto words = control::get_record(key);
        text += "\"" + key + "\" kind " + std::to_string(control::record_kind(key).value_or(0)) + ":";
        for (word w : words.value_or(std::vector<word>{})) text += " " + std::to_string(w);
        text += "\n";
    }
    return text;
}

std::string trace_text()
{
    std::string text;
    for (const control::trace_entry& e : control::trace_entries())
        text += e.name + "(" + e.arguments + ") -> " + std::to_string(e.result) + "\n";
    return text;
}

// Beside the picture of every level, one picture per level when there are several (levels that
// lie over one another in the top view are seen one by one), up to a bound that keeps a tool path
// of very many levels from filling the folder.
constexpr std::size_t kMostLevelPictures = 50;

bool write_level_pictures(const fs::path& out)
{
    // A run before this one into the same folder may have left pictures of levels this one lacks.
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(out, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("picture_level_", 0) == 0 && entry.path().extension() == ".svg") fs::remove(entry.path(), error);
    }
    const std::size_t levels = control::picture_levels();
    if (levels < 2 || levels > kMostLevelPictures) return true;
    for (std::size_t level = 1; level <= levels; ++level) {
        std::ofstream file(out / ("picture_level_" + std::to_string(level) + ".svg"));
        if (file) control::write_picture_svg(file, {}, level);
        if (!file) return false;
    }
    return true;
}

// Writes every output of the run; false when a file cannot be written. Each file is written as
// its turn comes, the long ones straight from the host's state, so that a long tool path is held
// once, in the host, and never as whole texts beside it.
bool write_outputs(const runner_options& options, const std::string& ending)
{
    const fs::path out(options.out);
    std::error_code error;
    fs::create_directories(out, error);
    const std::vector<std::pair<const char*, void (*)(std::ostream&)>> files{
        {"toolpath.txt", control::write_toolpath_dump},
        {"module_data.txt", [](std::ostream& o) { o << module_data_text(); }},
        {"entities.txt", [](std::ostream& o) { o << control::entities_text(); }},
        {"display.txt", control::write_display_text},
        {"picture.svg", [](std::ostream& o) { control::write_picture_svg(o, {}); }},
    };
    bool ok = write_file(out / "transcript.txt", transcript_text(options, ending));
    for (const auto& [name, writer] : files) ok = ok && write_streamed(out / name, writer);
    ok = ok && write_level_pictures(out) && write_streamed(out / "part.saved.json", [](std::ostream& o) {
             control::write_part(o);
             o << '\n';
         });
    if (ok && options.trace) ok = write_file(out / "trace.txt", trace_text());
    if (!ok) std::cerr << "hostrun: cannot write the outputs into " << options.out << '\n';
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    runner_options options;
    std::string problem;
    if (!parse_options(argc, argv, options, problem)) {
        std::cerr << "hostrun: " << problem << '\n' << usage_text();
        return kBadCommandLine;
    }
    if (!prepare_host(options)) return kInputUnreadable;

    loaded_module module;
    if (!load_module(options.module, module)) return kModuleNotLoadable;

    std::string ending;
    const int ended = run_module(module, ending);
    // An edit run ends as the host's modify command ends it: the procedure once, in its place.
    control::close_procedure_edit(ended == kNormalEnd);
    const int code = judge_failures(ended, ending);
    if (!write_outputs(options, ending)) return kOutputUnwritable;
    std::cout << "hostrun: " << ending << "; outputs in " << fs::absolute(options.out).string() << '\n';
    return code;
}
