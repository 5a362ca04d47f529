// The host clock: the system's local time, or the fixed time the runner or a test set so that
// transcripts and listings with dates are reproducible.
#include "host/vantu_clock.hpp"

#include "host/control/clock.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

namespace {

using clock_fields = std::array<int, 6>;  // year, month, day, hour, minute, second

std::optional<clock_fields>& fixed_time()
{
    static std::optional<clock_fields> fixed;
    return fixed;
}

// host_wait sleeps only when real waits are on; the runner and the tests leave them off.
bool& real_waits()
{
    static bool on = false;
    return on;
}

bool leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap_year(year) ? 29 : days[month - 1];
}

bool valid_time(const clock_fields& t)
{
    auto [year, month, day, hour, minute, second] = t;
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= days_in_month(year, month) &&
           hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

// Reads exactly `digits` decimal digits at text[at].
std::optional<int> number_at(std::string_view text, std::size_t at, std::size_t digits)
{
    if (at + digits > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "YYYY-MM-DDTHH:MM:SS": the fields and the separators at their fixed places.
std::optional<clock_fields> parse_iso(std::string_view text)
{
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ') ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    static constexpr std::size_t starts[6] = {0, 5, 8, 11, 14, 17};
    static constexpr std::size_t widths[6] = {4, 2, 2, 2, 2, 2};
    clock_fields t{};
    for (std::size_t i = 0; i < 6; ++i) {
        std::optional<int> field = number_at(text, starts[i], widths[i]);
        if (!field) return std::nullopt;
        t[i] = *field;
    }
    return t;
}

clock_fields system_local_time()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

}  // namespace

void host_local_time(int (&out)[6])
{
    clock_fields t = fixed_time() ? *fixed_time() : system_local_time();
    for (std::size_t i = 0; i < 6; ++i) out[i] = t[i];
    vantu::trace_call("host_local_time", fixed_time() ? "fixed" : "system", 0);
}

void host_wait(float seconds)
{
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.3f", static_cast<double>(seconds));
    // A wait is bounded by the longest delay a dialog offers; a value that is not finite waits
    // nothing.
    constexpr float kLongestWait = 60.0f;
    if (real_waits() && seconds > 0.0f && std::isfinite(seconds))
        std::this_thread::sleep_for(std::chrono::duration<float>(std::min(seconds, kLongestWait)));
    vantu::trace_call("host_wait", shown, 0);
}

namespace vantu::control {

void set_real_waits(bool on) { real_waits() = on; }

void set_fixed_time(int year, int month, int day, int hour, int minute, int second)
{
    clock_fields t{year, month, day, hour, minute, second};
    if (!valid_time(t)) {
        std::string shown;
        for (int field : t) shown += (shown.empty() ? "" : ",") + std::to_string(field);
        record_host_error("set_fixed_time, NO SUCH TIME " + shown);
        return;
    }
    fixed_time() = t;
}

bool set_fixed_time_text(std::string_view iso)
{
    std::optional<clock_fields> t = parse_iso(iso);
    if (!t || !valid_time(*t)) return false;
    fixed_time() = *t;
    return true;
}

void clear_fixed_time() { fixed_time().reset(); }

bool fixed_time_active() { return fixed_time().has_value(); }

}  // namespace vantu::control
