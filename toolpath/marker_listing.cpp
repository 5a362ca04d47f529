// Marker names and the marker line of the tool-path listing.
#include "toolpath/marker_listing.hpp"

#include "host/vantu_messages.hpp"

#include <array>
#include <cstdio>
#include <string_view>

namespace {

constexpr int kFailed = -1;
constexpr int kColumnWidth = 24;
constexpr int kLastMarkerCode = 66;

// The names of the marker pairs 1/2, 3/4, ... 65/66, in pair order.
constexpr std::array<std::string_view, kLastMarkerCode / 2> kPairNames{
    "COMPLEX", "LAYER", "PASS", "CURVE", "APPROACH", "RETRACT", "DRILL_CYCLE", "CONNECTION",
    "PUNCH_PROFIL", "STRING", "PUNCH_CIRCLES", "PUNCH_POINTS", "ROUGH", "FINISH", "LDRILL", "CONTOUR",
    "PATH BY X", "PATH BY Y", "PATH BY RADIUS", "PATH BY ANGLE", "LINEAR REPETITION", "ANGULAR REPETITION",
    "THREAD CYCLE", "ROUGH PASSES", "FINISH PASSES", "SPRING PASSES", "THREAD", "GROOVE ROUGH CYCLES",
    "GROOVE FINISH CYCLES", "REGION  ", "RETRACT", "HORZ ON SRF", "VERT CONST Z",
};

// One column: the text cut or blank-padded to the column width, then the column's bar.
std::string column(std::string_view text)
{
    std::string out(text.substr(0, kColumnWidth));
    out.resize(kColumnWidth, ' ');
    return out + "|";
}

std::string extra_word(const tp_marker_block& marker)
{
    char text[64];
    if (marker_has_z(marker.code)) std::snprintf(text, sizeof text, "Z = %.4f", static_cast<double>(marker.z));
    else if (marker_has_int(marker.code)) std::snprintf(text, sizeof text, "VALUE = %d", marker.value);
    else text[0] = '\0';
    return text;
}

}  // namespace

bool marker_name(int code, std::string& name)
{
    if (code < 1 || code > kLastMarkerCode) return false;
    name = kPairNames[static_cast<std::size_t>((code - 1) / 2)];
    return true;
}

void PRBT99(const tp_marker_block& marker, std::string& line, int& status)
{
    status = 0;
    line.clear();
    std::string name;
    if (!marker_name(marker.code, name)) {
        erou1c("PRBT99 - UNEXPECTED MARKER TYPE", marker.code);
        status = kFailed;
        return;
    }
    const bool opens = marker.code % 2 == 1;
    line = "|" + column(opens ? "OPEN " : "CLOSE") + column(name) + column(extra_word(marker));
}
