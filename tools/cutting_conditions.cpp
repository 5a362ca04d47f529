// The cutting-conditions page: one column per cutting condition of the class (the mill's side
// cut, slotting, end cut and drill), the speed shown in the user's unit, and the automatic update
// of the spindle speed, feed per tooth and steps from the tool's dimensions.
// Reads and writes current_tool (CRVLOC, CRSPIN, CRFEED, CRDSTP, CRSSTP); reads tool_shape_records.
#include "tools/current_tool.hpp"
#include "tools/module_block.hpp"
#include "tools/tool_data_pages.hpp"
#include "tools/tool_form.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "tools/tool_utilities.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float kFeetPerMetre = 3.2808399f;
constexpr int kPageRows = 8;
constexpr int kAskAgain = -3;
// Row limits.
constexpr float kSpinLow = 1, kSpinHigh = 999999;
constexpr float kFeedPerToothLow = 0.001f, kFeedPerToothHigh = 9999999;
constexpr float kFeedLow = 1, kFeedHigh = 999999;
constexpr float kStepLow = 0.1f, kStepHigh = 9999;
constexpr float kSpeedHigh = 9999;
// Mill columns.
constexpr int kSideCut = 1, kSlotting = 2, kEndCut = 3, kMillDrill = 4;

struct column_items {
    int speed = 0, spin = 0, feed_per_tooth = 0, feed = 0, down = 0, side = 0, update = 0;
};

// The column words of a class; none for punch and the wire classes.
std::vector<const char*> column_words(int tool_class)
{
    switch (tool_class) {
    case kDrill: return {"DRILL      "};
    case kMill: return {"SIDE CUT   ", "SLOTTING   ", "END CUT    ", "DRILL      "};
    case kLathe: return {"LATHE      "};
    case kLatheDrill: return {"LATHE DRILL"};
    case kThread: return {"THREAD     "};
    case kGroove: return {"GROOVE     "};
    default: return {};
    }
}

float unit_factor()
{
    float measure = 1.0f;
    gtmesu(measure);
    return measure == 25.4f || measure == 304.8f ? kFeetPerMetre : 1.0f;
}

bool has_side_step(int tool_class, int k)
{
    if (tool_class == kDrill || tool_class == kLathe || tool_class == kLatheDrill || tool_class == kThread)
        return false;
    return !(tool_class == kMill && k == kMillDrill);
}
bool has_down_step(int tool_class, int k) { return !(tool_class == kMill && k == kEndCut); }

float diameter_of(int tool_class)
{
    const tool_shape_records& s = tool_shapes();
    if (tool_class == kMill) return s.mill.DIAMTR;
    if (tool_class == kLatheDrill) return s.lathe_drill.DIAMTR;
    return s.drill.DIAMTR;
}

// Stores a recomputed value clamped to its row; an unchanged value clears its flag.
template <class T> void store(T& target, double value, float low, float high, int flag, int& flags)
{
    const T clamped = static_cast<T>(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
    if (clamped == target) flags &= ~flag;
    target = clamped;
}

column_items declare_column(int tool_class, int k, float factor, form_builder& form)
{
    current_tool& t = tool_block();
    condition_work& w = conditions_shown();
    const auto i = static_cast<std::size_t>(k - 1);
    column_items items;
    form.column();
    modm(column_words(tool_class)[i]);
    ++form.items;
    const bool per_tooth = tool_class == kMill && k <= kEndCut;
    modfc(factor == 1.0f ? "Vc(M/MIN)" : "Vc(FT/MIN)", w.shown_speed[i], factor, factor * kSpeedHigh);
    items.speed = ++form.items;
    modic("SPIN", t.CRSPIN[i], static_cast<int>(kSpinLow), static_cast<int>(kSpinHigh));
    items.spin = ++form.items;
    modfc(per_tooth ? "F/teeth" : "F/rev", w.feed_per_tooth[i], kFeedPerToothLow, kFeedPerToothHigh);
    items.feed_per_tooth = ++form.items;
    modfc("FEED", t.CRFEED[i], kFeedLow, kFeedHigh);
    items.feed = ++form.items;
    if (has_down_step(tool_class, k)) {
        modfc("DOWN STEP", t.CRDSTP[i], kStepLow, kStepHigh);
        items.down = ++form.items;
    } else {
        form.blank();
    }
    if (has_side_step(tool_class, k)) {
        modfc("SIDE STEP", t.CRSSTP[i], kStepLow, kStepHigh);
        items.side = ++form.items;
    } else {
        form.blank();
    }
    modm("AUTO UPDATE");
    items.update = ++form.items;
    return items;
}

}  // namespace

condition_work& conditions_shown() { return module_block<condition_work>(); }

