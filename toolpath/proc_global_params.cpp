// Segment 24 of a procedure block: the global parameters, item by item in their fixed order.
#include "toolpath/proc_block_writer.hpp"

#include "host/vantu.hpp"
#include "nc_services/host_helpers.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/optimizer_params.hpp"
#include "nc_services/proc_dialog_words.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_words.hpp"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kSegmentCode = 24;
constexpr int kGet = 1;
constexpr int kPendingAction = 81, kSuspendedAction = 4;
constexpr int kSublistCount = 20;

// The optimizer items in the order the segment holds them.
constexpr int kOptimizerOrder[] = {59,  60,  61,  114, 62,  63,  64,  65,  66,  67,  122, 68,  69,  70,
                                   71,  72,  73,  74,  75,  76,  77,  108, 78,  79,  80,  81,  109, 110,
                                   111, 112, 115, 120, 121, 125, 126, 127, 128, 130, 131, 132, 133};

// Writes records of the segment, counting their words; nothing more once a status is negative.
struct record_writer {
    int where;
    int& counter;
    int& status;

    void words(int code, int type, const word* values, int n)
    {
        if (status >= 0) tpptntl(where, code, n, type, values, counter, status);
    }
    void integer(int code, int value) { words(code, kTypeInteger, &value, 1); }
    void choice(int code, bool first, int if_first, int otherwise) { integer(code, first ? if_first : otherwise); }
    template <typename Block> void block_words(int code, int type, const Block& block, int first, int n)
    {
        words(code, type, block.words.data() + first, n);
    }
    void text(int code, const std::string& chars, int n_words)
    {
        std::vector<word> packed(static_cast<std::size_t>(n_words), 0);
        std::string padded = chars;
        padded.resize(packed.size() * sizeof(word), ' ');
        std::memcpy(packed.data(), padded.data(), padded.size());
        words(code, kTypeInteger, packed.data(), n_words);
    }
};

bool eda2(int n) { return EDA2().word_no(n) != 0; }

void write_edit_items(record_writer& w, int criteria, int modify)
{
    w.integer(150, tamsa_flag_get() != 0 ? 1 : 0);
    w.integer(151, NcOnAcis() != 0 ? 1 : 0);
    w.choice(21, eda2(8) && (criteria != 0 || (!eda2(13) && modify != 0)), 2, 1);
    w.choice(22, dialog_state_word() != 0, 1, 2);
    w.choice(31, eda2(14), 2, 1);
    w.integer(35, 2);
    w.integer(44, eda2(13) ? 2 : modify != 0 && eda2(10) ? 3 : 1);
    w.choice(57, eda2(15), 2, 1);
    w.choice(58, eda2(16), 2, 1);
}

void write_height_items(record_writer& w)
{
    using H = heights_state;
    const H& h = HEI8();
    w.block_words(36, kTypeExpression, h, H::kClearance, H::kFieldWords);
    w.choice(37, h.at(H::kClearancePlane) == 0, 2, 1);
    w.choice(48, h.at(H::kUseAbsolute) == 0, 2, 1);
    w.block_words(49, kTypeExpression, h, H::kAbsolute, H::kFieldWords);
    w.block_words(50, kTypeExpression, h, H::kIncremental, H::kFieldWords);
    w.integer(129, h.at(H::kClearanceMode2));
    w.integer(38, UPW2().at(0));
    w.integer(39, UPW2().at(1));
}

// The first items (5, 27, 7, 9, 11, 12) and the last ones (6, 28, 8, 10, 13, 14) with the same
// values: the position and axis of DSP8 and the header data of NPT1.
void write_point_items(record_writer& w)
{
    using T = tp_header_state;
    for (const auto& codes : {std::array{5, 27, 7, 9, 11, 12}, std::array{6, 28, 8, 10, 13, 14}}) {
        w.block_words(codes[0], kTypeReal, DSP8(), tool_position_state::kPosition, 3);
        w.block_words(codes[1], kTypeReal, DSP8(), tool_position_state::kAxis, 3);
        w.block_words(codes[2], kTypeInteger, NPT1(), T::kView, 1);
        w.block_words(codes[3], kTypeReal, NPT1(), T::kDepth, 1);
        w.block_words(codes[4], kTypeReal, NPT1(), T::kMacsysOrigin, 3);
        w.block_words(codes[5], kTypeReal, NPT1(), T::kHomePoint, 3);
    }
}

void write_state_items(record_writer& w)
{
    w.integer(40, plane_dialog_kind());
    int now[6] = {};
    get_date_time(now);
    w.words(41, kTypeInteger, now, 3);
    w.words(42, kTypeInteger, now + 3, 3);
    w.integer(45, EDA2().word_no(6));
    w.integer(46, 2);
    w.integer(47, single_curve_contours_flag());
    std::string text;
    state_text20_field(kGet, text);
    w.text(29, text, nc_text_fields::kText20 / 4);
    state_text12_field(kGet, text);
    w.text(30, text, nc_text_fields::kText12 / 4);
    // A tool path of another version gets every flag of the new block marked for update.
    int version = 0;
    tp_vnum_get(version);
    if (version != prgvrs()) proc_flags_mark_all();
    w.integer(43, prgvrs());
    w.integer(113, prgvrs());
    w.integer(116, CLP1().at(proc_colour_pen::kColour));
    w.integer(117, CLP1().at(proc_colour_pen::kPen));
    w.integer(107, 0);
    w.integer(119, get_ProcGeomStatus());
}

void write_optimizer_items(record_writer& w)
{
    optimizer_params& p = opt_params_current();
    for (int code : kOptimizerOrder) {
        if (code == kPendingAction && eda2(edit_state::kSuspend) && p.ival(kPendingAction) != 0) {
            p.set_ival(kPendingAction, kSuspendedAction);
            int cleared = 0;
            opt_clr_bit128(cleared);
        }
        const optimizer_item* item = optimizer_item_of(code);
        w.words(code, item->real ? kTypeReal : kTypeInteger, &p.at(code), item->count);
    }
}

}  // namespace

void wglprm(int where, int& counter, int& status)
{
    int criteria = 0, modify = 0;
    chk_crit_gs(kGet, criteria);
    gs_modify(kGet, modify);
    tp_segment_begin(where, kSegmentCode, counter, status);
    record_writer w{where, counter, status};
    w.integer(kSublistCount, 0);
    write_edit_items(w, criteria, modify);
    write_height_items(w);
    write_point_items(w);
    write_state_items(w);
    write_optimizer_items(w);
    const int written = status;
    if (written < 0) eroutc("[wglprm , ]ERRORS IN LIST", 0);
    int patched = 0;
    tp_segment_end(where, counter, patched);
    status = written < 0 ? written : patched;
}
