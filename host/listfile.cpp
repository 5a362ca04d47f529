// The listing files (host/vantu_listfile.hpp): lines kept per unit and written into the output
// folder on aclose. Session state, not saved in the part.
#include "host/vantu_listfile.hpp"

#include "host/control/listfile.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/files.hpp"
#include "host/core/message_log.hpp"
#include "host/core/output_layer.hpp"
#include "host/core/trace.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

constexpr int kWriteMode = 2;
constexpr std::size_t kMostNameChars = 255;

struct unit_file {
    std::string name;
    std::vector<std::string> lines;
    bool open = false;
};

std::map<int, unit_file>& units()
{
    static auto* all = new std::map<int, unit_file>;
    return *all;
}

void reset_units() { units().clear(); }

void report_units(std::vector<std::string>& lines)
{
    for (const auto& [unit, file] : units())
        if (file.open) lines.push_back("listing unit " + std::to_string(unit) + " (" + file.name + ") was not closed");
}

const bool listfile_registered = vantu::register_component({"listfile", reset_units, nullptr, nullptr, report_units});

void append(int unit, std::string line, int& count)
{
    auto it = units().find(unit);
    if (it == units().end() || !it->second.open) {
        vantu::record_host_error("listing line on unit " + std::to_string(unit) + ", which is not open");
        return;
    }
    it->second.lines.push_back(std::move(line));
    ++count;
}

std::string item_text(const fl_item& item)
{
    char text[64];
    switch (item.code) {
    case 'B': return std::string(static_cast<std::size_t>(std::max(item.count, 0)), ' ');
    case 'X': return std::string(static_cast<std::size_t>(std::max(item.count, 0)), ' ') + item.text;
    case 'I': return std::to_string(item.value);
    case 'R':
    case 'U': std::snprintf(text, sizeof text, "%.4f", static_cast<double>(item.real)); return text;
    case 'C':
        std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", item.date[0], item.date[1], item.date[2],
                      item.date[3], item.date[4], item.date[5]);
        return text;
    default: return item.text;
    }
}

}  // namespace

void aopen(int unit, std::string_view name, int mode, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("aopen"))
        status = *fault;
    else if (mode != kWriteMode || name.empty() || name.size() > kMostNameChars ||
             name.find('/') != std::string_view::npos || (units().count(unit) != 0 && units()[unit].open))
        status = -1;
    else
        units()[unit] = unit_file{std::string(name), {}, true};
    vantu::trace_call("aopen", std::to_string(unit) + "," + std::string(name), status);
}

void aclose(int unit, int& status)
{
    status = -1;
    auto it = units().find(unit);
    if (it != units().end() && it->second.open) {
        it->second.open = false;
        const std::string folder = vantu::output_directory().empty() ? std::string(".") : vantu::output_directory();
        std::error_code ignored;  // a folder that cannot be made shows as the failed write below
        std::filesystem::create_directories(folder, ignored);
        std::ofstream out(folder + "/" + it->second.name);
        for (const std::string& line : it->second.lines) out << line << '\n';
        status = out ? 0 : -1;
    }
    vantu::trace_call("aclose", std::to_string(unit), status);
}

void filtxt(int unit, std::string_view text, int n, int& line)
{
    const std::size_t kept = n < 0 ? text.size() : std::min(text.size(), static_cast<std::size_t>(n));
    append(unit, std::string(text.substr(0, kept)), line);
    vantu::trace_count("filtxt");
}

void fltxtc(int unit, std::span<const fl_item> items, int& line)
{
    std::string text;
    for (const fl_item& item : items) text += item_text(item);
    append(unit, std::move(text), line);
    vantu::trace_count("fltxtc");
}

bool vantu::listing_unit_open(int unit)
{
    auto it = units().find(unit);
    return it != units().end() && it->second.open;
}

namespace vantu::control {

std::vector<std::string> listing_lines(int unit)
{
    auto it = units().find(unit);
    return it == units().end() ? std::vector<std::string>{} : it->second.lines;
}

std::string listing_file_name(int unit)
{
    auto it = units().find(unit);
    return it == units().end() ? std::string() : it->second.name;
}

}  // namespace vantu::control
