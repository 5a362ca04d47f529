// The material-removal simulation stand-in (host/vantu_simulation.hpp): every call becomes one
// line of its transcript. Session state, not saved in the part.
#include "host/vantu_simulation.hpp"

#include "host/control/simulation.hpp"
#include "host/core/component.hpp"
#include "host/core/trace.hpp"

#include <cstdio>
#include <string>

namespace {

std::vector<std::string>& lines()
{
    static auto* all = new std::vector<std::string>;
    return *all;
}

void reset_lines() { lines().clear(); }

const bool simulation_registered = vantu::register_component({"simulation", reset_lines, nullptr, nullptr, nullptr});

std::string reals(const float* values, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%.4f", i == 0 ? "" : " ", static_cast<double>(values[i]));
        text += number;
    }
    return text;
}

void keep(const char* call, const std::string& arguments)
{
    lines().push_back(std::string(call) + " " + arguments);
    vantu::trace_count(call);
}

}  // namespace

void mrm_tpmov(const float* point, int block, int& status)
{
    status = point ? 0 : -1;
    if (point) keep("mrm_tpmov", reals(point, 3) + " block " + std::to_string(block));
}

void mrm_feed(float feed) { keep("mrm_feed", reals(&feed, 1)); }

void mrm_spin(float cutting_speed, int base_spin, int spin)
{
    keep("mrm_spin", reals(&cutting_speed, 1) + " " + std::to_string(base_spin) + " " + std::to_string(spin));
}

void mrm_cool(int coolant) { keep("mrm_cool", std::to_string(coolant)); }

void mrm_org(const float* first, const float* second)
{
    if (first && second) keep("mrm_org", reals(first, 3) + " " + reals(second, 3));
}

void mrm_ijk(const float* axis)
{
    if (axis) keep("mrm_ijk", reals(axis, 3));
}

void mrm_tppar(int tool_class, const float* values, int count, int master, const float* position, int tool, int& status)
{
    status = values && position && count >= 0 ? 0 : -1;
    if (status == 0)
        keep("mrm_tppar", std::to_string(tool_class) + " " + reals(values, count) + " master " +
                              std::to_string(master) + " at " + reals(position, 3) + " tool " + std::to_string(tool));
}

void mrm_tptype(int machine_type, std::string_view name)
{
    keep("mrm_tptype", std::to_string(machine_type) + " " + std::string(name));
}

void mrm_set_reallocation_size(int moves) { keep("mrm_set_reallocation_size", std::to_string(moves)); }

namespace vantu::control {

const std::vector<std::string>& simulation_lines() { return lines(); }

}  // namespace vantu::control
