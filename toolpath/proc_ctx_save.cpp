// proc_ctx_save: one save area holding PRM9, DSM4, the procedure's text and table name, HEI8,
// WRMB, TLER, the display transformation and the single state words the motion output reads.
#include "toolpath/proc_ctx_save.hpp"

#include "nc_services/display_services.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/move_writer_state.hpp"

#include <array>
#include <string>

namespace {

constexpr int kTextGetMode = 1, kTextSetMode = 2;
constexpr int kRestoreShowing = 1, kRestore = 3;
constexpr int kSlot55Word = 17;
constexpr int kTransformWords = 10;
constexpr int kStatusWindow = 0;

// The single words kept with the blocks: the three flags of LSP2, the machine type of NPT1, the
// procedure's colour and pen, the line font of DSP8 and the kind of the rotation axes.
struct single_word {
    word& (*get)();
};
const single_word kSingleWords[] = {
    {[]() -> word& { return LSP2().at(move_writer_state::kStringClosed); }},
    {[]() -> word& { return LSP2().at(move_writer_state::kLastPointValid); }},
    {[]() -> word& { return LSP2().at(move_writer_state::kFirstMovePending); }},
    {[]() -> word& { return NPT1().at(tp_header_state::kMachineType); }},
    {[]() -> word& { return CLP1().at(proc_colour_pen::kColour); }},
    {[]() -> word& { return CLP1().at(proc_colour_pen::kPen); }},
    {[]() -> word& { return DSP8().at(tool_position_state::kLineFont); }},
    {[]() -> word& { return RAXN().at(rotation_axes_state::kKind); }},
};
constexpr std::size_t kSingleCount = std::size(kSingleWords);

struct context {
    machine_params prm9;
    modal_values dsm4;
    std::string text20, text12;
    heights_state hei8;
    wire_modal_values wrmb;
    tool_display_state tler;
    std::array<word, kTransformWords> transform{};
    std::array<word, kSingleCount> singles{};
};

context& saved()
{
    static context c;
    return c;
}

void save()
{
    context& c = saved();
    c.prm9 = PRM9();
    c.dsm4 = DSM4();
    state_text20_field(kTextGetMode, c.text20);
    state_text12_field(kTextGetMode, c.text12);
    c.hei8 = HEI8();
    c.wrmb = WRMB();
    c.tler = TLER();
    std::copy_n(TRS1().words.begin(), kTransformWords, c.transform.begin());
    for (std::size_t i = 0; i < kSingleCount; ++i) c.singles[i] = kSingleWords[i].get();
}

void restore()
{
    context& c = saved();
    const word slot55 = PRM9().words[kSlot55Word];
    PRM9() = c.prm9;
    PRM9().words[kSlot55Word] = slot55;
    DSM4() = c.dsm4;
    state_text20_field(kTextSetMode, c.text20);
    state_text12_field(kTextSetMode, c.text12);
    HEI8() = c.hei8;
    WRMB() = c.wrmb;
    TLER() = c.tler;
    std::copy(c.transform.begin(), c.transform.end(), TRS1().words.begin());
    for (std::size_t i = 0; i < kSingleCount; ++i) kSingleWords[i].get() = c.singles[i];
}

void show_current_tool()
{
    const int tool = PRM9().words[machine_params::kToolId];
    if (tool <= 0) return;
    const tool_position_state& d = DSP8();
    int instance = -1;
    display_service_table().DISPT1(tool, d.vec(tool_position_state::kPosition), d.vec(tool_position_state::kAxis),
                                   instance);
}

}  // namespace

void proc_ctx_save(int level, int mode, int& status)
{
    status = 0;
    if (level >= 1) return;
    if (mode != kRestoreShowing && mode != kRestore) return save();
    restore();
    show_current_tool();
    if (mode == kRestoreShowing) display_service_table().status_repaint(kStatusWindow);
}
