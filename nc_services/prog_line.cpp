// The progress line's state and its routines. Reads the machining type; the percentage and stage
// routines open the execution menu after a display break.
#include "nc_services/prog_line.hpp"

#include "host/vantu.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/exec_menu_services.hpp"
#include "nc_services/machining_type.hpp"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kRestartPointType = 36;
constexpr int kPercentStep = 5;
constexpr int kFullPercent = 100;
constexpr int kStageEvery = 10;
constexpr int kStageTotal = 1;
constexpr int kSetTotal = 1, kSetDone = 2, kAddTotal = 3, kAddDone = 4;

const char* activity_word(int kind)
{
    switch (kind) {
    case 2: return "C O M P U T I N G";
    case 3: return "P O C K E T I N G";
    case 4: return "P R O J E C T I N G";
    case 5: return "E X E C U T I N G";
    case 6: return "APPROXIMATING SURF.";
    case 7: return "R E A D I N G";
    case 8: return "PREPARING SECTION";
    case 9: return "PLEASE WAIT      ";
    default: return "M A C H I N I N G";
    }
}

std::string bounded(std::string text)
{
    if (text.size() > static_cast<std::size_t>(kProgTextChars)) text.resize(static_cast<std::size_t>(kProgTextChars));
    return text;
}

void paint(int mode)
{
    const prog_state& p = progress();
    prog_paint(mode, p.activity, p.label, p.counter);
}

// Opens the execution menu after a display break (machining type 36 has a check of its own).
bool break_checked()
{
    if (machining_type() == kRestartPointType) {
        exec_break_check36();
        return true;
    }
    int pause = 0;
    check_display_break(pause);
    if (pause) exec_menu_service_table().exec_break_menu();
    return false;
}

// 100 x done / total, truncated to a multiple of 5; 100 when done equals total. Worked out in 64
// bits, since 100 x done passes the range of a 32-bit word for large counts, and kept to 100.
int percentage(int done, int total)
{
    if (done == total) return kFullPercent;
    const std::int64_t exact = static_cast<std::int64_t>(kFullPercent) * done / total;
    const std::int64_t kept = std::min<std::int64_t>(exact, kFullPercent);
    return static_cast<int>(kept - kept % kPercentStep);
}

}  // namespace

prog_state& progress()
{
    static prog_state p;
    return p;
}

void prog_clear_texts()
{
    prog_state& p = progress();
    p.activity.clear();
    p.label.clear();
    p.counter.clear();
}

void prog_reset_text()
{
    prog_clear_texts();
    paint(kPaintActivity);
}

void prog_redraw() { paint(kPaintWhole); }

void prog_close()
{
    paint(kPaintRemove);
    prog_clear_texts();
}

void prog_activity_text(int kind)
{
    std::string word = activity_word(kind);
    word.resize(static_cast<std::size_t>(kProgActivityChars), ' ');
    progress().activity = word;
}

void prog_set_activity(int kind)
{
    prog_activity_text(kind);
    paint(kPaintActivity);
}

void prog_reset_all()
{
    prog_state& p = progress();
    p.total = 0;
    p.done = 0;
    p.last_shown = -1;
    p.label.clear();
    p.counter.clear();
    paint(kPaintActivity);
}

void prog_count_set(int mode, int value)
{
    prog_state& p = progress();
    switch (mode) {
    case kSetTotal: p.total = value; break;
    case kSetDone: p.done = value; break;
    case kAddTotal: ++p.total; break;
    case kAddDone: ++p.done; break;
    default: break;
    }
}

void prog_percent(int kind)
{
    if (break_checked()) return;
    prog_state& p = progress();
    if (p.total < 1) return;
    if (p.last_shown < 0) p.last_shown = 0;
    prog_activity_text(kind);
    const int percent = percentage(p.done, p.total);
    if (percent <= p.last_shown) return;
    const bool first = p.last_shown < 1;
    if (first) p.label = "PERCENT DONE=";
    p.counter = std::to_string(percent);
    p.last_shown = percent;
    paint(first ? kPaintLabelCounter : kPaintCounter);
}

void prog_stage(int kind, int stage_mode)
{
    prog_state& p = progress();
    if (p.total <= 0) return;
    const int shown = stage_mode == kStageTotal ? p.total : p.done;
    const bool due =
        stage_mode == kStageTotal ? p.total % kStageEvery == 0 : (p.done % kStageEvery == 0 || p.done >= p.total);
    if (!due) return;
    int pause = 0;
    check_display_break(pause);
    if (pause) exec_menu_service_table().exec_pause_menu(kMenuNoMoves);
    prog_activity_text(kind);
    int mode = kPaintCounter;
    if (p.last_shown < 1) {
        if (stage_mode == kStageTotal) {
            p.label = "STAGE. PATCHES=";
            mode = kPaintWhole;
        } else {
            maktx3("STAGE. PATCHES=", std::to_string(p.total), "DONE=", p.label);
            p.label = bounded(p.label);
            mode = kPaintLabelCounter;
        }
    }
    p.counter = std::to_string(shown);
    p.last_shown = shown;
    paint(mode);
}

void prog_loops_text(int kind, int loop_total, int count)
{
    std::string text;
    int paint_kind = kind;
    if (kind == 0 || kind == 1) {
        text = "TOTAL NUMBER OF LOOPS " + std::to_string(loop_total) + ". DONE:";
    } else if (kind == 2) {
        text = "E X E C U T I N G   ";
    } else if (kind == 3 || kind == 4) {
        text = "NUMBER OF OFFSETS DONE:";
        paint_kind = kind - 3;
    }
    prog_loops_paint(paint_kind, text, count);
}

void prog_loops_paint(int paint_kind, const std::string& text, int count)
{
    prog_state& p = progress();
    p.counter = " " + std::to_string(count) + " ";
    switch (paint_kind) {
    case 0:
        p.activity = bounded(text);
        p.label = " ";
        paint(kPaintWhole);
        break;
    case 1: paint(kPaintCounter); break;
    case 2:
        p.activity = bounded(text);
        paint(kPaintRemove);
        break;
    default: break;
    }
}