void cond_auto_update(int tool_class, int k, int columns, int& flags)
{
    if (k < 1 || k > std::min(columns, kConditions)) return;
    current_tool& t = tool_block();
    condition_work& w = conditions_shown();
    const tool_shape_records& s = tool_shapes();
    const auto i = static_cast<std::size_t>(k - 1);
    const float d = diameter_of(tool_class);
    // The feed per tooth is derived whenever it is not set yet.
    if (w.feed_per_tooth[i] < 0) flags |= kUpdateFeedPerTooth;
    int spin = t.CRSPIN[i];
    const bool spins = tool_class == kDrill || tool_class == kMill;
    if ((flags & kUpdateSpin) && spins) {
        spin_from_vc(d, t.CRVLOC[i], spin);
        store(t.CRSPIN[i], spin, kSpinLow, kSpinHigh, kUpdateSpin, flags);
        spin = t.CRSPIN[i];
    }
    double down = -1, side = -1;
    int teeth = 1;
    switch (tool_class) {
    case kDrill:
    case kLatheDrill: {
        const float cut = tool_class == kDrill ? s.drill.CUTLNG : s.lathe_drill.CUTLNG;
        down = std::min(1.5 * d, static_cast<double>(cut));
        break;
    }
    case kMill:
        if (k == kSideCut || k == kMillDrill)
            down = std::min(1.5 * d, static_cast<double>(s.mill.CUTLNG));
        else if (k == kSlotting)
            down = std::min(0.6 * d, static_cast<double>(s.mill.CUTLNG));
        if (k == kSideCut)
            side = 0.3 * d <= 4.0 ? 0.3 * d : 8.0;
        else if (k == kSlotting)
            side = std::max(0.8 * (d - 2 * s.mill.CRNRRD), 0.25 * d);
        else if (k == kEndCut)
            side = std::sqrt(std::max(0.1 * s.mill.CRNRRD - 0.025, 0.01));
        if (k <= kEndCut) teeth = s.mill.NOTETH;
        break;
    case kThread: down = 0.8 * s.thread.CUTLNG; break;
    case kGroove:
        down = 0.9 * (s.groove.CUTLNG + s.groove.HLENTH);
        side = 0.9 * (s.groove.CUTWTH - 2 * s.groove.CRNRRD);
        break;
    default: break;
    }
    if ((flags & kUpdateDownStep) && down >= 0) store(t.CRDSTP[i], down, kStepLow, kStepHigh, kUpdateDownStep, flags);
    if ((flags & kUpdateSideStep) && side >= 0) store(t.CRSSTP[i], side, kStepLow, kStepHigh, kUpdateSideStep, flags);
    if (flags & kUpdateFeedPerTooth) {
        // A spin (or spin times teeth) below 1 never divides the feed.
        const double divisor = std::max(static_cast<double>(spin) * std::max(teeth, 1), 1.0);
        store(w.feed_per_tooth[i], t.CRFEED[i] / divisor, kFeedPerToothLow, kFeedPerToothHigh, kUpdateFeedPerTooth,
              flags);
    }
}

void cutting_conditions_page(int tool_class, int mode, int& form_word, int& status)
{
    const std::vector<const char*> words = column_words(tool_class);
    const int columns = std::min(static_cast<int>(words.size()), tool_table_ids().conditions_of(tool_class));
    status = -1;
    if (columns < 1) return;
    const bool listing = mode == kListingMode;
    const float factor = unit_factor();
    current_tool& t = tool_block();
    condition_work& w = conditions_shown();
    for (int k = 1; k <= columns; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        w.shown_speed[i] = t.CRVLOC[i] * factor;
        w.feed_per_tooth[i] = -1.0f;
        int flags = 0;
        cond_auto_update(tool_class, k, columns, flags);
    }
    if (!listing) prcont();
    form_cells cells;
    item_list watch, follow;
    int layout = 0;
    for (;;) {
        pick_mode_switch(listing ? 1 : 0, kPageRows, columns, layout, status);
        if (status < 0) return;
        form_builder form{cells, watch, follow, kConditionLabels};
        form.listing = listing;
        std::array<column_items, kConditions> items{};
        item_list auto_items;
        for (int k = 1; k <= columns; ++k) {
            items[static_cast<std::size_t>(k - 1)] = declare_column(tool_class, k, factor, form);
            auto_items.add(items[static_cast<std::size_t>(k - 1)].feed_per_tooth);
        }
        if (listing) break;
        int answer = 0;
        macro_redisplay();
        modifa(0, form_word,
               form_word == 1
                   ? std::span<const int>(auto_items.items.data(), static_cast<std::size_t>(auto_items.count))
                   : std::span<const int>(),
               answer);
        if (answer == kAskAgain) continue;
        if (answer <= 0 || form_word == 0) break;
        for (int k = 1; k <= columns; ++k) {
            const column_items& c = items[static_cast<std::size_t>(k - 1)];
            int flags = 0;
            if (answer == c.speed) {
                t.CRVLOC[static_cast<std::size_t>(k - 1)] = w.shown_speed[static_cast<std::size_t>(k - 1)] / factor;
                flags = kUpdateSpin | kUpdateFeedPerTooth;
            } else if (answer == c.spin || answer == c.feed) {
                flags = kUpdateFeedPerTooth;
            } else if (answer == c.update) {
                flags = kUpdateSpin | kUpdateFeedPerTooth | kUpdateDownStep | kUpdateSideStep;
            }
            if (flags != 0) cond_auto_update(tool_class, k, columns, flags);
        }
    }
    pick_mode_prompt(listing ? 1 : 0, status);
    status = 0;
}
