// Strict readers of part-file values and the place of a fault a JSON reader does not locate.
#include "host/core/json_read.hpp"

#include "host/control.hpp"

#include <cmath>
#include <limits>

namespace vantu {

double json_number(const nlohmann::json& value, const std::string& where)
{
    if (!value.is_number()) throw control::part_error(where + ": a number is expected");
    const double v = value.get<double>();
    if (!std::isfinite(v)) throw control::part_error(where + ": the number is not finite");
    return v;
}

float json_float(const nlohmann::json& value, const std::string& where)
{
    const double v = json_number(value, where);
    if (std::fabs(v) > std::numeric_limits<float>::max())
        throw control::part_error(where + ": the number does not fit a single-precision value");
    return static_cast<float>(v);
}

int json_int(const nlohmann::json& value, const std::string& where)
{
    if (!value.is_number_integer()) throw control::part_error(where + ": an integer is expected");
    if (value.is_number_unsigned() &&
        value.get<unsigned long long>() > static_cast<unsigned long long>(std::numeric_limits<int>::max()))
        throw control::part_error(where + ": the integer is beyond 32 bits");
    const long long v = value.get<long long>();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        throw control::part_error(where + ": the integer is beyond 32 bits");
    return static_cast<int>(v);
}

namespace {

// A reader that accepts every value and notes where the text stops being readable.
struct fault_locator : nlohmann::json_sax<nlohmann::json> {
    std::size_t at = 0;
    bool failed = false;
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception&) override
    {
        at = position;
        failed = true;
        return false;
    }
};

}  // namespace

std::size_t json_fault_byte(std::string_view text)
{
    fault_locator locator;
    nlohmann::json::sax_parse(text, &locator);
    return locator.failed ? std::min(locator.at, text.size()) : text.size();
}

}  // namespace vantu
