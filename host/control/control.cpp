// Whole-host control: reset, part file load and save, end-of-run report, flags.
#include "host/control.hpp"

#include "host/control/files.hpp"
#include "host/core/component.hpp"
#include "host/core/files.hpp"
#include "host/core/flags.hpp"
#include "host/core/json_read.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

namespace vantu::control {

void reset()
{
    for (const component& c : components()) c.reset();
}

void load_part_text(std::string_view json_text, const std::string& name_for_errors)
{
    nlohmann::json part;
    try {
        part = nlohmann::json::parse(json_text);
    } catch (const nlohmann::json::parse_error& e) {
        // e.byte is the place of the error in the file.
        throw part_error(name_for_errors + ": not valid JSON at byte " + std::to_string(e.byte) + ": " + e.what());
    } catch (const nlohmann::json::exception& e) {
        // A number beyond the range of a double: the reader says what, the locator where.
        throw part_error(name_for_errors + ": not readable at byte " + std::to_string(json_fault_byte(json_text)) +
                         ": " + e.what());
    }
    if (!part.is_object()) throw part_error(name_for_errors + ": a part file is a JSON object");
    std::vector<std::string> data = data_directories();
    std::string part_folder = part_directory(), output = output_directory();
    reset();
    set_data_directories(std::move(data));
    set_part_directory(std::move(part_folder));
    set_output_directory(std::move(output));
    // The entities load first: other sections (the curve sets) name them.
    std::vector<std::pair<std::string, const nlohmann::json*>> sections;
    for (const auto& [key, value] : part.items()) sections.emplace_back(key, &value);
    std::stable_partition(sections.begin(), sections.end(), [](const auto& s) { return s.first == "entities"; });
    for (const auto& [key, section] : sections) {
        const nlohmann::json& value = *section;
        bool known = false;
        for (const component& c : components()) {
            if (key != c.name || !c.load) continue;
            known = true;
            try {
                c.load(value);
            } catch (const std::exception& e) {
                throw part_error(name_for_errors + ": in \"" + key + "\": " + e.what());
            }
        }
        if (!known && key != "comment") throw part_error(name_for_errors + ": unknown section \"" + key + "\"");
    }
}

void load_part(const std::string& path)
{
    std::ifstream in(path);
    if (!in) throw part_error(path + ": cannot be opened");
    std::stringstream text;
    text << in.rdbuf();
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(path, error).parent_path();
    set_part_directory(error ? std::string() : folder.string());
    load_part_text(text.str(), path);
}

void write_part(std::ostream& out)
{
    // The sections in the order of their keys, as a JSON object keeps them, each made when its
    // turn comes: a long section is written by its component as it goes, the others are built as
    // JSON and laid out one at a time.
    std::map<std::string, void (*)(std::ostream&, int)> streamed;
    for (const section_writer& w : section_writers()) streamed[w.name] = w.write;
    std::map<std::string, const component*> built;
    for (const component& c : components())
        if (c.save && !streamed.count(c.name)) built[c.name] = &c;
    const char* separator = "{\n";
    auto open_section = [&](const std::string& name) {
        out << separator << " \"" << name << "\": ";
        separator = ",\n";
    };
    auto streamed_at = streamed.begin();
    for (const auto& [name, c] : built) {
        for (; streamed_at != streamed.end() && streamed_at->first < name; ++streamed_at) {
            open_section(streamed_at->first);
            streamed_at->second(out, 1);
        }
        nlohmann::json section;
        c->save(section);
        if (section.is_null()) continue;  // a component with nothing to keep
        open_section(name);
        write_json(out, section, 1);
    }
    for (; streamed_at != streamed.end(); ++streamed_at) {
        open_section(streamed_at->first);
        streamed_at->second(out, 1);
    }
    out << (separator[0] == '{' ? "{}" : "\n}");
}

std::string save_part_text()
{
    std::ostringstream out;
    write_part(out);
    return std::move(out).str();
}

void save_part(const std::string& path)
{
    std::ofstream out(path);
    if (!out) throw part_error(path + ": cannot be written");
    write_part(out);
    out << '\n';
}

std::vector<std::string> end_report()
{
    std::vector<std::string> lines;
    for (const component& c : components())
        if (c.end_report) c.end_report(lines);
    return lines;
}

bool set_flag(std::string_view name, int value) { return flag_set(name, value); }
int get_flag(std::string_view name) { return flag_get(name); }

}  // namespace vantu::control
