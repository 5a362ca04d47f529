// The machine-parameter half of the change analysis: which machine-parameter words make a
// procedure to be recomputed and which only to be updated. Reads PRM9, WRMB, go_motion_choice(),
// the machine-table extension, the machining type, NPT1 (MACSYS) and the previous optimizer
// block; writes the snapshot in mode 1.
#include "driver/change_analysis.hpp"

#include "driver/go_point_motion.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_origin.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/optimizer_params.hpp"
#include "surfaces/surface_words.hpp"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kMachineOption = 4;
constexpr int kTableType = 38;      // the machining type with a machine-table extension
constexpr int kFeedRangeItem = 76;  // word 18 of the optimizer block
// Machining types for which the cutter compensation (PRM9 word 12) shapes the path.
constexpr int kCompensationShapes[] = {2, 3, 11, 14, 15, 29, 39};
constexpr int kRecomputeWords[] = {11, 3, 14, 18, 2, 10};
constexpr int kUpdateWords[] = {7, 8, 4, 5, 15, 9, 6};
constexpr int kUpdateReals[] = {1, 0, 19, 20, 21};
constexpr int kCompensation = 12, kSurfaceWord = 17, kMotionForm = 22;

bool word_changed(int k)
{
    return PRM9().words[static_cast<std::size_t>(k)] != change_snapshot_data().machine[static_cast<std::size_t>(k)];
}

bool real_changed(int k)
{
    const word before = change_snapshot_data().machine[static_cast<std::size_t>(k)];
    return neval(PRM9().real(k), word_to_real(before)) != 0;
}

bool compensation_shapes_path()
{
    return std::find(std::begin(kCompensationShapes), std::end(kCompensationShapes), machining_type()) !=
           std::end(kCompensationShapes);
}

// The machine-table extension of machining type 38: selector, a second word, reals 2 to 5 and
// the words 6 to 9 that a positive real or the selector put in force.
bool table_changed()
{
    const auto& now = mch_table_ext().ext;
    const auto& before = change_snapshot_data().table_ext;
    const auto real = [&now](int k) { return word_to_real(now[static_cast<std::size_t>(k)]); };
    const auto differs = [&now, &before](int k) {
        return now[static_cast<std::size_t>(k)] != before[static_cast<std::size_t>(k)];
    };
    const auto real_differs = [&now, &before](int k) {
        return neval(word_to_real(now[static_cast<std::size_t>(k)]),
                     word_to_real(before[static_cast<std::size_t>(k)])) != 0;
    };
    const word selector = now[0];
    return differs(0) || (selector == 2 && (differs(1) || real_differs(2))) || real_differs(3) || real_differs(4) ||
           real_differs(5) || (selector == 1 && differs(6)) || (real(3) > 0.0f && differs(7)) ||
           (real(4) > 0.0f && differs(8)) || (real(5) > 0.0f && differs(9));
}

void take_machine_snapshot()
{
    change_snapshot& s = change_snapshot_data();
    s.machine = PRM9().words;
    s.wire_word4 = WRMB().at(4);
    s.go_choice = go_motion_choice();
    if (machining_type() == kTableType) s.table_ext = mch_table_ext().ext;
}

}  // namespace

void mch_params_changed(int mode, int& recompute, int& update, int& changed)
{
    if (mode == kChangeSnapshot) {
        take_machine_snapshot();
        return;
    }
    const change_snapshot& s = change_snapshot_data();
    if (real_changed(machine_params::kBaseFeed) && opt_params_previous().ival(kFeedRangeItem) == 2) changed = 1;

    const bool shapes = compensation_shapes_path();
    bool for_recompute = WRMB().at(4) != s.wire_word4 || (shapes && word_changed(kCompensation));
    for (int k : kRecomputeWords) for_recompute = for_recompute || word_changed(k);
    if (for_recompute) {
        recompute = 1;
        set_option_word(kMachineOption);
    }

    bool for_update = go_motion_choice() != s.go_choice || (!shapes && word_changed(kCompensation));
    for (int k : kUpdateWords) for_update = for_update || word_changed(k);
    for (int k : kUpdateReals) for_update = for_update || real_changed(k);
    if (for_update) {
        update = 1;
        set_option_word(kMachineOption);
    }

    if (word_changed(kSurfaceWord)) {
        resurf_needed() = 1;
        if (if_rotate_ucs(NPT1().at(tp_header_state::kUcsId), s.macsys))
            recompute = 1;
        else
            update = 1;
        set_option_word(kMachineOption);
    }
    if (word_changed(kMotionForm) || (machining_type() == kTableType && table_changed())) {
        recompute = 1;
        set_option_word(kMachineOption);
    }
}
