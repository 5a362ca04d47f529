// The listing columns and DEFPNM (see the header). Each writer blanks its column and writes its
// FORMAT into it; what passes the column's width is cut.
#include "listing/listing_fields.hpp"

#include "host/vantu.hpp"
#include "listing/fmt_writer.hpp"
#include "listing/lst_state.hpp"

#include <cmath>
#include <vector>

namespace {

constexpr int kWrittenBlanks = 21;

void fill(std::string& column, const std::string& text)
{
    const std::size_t width = column.size();
    column = text.substr(0, width);
    column.resize(width, ' ');
}

struct point_format {
    int kind;
    const char* format;
    int values;
    bool scaled;
};

constexpr point_format kPointFormats[] = {
    {1, "('X =',f11.4,3x,'Y =',f11.4,3x,'Z =',f11.4)", 3, true},
    {2, "('i =',f11.4,3x,'j =',f11.4,3x,'k =',f11.4)", 3, true},
    {3, "(12x,3(f11.4,1x))", 3, false},
    {4, "('X =',f11.4,3x,'Y =',f11.4)", 2, true},
    {5, "('K =',f8.4)", 1, true},
    {6, "('K =',f8.4,3x,'X =',f11.4,3x,'Y =',f11.4,3x,'Z =',f11.4)", 4, false},
};

struct param_label {
    int type;
    const char* label;
};

constexpr param_label kLabels[] = {
    {1, "FEED    = "},  {2, "SPIN    = "},  {3, "COOL    = "},  {4, "DWEL    = "},   {5, "CUT.COM_= "},
    {9, "SPIN_BY : "},  {10, "VC      = "}, {11, "GENERTR = "}, {12, "ANGLE   = "},  {13, "OFFSET  = "},
    {14, "FLUSH   = "}, {15, "WIRE    : "}, {16, "STOP PT   "}, {20, "G27       "},  {21, "G28       "},
    {22, "G29       "}, {23, "G30       "}, {24, "G28G29    "}, {25, "G29G30    "},  {26, "G32       "},
    {27, "G38       "}, {28, "G39       "}, {29, "G45       "}, {30, "G46       "},  {31, "G60       "},
    {32, "G61       "}, {33, "G62       "}, {34, "G63       "}, {35, "G32:   C= "},  {36, "G32:   K= "},
    {37, "G32:   X= "}, {38, "G32:   Y= "}, {39, "G32:   R= "}, {40, "G38/39:A= "},  {51, "NPITCH  = "},
    {52, "NIBBL_  = "}, {53, "PUNCH_  = "}, {54, "INDEX   = "}, {55, "UCS     = "},  {56, "STEP BY : "},
    {57, "STEP VAL= "}, {58, "STP INCR= "}, {59, "RAP.FEED= "}, {100, "TOOL    = "},
};

// A direction component cut toward zero to four decimals, as the listing always stored it.
float truncated(float value) { return static_cast<float>(static_cast<long long>(value * 10000.0)) * 0.0001f; }

}  // namespace

void lst_fmt_i3(int value)
{
    const std::vector<fmt_value> v{value};
    fill(lst_state().block_column, fmt_line("(1x,i3,2x)", v));
}

void lst_fmt_proc_block(int procedure, int block)
{
    const std::vector<fmt_value> v{procedure, block};
    fill(lst_state().proc_block_column, fmt_line("(1x,i3,'-',i6)", v));
}

void lst_fmt_point(int kind, std::span<float> values, float scale)
{
    listing_state& s = lst_state();
    std::string& column = kind == 6 ? s.line_buffer : s.coordinate_column;
    fill(column, "");
    for (const point_format& f : kPointFormats) {
        if (f.kind != kind || values.size() < static_cast<std::size_t>(f.values)) continue;
        std::vector<fmt_value> v;
        for (int i = 0; i < f.values; ++i) {
            float& value = values[static_cast<std::size_t>(i)];
            if (kind == 2) value = truncated(value);
            v.emplace_back(static_cast<double>(f.scaled ? value * scale : value));
        }
        fill(column, fmt_line(f.format, v));
    }
}

void lst_knot_line(int form, int unit, int type, int block, float scale, int has_point, float knot,
                   std::span<const float> point, int& line)
{
    (void)form;
    (void)type;
    lst_fmt_proc_block(lst_state().procedure, block);
    std::vector<float> values{knot};
    if (has_point != 0) values.insert(values.end(), point.begin(), point.end());
    lst_fmt_point(has_point != 0 ? 6 : 5, values, scale);
    const listing_state& s = lst_state();
    const std::string text = std::string(kWrittenBlanks, ' ') + (has_point != 0 ? s.line_buffer : s.coordinate_column);
    filtxt(unit, text, static_cast<int>(text.size()), line);
}

void DEFPNM(int prmtyp, std::string& label)
{
    for (const param_label& l : kLabels)
        if (l.type == prmtyp) {
            label = l.label;
            return;
        }
    erou1c("DEFPNM: WRONG PARAMETER", prmtyp);
    label = "UN KNOWN  ";
}
