// The mill's class page and the mill values kept consistent: ball or corner-radius shape, the
// tapered ball's tip diameter, the holder choice with SPARE2 and the gauge length, and the
// compensation numbers that follow the holder number. Reads and writes tool_shape_records.mill,
// current_tool (HOLDER, holder mode), holder_set and the page choices.
#include "tools/default_symbol.hpp"
#include "tools/tool_pages.hpp"

#include "host/vantu.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kShapeList = 700, kHolderList = 703;
constexpr int kBall = 1, kCornerRadius = 2;
constexpr int kNoHolders = 1, kHolders = 2;
constexpr int kShowHolders = 2;

// k = tan(45 + a / 2): a ball of shown diameter D has the tip diameter D / k on a taper a.
float tip_factor(const mill_fields& m) { return std::tan(radian(45 + m.SPARE1 / 2)); }

// The diameter a holder set starts from: the tool's at the top of its cut length.
float reference_diameter(const mill_fields& m) { return m.DIAMTR + 2 * m.CUTLNG * std::tan(radian(m.SPARE1)); }

}  // namespace

void mill_shape_sync(int final_pass)
{
    mill_fields& m = tool_shapes().mill;
    tool_page_choices& c = page_choices();
    const float k = tip_factor(m);
    if (final_pass != 0) {
        if (c.mill_shape == kBall) m.DIAMTR /= k;
        if (c.holder_choice == kNoHolders) m.SPARE2 = -std::fabs(m.SPARE2);
        return;
    }
    if (c.mill_shape == 0) {
        c.mill_shape = kCornerRadius;
        if (eqval(m.DIAMTR, 2 * m.CRNRRD / k)) {
            c.mill_shape = kBall;
            m.DIAMTR = 2 * m.CRNRRD;  // shown as the ball's diameter
        }
    }
    if (c.mill_shape == kBall) {
        m.CRNRRD = m.DIAMTR / 2;
    } else if (c.previous_shape == kBall) {
        m.CRNRRD = c.kept_corner_radius;
    } else {
        c.kept_corner_radius = m.CRNRRD;
    }
    c.previous_shape = c.mill_shape;
    if (c.holder_choice == 0) c.holder_choice = m.SPARE2 <= 0 ? kNoHolders : kHolders;
    if (c.holder_choice == kNoHolders)
        m.SPARE2 = -std::fabs(m.SPARE2);
    else
        m.SPARE2 = std::max(std::fabs(m.SPARE2), reference_diameter(m));
    const int holder = tool_block().HOLDER;
    if (holder != c.previous_holder) m.DIMCMP = m.LENCMP = m.FIXCMP = holder;
    c.previous_holder = holder;
}

float mill_gauge_length()
{
    const holder_set& h = tool_holders();
    const int n = std::clamp(h.count, 1, kMaxHolderCount);
    float gauge = tool_shapes().mill.CLRLNG;
    if (h.shank_mode == 2) gauge += h.total_height[0];
    for (int i = 1; i <= n; ++i) gauge += h.total_height[static_cast<std::size_t>(i)];
    if (h.second_mode == 2) gauge += h.total_height[static_cast<std::size_t>(n + 1)];
    return gauge;
}

void mill_page(form_builder& form)
{
    mill_fields& m = tool_shapes().mill;
    tool_page_choices& c = page_choices();
    const bool holders = c.holder_choice == kHolders;
    m.SPARE2 = holders ? reference_diameter(m) : 0.0f;
    if (holders) {
        m.GUGLNG += m.CLRLNG - c.previous_clear_length;
        c.previous_clear_length = m.CLRLNG;
    }
    form.integer(1, kListChoice, kShapeList, c.mill_shape, 0, 0, kWatch | kFollow);
    form.real(2, kRealField, m.DIAMTR, 0, 9999, kWatch | kFollow);
    if (c.mill_shape == kBall)
        form.blank();
    else
        form.real(3, kRealField, m.CRNRRD, 0, 4999.5f, kWatch | kFollow);
    form.integer(4, kIntField, -1, tool_block().HOLDER, 1, 9999, kFollow);
    form.column();
    form.integer(5, kListChoice, kHolderList, c.holder_choice, 0, 0, kWatch | kFollow);
    tool_block().holder_mode = c.holder_choice == kHolders ? 2 : 1;
    if (holders) {
        form.line("HOLDER COLOR");
        c.holder_colour_item = form.colour(tool_colours().holder);
        form.line("HOLDER PARAM:HIDE@HOLDER PARAM:SHOW", c.holder_params, form.watch_all ? kWatch : 0);
    } else {
        c.holder_colour_item = 0;
        form.blank(3);
    }
    form.line("TOOL COLOR");
    c.tool_colour_item = form.colour(tool_colours().tool);
    form.column();
    form.real(6, kRealField, m.CUTLNG, 0.01f, 9999, kFollow);
    if (m.CLRLNG < m.CUTLNG) m.CLRLNG = m.CUTLNG;
    form.real(7, kRealField, m.CLRLNG, 0.01f, 9999, holders ? kWatch | kFollow : 0);
    if (holders) {
        char text[40];
        std::snprintf(text, sizeof text, "GAUGE LENGTH=%.3f", static_cast<double>(m.GUGLNG));
        form.line(text);
    } else {
        form.real(8, kRealField, m.GUGLNG, 0.01f, 9999);
    }
    form.real(9, kSecondReal, m.SPARE1, 0, 89.9f, kWatch | kFollow);
}

bool mill_shows_holders()
{
    return page_choices().holder_choice == kHolders && page_choices().holder_params == kShowHolders;
}
