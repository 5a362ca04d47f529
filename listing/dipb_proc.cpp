// The procedure-block handlers: DIPB12 of the block display and DIPB12_conv of the block
// converter.
#include "listing/block_handlers.hpp"

#include "host/vantu.hpp"
#include "listing/dspblk_draw.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_sublist.hpp"

namespace {

constexpr int kBlanked = 1;
constexpr int kMovementEntity = 1;

// The list level (1 for an entity source), the blank attribute of the procedure and the BLSK
// entries of its block.
void note_procedure(const dip_context& c, int reader_status)
{
    int level = 1, status = 0;
    if (c.source != kSourceEntity) gtlstn(1, level, status);
    const int blank = reader_status == kBlanked ? 1 : 0;
    ncd_update_blank_attribute(blank);
    dspblk().proc_blanked = blank;
    sublist_stack& stack = BLSK();
    if (level < 1 || level > sublist_stack::kLevels) return;
    stack.words[0] = level;
    stack.words[static_cast<std::size_t>(level)] = c.number;
}

}  // namespace

void DIPB12(const dip_context& c, int reader_status, int& status)
{
    status = 0;
    dsp_proc_attrs(c.source, c.mode);
    note_procedure(c, reader_status);
    if (c.source == kSourceWritten) {
        eroutc("DIPB12, THIS ROUTINE SHOULD NOT BE CALLED DURING CREATION", 0);
        status = -1;
        return;
    }
    if (c.source == kSourceEntity) return sublist_stack_set(c.number, status);
    const proc_geom_pairs& f = proc_flags();
    if (f.options[kOptMotionsCopied - 1] == 0 && f.options[kOptRecord - 1] > 0) {
        status = kMovementEntity;
        return;
    }
    tp_sublist_open(status);
    if (status > 0) status = 0;
}

void DIPB12_conv(const dip_context& c, int reader_status, int& status)
{
    status = 0;
    note_procedure(c, reader_status);
}
