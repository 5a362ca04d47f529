// Numbers as text and fields of label and value (host/vantu_textwin.hpp): cvr2t, cvr2td, cvi2ts,
// maktx5 and maktx6.
#include "host/vantu_textwin.hpp"

#include "host/core/trace.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace {

constexpr int kMostDecimals = 9;

std::string_view trimmed(std::string_view piece)
{
    const std::size_t end = piece.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : piece.substr(0, end + 1);
}

void fixed_text(float value, int decimals, std::string& text)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(decimals, 0, kMostDecimals), static_cast<double>(value));
    text = buffer;
    if (text == "-0" || text.find_first_not_of("-0.") == std::string::npos) text.erase(0, text[0] == '-' ? 1 : 0);
}

void refuse(std::string& text, int& length)
{
    text.clear();
    length = -1;
}

void join(int gap, std::initializer_list<std::string_view> pieces, int width, std::string& field, int& length)
{
    std::string out;
    for (std::string_view piece : pieces) {
        const std::string_view kept = trimmed(piece);
        if (kept.empty()) continue;
        if (!out.empty()) out.append(static_cast<std::size_t>(std::max(gap, 0)), ' ');
        out += kept;
    }
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    if (out.size() > w) out.resize(w);
    length = static_cast<int>(out.size());
    out.resize(w, ' ');
    field = out;
}

}  // namespace

void cvr2t(float value, int decimals, int width, std::string& text, int& length)
{
    vantu::trace_count("cvr2t");
    if (!std::isfinite(value)) return refuse(text, length);
    fixed_text(value, decimals, text);
    length = static_cast<int>(text.size());
    if (length > width) refuse(text, length);
}

void cvr2td(float value, int digits, int decimals, std::string& text, int& length)
{
    vantu::trace_count("cvr2td");
    if (!std::isfinite(value)) return refuse(text, length);
    fixed_text(value, decimals, text);
    length = static_cast<int>(text.size());
    const auto count = std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (count > digits) refuse(text, length);
}

void cvi2ts(int value, int width, std::string& text, int& length)
{
    vantu::trace_count("cvi2ts");
    text = std::to_string(value);
    length = static_cast<int>(text.size());
    if (length > width) refuse(text, length);
}

void maktx5(int gap, std::string_view label, std::string_view separator, std::string_view value, int width,
            std::string& field, int& length)
{
    join(gap, {label, separator, value}, width, field, length);
}

void maktx6(int gap, std::string_view label, std::string_view separator, std::string_view value, std::string_view unit,
            int width, std::string& field, int& length)
{
    join(gap, {label, separator, value, unit}, width, field, length);
}
