// The tool-data page: the tool material (picked from the material list) and the values of the
// class that do not shape the tool: lift length, and for a mill its number of teeth and
// compensation numbers. Reads and writes current_tool.TMTRAL and tool_shape_records.
#include "tools/current_tool.hpp"
#include "tools/dd_state.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_data_pages.hpp"
#include "tools/tool_form.hpp"
#include "tools/tool_library.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "tools/tool_utilities.hpp"

namespace {

constexpr float kLiftLow = 0.01f, kLiftHigh = 9999.9f;
constexpr int kMaterialBack = -2;
// Rounds of the page before it gives up on answers that end nothing.
constexpr int kMaxRounds = 1000;

float* lift_length(int tool_class)
{
    tool_shape_records& s = tool_shapes();
    switch (tool_class) {
    case kDrill: return &s.drill.LIFLNG;
    case kMill: return &s.mill.LIFLNG;
    case kLathe: return &s.lathe.LIFLNG;
    case kPunch: return &s.punch.LIFLNG;
    case kAgie: return &s.agie.LIFLNG;
    case kCharmille: return &s.chrm.LIFLNG;
    case kMakino: return &s.mkno.LIFLNG;
    case kLatheDrill: return &s.lathe_drill.LIFLNG;
    case kThread: return &s.thread.LIFLNG;
    case kGroove: return &s.groove.LIFLNG;
    default: return nullptr;
    }
}

void declare_fields(int tool_class, form_builder& form)
{
    if (float* lift = lift_length(tool_class)) form.real(1, kSecondReal, *lift, kLiftLow, kLiftHigh);
    if (tool_class != kMill) {
        form.blank(2);
        return;
    }
    mill_fields& m = tool_shapes().mill;
    form.blank();
    form.integer(2, kIntField, -1, m.NOTETH, 1, 99);
    form.integer(3, kIntField, -1, m.DIMCMP, 0, 9999);
    form.integer(4, kIntField, -1, m.LENCMP, 0, 9999);
    form.integer(5, kIntField, -1, m.FIXCMP, 0, 9999);
    form.blank();
}

}  // namespace

void tool_data_page(int tool_class, int mode, int& form_word, int& status)
{
    const bool listing = mode == kListingMode;
    const bool host_run = nu_mod_get_flag() != 0;
    std::string material = tool_text(tool_block().TMTRAL).substr(0, kToolText - 1);
    if (!listing && !host_run) prcont();
    form_cells cells;
    item_list watch, follow;
    int layout = 0;
    bool open = false;
    for (int round = 0; round < kMaxRounds; ++round) {
        if (!host_run) {
            begin_pick_mode(listing ? 1 : 0, tool_class == kMill ? 2 : 1, layout, status);
            if (status < 0) return;
            open = true;
        }
        cells.clear();
        form_builder form{cells, watch, follow, kToolDataLabels};
        form.listing = listing;
        form.host_run = host_run;
        int header = 0;
        if (!host_run) {
            const std::string name = dd_trimmed(material);
            header = form.line(name.empty() ? "MAT.=" : "MAT.=" + name);
        }
        declare_fields(tool_class, form);
        if (host_run) return;
        if (listing) break;
        int answer = 0;
        macro_redisplay();
        modifa(0, form_word, {}, answer);
        cells.store_back();
        if (answer == 0 || answer == -1 || answer == -2) break;
        if (answer != header) continue;
        std::string picked;
        int picked_status = kMaterialBack;
        for (int ask = 0; ask < kMaxRounds && picked_status == kMaterialBack; ++ask)
            material_menu(picked, picked_status);
        if (picked_status != 0) break;
        material = picked;
    }
    tool_material_text(2, material);
    if (open) pick_mode_prompt(listing ? 1 : 0, status);
    status = 0;
}
