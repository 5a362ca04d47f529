// The time estimate's output (see the header).
#include "edit/time/time_report.hpp"

#include "edit/editor/list_cursor_state.hpp"
#include "edit/time/time_est_state.hpp"
#include "edit/time/time_text.hpp"
#include "host/vantu.hpp"
#include "host/vantu_compose.hpp"
#include "host/vantu_textfiles.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/part_file_names.hpp"

#include <algorithm>
#include <array>

namespace {

constexpr double kToolChangeMinutes = 0.25;
constexpr int kOriginZ = tp_header_state::kMacsysOrigin + 2;
constexpr const char* kSeparator = "\t===========================================================\n";

int mode() { return time_est().output_mode; }
void out(int file, const std::string& text) { time_line_out(file, text, mode()); }

// The name of a length unit code (1 MM .. 5 M), with its leading blank.
std::string unit_name(int unit)
{
    static constexpr std::array<const char*, 6> kNames{"", " MM", " CM", " INCH", " FEET", " M"};
    return unit >= 1 && unit <= 5 ? kNames[static_cast<std::size_t>(unit)] : "";
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

void milling_line(int file, float factor, int unit)
{
    time_est_state& s = time_est();
    std::string text;
    mktx1c("MILLING LENGTH IS: ", tx_group{'I', s.milling_length / factor, unit_name(unit)}, text);
    out(file, "\t\t" + text);
    s.milling_length = 0.0;
}

}  // namespace

void TIME_BLKLST(int kind, int procedure, int& opened, int& file, std::string& path, int& status)
{
    status = 0;
    opened = 0;
    file = 0;
    path.clear();
    time_est_state& s = time_est();
    s.procedure = procedure;
    const std::string name = kind == kTimeToolPath ? "TP_TIME" : "TIME_" + std::to_string(procedure);
    const char* title = kind == kTimeToolPath ? "TOOL PATH TIME ESTIMATE " : "PROCEDURE TIME ESTIMATE ";
    if (mode() < kEstimateFile) {
        gtpfnm(s.part_name);
        if (s.part_name.empty()) status = -1;
    } else {
        char made[kMostFileNameChars + 1] = {};
        int path_length = 0, part_length = 0;
        crtpnm_cstr(kNameAskToolPath, name.c_str(), static_cast<int>(name.size()), made, path_length, part_length,
                    status);
        if (status != 0) {
            status = -1;
            return;
        }
        path = made;
        s.part_name = path.substr(0, static_cast<std::size_t>(std::clamp(part_length, 0, int(path.size()))));
        fileopen(path, "w", file, status);
        if (status != 0) {
            errou4("TIME_BLKLST, CANNOT OPEN FILE (fopen failed)", path);
            status = -1;
            return;
        }
        prmptc("W R I T I N G");
        opened = 1;
    }
    if (status < 0) return;
    out(file, std::string("\t\t") + title);
    out(file, "\t\t=========================");
    if (opened) out(file, "\t\tPART FILE NAME : " + quoted(s.part_name) + "\n");
}

void time_proc_header(int file)
{
    std::string name, number;
    get_nc_function_name(list_cursor().cursor_fn_code, name);
    mktx1c("PROCEDURE NUMBER = ", tx_group{'I', double(time_est().procedure), " "}, number);
    out(file, kSeparator);
    out(file, "\t" + number + "\t\tFUNCTION NAME : " + quoted(name));
}

void time_tool_report(int file)
{
    time_est_state& s = time_est();
    const time_est_tool& tool = s.tools[static_cast<std::size_t>(s.tool_index)];
    if (s.no_warning) out(file, "\n\t\tACCORDING TO TOOL LIFE VALUE - NO NEED TO REPLACE THE TOOL.");
    s.no_warning = 1;
    std::string line;
    time_text_put(line, "\t\tTOOL " + quoted(tool.name) + " TIME IS: ", 0);
    time_text_hms(file, line, s.stint_time, mode());
    int unit = 0;
    float factor = 1.0f;
    getunt(unit, factor);
    milling_line(file, factor > 0.0f ? factor : 1.0f, unit);
    std::string life;
    mktx1c("TOOL LIFE VALUE IS: ", tx_group{'R', tool.life, " HOURS"}, life);
    out(file, "\t\t" + life);
}

void time_proc_summary(int file)
{
    time_est_state& s = time_est();
    s.tool_changes = std::max(s.tool_changes, 1);
    const double changing = kToolChangeMinutes * (s.tool_changes - 1);
    const double total = changing + s.fast_time + s.max_feed_time + s.feed_time;
    if (!(total > 0.0)) {
        out(file, "\n\t\tTHERE ARE NO MOVEMENTS IN THIS PROCEDURE.");
        out(file, kSeparator);
        return;
    }
    s.tools[static_cast<std::size_t>(s.tool_index)].accumulated += s.stint_time;
    time_tool_report(file);
    std::string line, text;
    mktx1c("TOTAL ESTIMATED TIME FOR PROCEDURE #", tx_group{'I', double(s.procedure), " IS: "}, text);
    time_text_put(line, "\n\t\t" + text, 0);
    time_text_hms(file, line, total, mode());
    out(file, "\t\t--------------------");
    const std::array<std::pair<const char*, double>, 3> kinds{{{"\t\tFEED TIME          :\t", s.feed_time},
                                                               {"\t\tMAX-FEED TIME      :\t", s.max_feed_time},
                                                               {"\t\tFAST TIME          :\t", s.fast_time}}};
    for (const auto& [label, minutes] : kinds) {
        time_text_put(line, label, 0);
        time_text_hms(file, line, minutes, mode());
    }
    if (s.tool_changes > 1) {
        time_text_put(line, "\t\tCHANGING TOOLS TIME :\t", 0);
        time_text_hms(file, line, changing, mode());
    }
    int unit = 0;
    float factor = 1.0f;
    getunt(unit, factor);
    const float lowest = s.min_z / (factor > 0.0f ? factor : 1.0f) - NPT1().real(kOriginZ);
    mktx1c("MINIMUM Z IN PROCEDURE IS: ", tx_group{'R', lowest, unit_name(unit)}, text);
    out(file, "\n\t\t" + text);
    out(file, kSeparator);
}

void time_file_close(int opened, int file, const std::string& path, int& status)
{
    if (opened) {
        int closed = 0;
        fileclose(file, closed);
        if (closed != 0) status = -1;
    }
    if (status == 0 && opened) usrer4("OUTPUT TO FILE", path, 14, static_cast<int>(path.size()));
}
