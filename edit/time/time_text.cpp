// Report lines of the time estimate (see the header).
#include "edit/time/time_text.hpp"

#include "edit/time/time_est_state.hpp"
#include "host/vantu_compose.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_textfiles.hpp"

#include <algorithm>
#include <cmath>

namespace {

// A time whose seconds exceed a whole number by no more than a microsecond is that number: the
// remainder is rounding of the sums, not time the machine spends.
constexpr double kSecondSlack = 1.0e-6;

}  // namespace

void time_line_out(int file, std::string_view text, int mode)
{
    if (mode == kEstimateFile || mode == kEstimateFileAndScreen) {
        int status = 0;
        fileputs(file, std::string(text) + "\n", status);
    }
    if (mode == kEstimateScreen || mode == kEstimateFileAndScreen) shmsgc(text);
}

void time_text_put(std::string& line, std::string_view text, int place)
{
    line.resize(static_cast<std::size_t>(std::max(place, 0)), ' ');
    line += text;
}

long long time_whole_seconds(double minutes)
{
    const double seconds = minutes * 60.0;
    const double whole = std::floor(seconds);
    return static_cast<long long>(whole) + (seconds - whole > kSecondSlack ? 1 : 0);
}

void time_text_hms(int file, std::string& line, double minutes, int mode)
{
    const long long s = time_whole_seconds(minutes);
    const double hours = double(s / 3600), rest_minutes = double(s % 3600 / 60), seconds = double(s % 60);
    const tx_group h{'I', hours, " HOURS "}, m{'I', rest_minutes, " MINUTES "}, sec{'I', seconds, " SECONDS"};
    std::string text;
    if (hours != 0.0)
        mktx3c(" ", h, m, sec, text);
    else if (rest_minutes != 0.0)
        mktx2c(" ", m, sec, text);
    else
        mktx1c(" ", sec, text);
    line += '\t';
    line += text;
    time_line_out(file, line, mode);
}
