// File names from the part's name and plain text files in the output folder
// (host/vantu_textfiles.hpp). Open files are session state, not saved in the part; the marker is
// the part's.
#include "host/vantu_textfiles.hpp"

#include "host/control/textfiles.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/files.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace {

constexpr std::size_t kMostNameChars = 255;
constexpr std::size_t kMarkerChars = 4;

struct text_files_state {
    std::string marker;
    int next_handle = 1;
    std::map<int, std::unique_ptr<std::ofstream>> open;
};

text_files_state& state()
{
    static auto* s = new text_files_state;
    return *s;
}

void reset_state() { state() = text_files_state{}; }

void report(std::vector<std::string>& lines)
{
    if (!state().open.empty()) lines.push_back("text files left open: " + std::to_string(state().open.size()));
}

const bool textfiles_registered = vantu::register_component({"text_files", reset_state, nullptr, nullptr, report});

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(std::string_view(" \0", 2));
    return text.substr(first, last - first + 1);
}

std::ofstream* open_file(int handle)
{
    const auto it = state().open.find(handle);
    return it == state().open.end() ? nullptr : it->second.get();
}

}  // namespace

namespace vantu::control {

void set_part_marker(std::string marker) { state().marker = std::move(marker); }
int text_files_open() { return static_cast<int>(state().open.size()); }

std::string text_file_path(const std::string& name)
{
    namespace fs = std::filesystem;
    const fs::path path(name);
    if (path.has_parent_path() || output_directory().empty()) return name;
    return (fs::path(output_directory()) / path).string();
}

}  // namespace vantu::control

void nopath(std::string_view path, std::string& name)
{
    const auto slash = path.find_last_of("/\\");
    name = slash == std::string_view::npos ? std::string(path) : std::string(path.substr(slash + 1));
    vantu::trace_count("nopath");
}

void gtpfmx(std::string& marker)
{
    marker = state().marker.substr(0, kMarkerChars);
    marker.resize(kMarkerChars, ' ');
    vantu::trace_count("gtpfmx");
}

void makfln(std::string_view part, std::string_view text, std::string_view suffix, std::string& name, int& status)
{
    status = 0;
    name.clear();
    if (const auto fault = vantu::fault_hit("makfln"))
        status = *fault;
    else if (trimmed(part).empty())
        status = -1;
    else {
        name = std::string(trimmed(part));
        for (const std::string_view piece : {trimmed(text), trimmed(suffix)})
            if (!piece.empty()) name += "_" + std::string(piece);
        if (name.size() > kMostNameChars) {
            name.clear();
            status = -1;
        }
    }
    vantu::trace_call("makfln", name, status);
}

int lastnb(std::string_view text)
{
    const auto last = text.find_last_not_of(std::string_view(" \0", 2));
    return last == std::string_view::npos ? 0 : static_cast<int>(last) + 1;
}

void convcs(std::string& text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
}

int sexist(std::string_view name)
{
    std::error_code error;
    const int exists = std::filesystem::exists(vantu::control::text_file_path(std::string(name)), error) ? 1 : 0;
    vantu::trace_call("sexist", name, exists);
    return exists;
}

void fileopen(std::string_view name, std::string_view mode, int& handle, int& status)
{
    handle = 0;
    status = 0;
    if (const auto fault = vantu::fault_hit("fileopen"))
        status = *fault;
    else if (name.empty() || (mode != "w" && mode != "a"))
        status = -1;
    else {
        // The output folder is made on first use, as aclose does for the listings.
        const std::filesystem::path path = vantu::control::text_file_path(std::string(name));
        std::error_code ignored;  // a folder that cannot be made shows as the failed open below
        if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
        auto file = std::make_unique<std::ofstream>(path, mode == "a" ? std::ios::app : std::ios::trunc);
        if (!*file)
            status = -1;
        else {
            handle = state().next_handle++;
            state().open[handle] = std::move(file);
        }
    }
    vantu::trace_call("fileopen", std::string(name) + "," + std::string(mode), status);
}

void fileputs(int handle, std::string_view text, int& status)
{
    std::ofstream* file = open_file(handle);
    status = file ? 0 : -1;
    if (file) *file << text;
    vantu::trace_count("fileputs");
}

void fileclose(int handle, int& status)
{
    std::ofstream* file = open_file(handle);
    status = file ? 0 : -1;
    if (file) state().open.erase(handle);
    vantu::trace_call("fileclose", std::to_string(handle), status);
}
