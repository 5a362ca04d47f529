// Strict reading of part and script files. A number is a JSON number (a boolean is not one), an
// integer fits 32 bits, a single-precision value fits a float; a value that does not throws
// control::part_error naming where it stood. Internal to the host: module code never includes it.
#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vantu {

double json_number(const nlohmann::json& value, const std::string& where);
float json_float(const nlohmann::json& value, const std::string& where);
int json_int(const nlohmann::json& value, const std::string& where);

// N single-precision values of a JSON array of exactly N numbers.
template <std::size_t N> std::array<float, N> json_floats(const nlohmann::json& value, const std::string& where)
{
    if (!value.is_array() || value.size() != N)
        json_number(nlohmann::json(), where + " (an array of " + std::to_string(N) + " numbers)");
    std::array<float, N> out{};
    for (std::size_t i = 0; i < N; ++i) out[i] = json_float(value[i], where);
    return out;
}

// The byte (from 0) at which the text stops being readable JSON, for a reader's exception that
// carries no place of its own (a number beyond the range of a double); the text's size when the
// whole text reads.
std::size_t json_fault_byte(std::string_view text);

}  // namespace vantu
