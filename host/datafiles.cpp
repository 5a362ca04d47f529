// The host's data-file search: the runner's data directories in order, then the part's folder.
#include "host/vantu_datafiles.hpp"

#include "host/core/faults.hpp"
#include "host/core/files.hpp"
#include "host/core/trace.hpp"

#include <filesystem>
#include <system_error>

namespace {

constexpr int kFound = 0;
constexpr int kNotFound = -1;
constexpr std::size_t kMaxPathLength = 255;

bool usable_name(std::string_view name)
{
    return !name.empty() && name.size() <= kMaxPathLength && name.find('\0') == std::string_view::npos;
}

std::string joined(const std::string& directory, std::string_view name)
{
    if (directory.empty()) return std::string(name);
    return (std::filesystem::path(directory) / std::string(name)).string();
}

}  // namespace

std::optional<std::string> vantu::find_data_file(std::string_view name)
{
    if (!usable_name(name)) return std::nullopt;
    std::vector<std::string> places = data_directories();
    if (!part_directory().empty()) places.push_back(part_directory());
    for (const std::string& directory : places) {
        std::string candidate = joined(directory, name);
        if (candidate.size() <= kMaxPathLength && fexist(candidate)) return candidate;
    }
    return std::nullopt;
}

int fexist(std::string_view path)
{
    vantu::trace_count("fexist");
    if (!usable_name(path)) return 0;
    std::error_code error;
    return std::filesystem::is_regular_file(std::string(path), error) ? 1 : 0;
}

void get_dat_name(std::string_view name, std::string& path, int& status)
{
    status = kNotFound;
    if (auto fault = vantu::fault_hit("get_dat_name")) {
        status = *fault;
    } else if (auto found = vantu::find_data_file(name)) {
        path = *found;
        status = kFound;
    }
    vantu::trace_call("get_dat_name", name, status);
}

void dat_name(int kind, std::string_view name, std::string& path, int& status)
{
    status = kNotFound;
    if (usable_name(name)) {
        std::string directory;
        if (!vantu::data_directories().empty())
            directory = vantu::data_directories().front();
        else
            directory = vantu::part_directory();
        path = joined(directory, name);
        status = kFound;
    }
    vantu::trace_call("dat_name", std::to_string(kind) + " " + std::string(name), status);
}

void chk_crt(std::string_view path, int& status)
{
    status = kNotFound;
    if (usable_name(path)) {
        std::error_code error;
        std::filesystem::path file{std::string(path)};
        std::filesystem::path folder = file.parent_path();
        if (fexist(path) || folder.empty() || std::filesystem::is_directory(folder, error)) status = kFound;
    }
    vantu::trace_call("chk_crt", path, status);
}
