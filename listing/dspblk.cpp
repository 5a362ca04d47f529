// DSPBLK and the display of copied blocks: the block head is read, then the block by its type
// with its reader, transformed by the copy transformation and handed to its handler.
#include "listing/dspblk.hpp"

#include "host/vantu.hpp"
#include "listing/block_handlers.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/status_line.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/copy_transform.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_read_proc.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1, kInEntity = 3;
constexpr int kNoNumberShift = 10;
constexpr int kTrace = 1;  // TLER: TOOL: TRACE
constexpr int kStatusWindow = 2;
constexpr int kCycleActivation = 30;
constexpr int kEditorWithTool = 3;  // handled as 2, except by the parameter handler

struct block_job {
    int mode = 1;  // the display mode (3 kept for the parameter handler)
    int source = 2;
    bool converter = false;
    int size = 0, type = 0, block_class = 0;
    dip_context context;  // what the handlers get
    int status = 0;
};

// Types whose handlers take the source as given (and so may feed the simulation).
bool takes_source(int type)
{
    switch (type) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 5:
    case 7:
    case 31:
    case 22:
    case 23:
    case 27:
    case 222:
    case 223:
    case 227: return true;
    default: return false;
    }
}

void transform_point(point3& p, point3* v)
{
    const display_copy& t = display_copy_transform();
    xform_pnts(p.data(), v ? v->data() : nullptr, t.matrix, t.translation);
}

bool mirroring() { return mirrors(display_copy_transform().matrix); }

void show_lines(block_job& j, int where)
{
    tp_line_point p;
    tpread_lines(where, j.type, j.size, p, j.status);
    // Every point takes four or seven words, so the block's size bounds the count.
    const int count = std::clamp(p.points, 1, j.size);
    for (int i = 0; i < count && j.status >= 0; ++i) {
        if (i > 0) {
            shift_current_to_previous();
            tpread_lines(where, j.type, j.size, p, j.status);
            if (j.status < 0) return;
        }
        transform_point(p.point, &p.direction);
        j.context.number = p.number;
        DIPB2(j.context, p.point, p.direction, j.status);
    }
}

void show_arc(block_job& j, int where)
{
    tp_arc_block b;
    tpread_arc(where, j.type, b, j.status);
    if (j.status < 0) return;
    const display_copy& t = display_copy_transform();
    xform_arc(b, t.matrix, t.translation);
    j.context.number = b.number;
    DIPB3(j.context, b, j.status);
}

void show_procedure(block_job& j, int where)
{
    tp_proc_block b;
    tpread_proc(where, b, j.status);
    if (j.status < 0) return;
    const int reader_status = j.status;
    j.context.number = b.number;
    if (j.converter) return DIPB12_conv(j.context, reader_status, j.status);
    DIPB12(j.context, reader_status, j.status);
    if (j.status == 1) j.status = kInEntity;
}

// The kept cycle values of an activation or a cancelation.
void keep_cycle(const tp_cycle_block& b, bool activation)
{
    dspblk_state& s = dspblk();
    s.cycle_mode = b.value1;
    s.cycle_step = activation && b.value1 == 0 ? 0.0f : b.real2;
    s.cycle_level = b.real4;
}

template <class Block, class Reader, class Handler>
void read_and_show(block_job& j, int where, Reader read, Handler handle)
{
    Block b;
    read(where, b, j.status);
    if (j.status < 0) return;
    j.context.number = b.number;
    handle(j.context, b, j.status);
}

void show_by_type(block_job& j)
{
    const int where = reader_source(j.source);
    dip_context& c = j.context;
    switch (j.type) {
    case 0: {
        tp_header_block h;
        tpread_header(where, j.size, h, j.status);
        if (j.status < 0) return;
        if (j.source != 9) ncd_open_registered_tool_path();
        if (ncs_table_initialized() == 0 && j.source != kSourceEntity) {
            ncs_table_init();
            ncs_table_set_table_id(h.value6);
            int read = 0;
            ncs_table_read_table(read);
        }
        c.number = h.number;
        DIPBT0(c, h, j.status);
        if (j.status >= 0) ncd_update_current_vptr(h.value2);
        return;
    }
    case 1: {
        tp_param_block b;
        tpread_param(where, b, j.status);
        if (j.status < 0) return;
        if (mirroring()) mirror_cutcom_side(b, display_copy_transform().matrix);
        if (j.source == kSourceWritten) c.tool_update = 1;
        c.number = b.number;
        c.mode = j.mode;  // the one handler that gets the mode itself
        return DIPBT1(c, b, j.status);
    }
    case 2:
    case 22:
    case 222:
    case 7:
    case 27:
    case 227: return show_lines(j, where);
    case 3:
    case 23:
    case 223: return show_arc(j, where);
    case 4:
    case 99: return tpskip_args(where, j.size - 1, j.status);
    case 5: return DIPB5(c, j.status);
    case 6: {
        if (j.source == kSourceWritten) c.tool_update = 1;
        return read_and_show<tp_home_block>(j, where, tpread_home, DIPB6);
    }
    case 8: userrc("WARNING! OLD DRILL FORMAT NO LONGER EXISTS!"); return tpskip_args(where, j.size - 1, j.status);
    case 9: {
        if (j.source == kSourceWritten) c.tool_update = 1;
        return read_and_show<tp_macsys_rot_block>(j, where, tpread_macsys_rot, DIPB9);
    }
    case 10: return read_and_show<tp_rotaxes_block>(j, where, tpread_rotaxes, DIPB10);
    case 11: {
        tp_lathe_drill_block b;
        tpread_lathe_drill(where, b, j.status);
        if (j.status < 0) return;
        transform_point(b.point, nullptr);
        c.number = b.number;
        return DIPB11(c, b, j.status);
    }
    case 12: return show_procedure(j, where);
    case 13: {
        tp_thread_block b;
        tpread_thread(where, b, j.status);
        if (j.status < 0) return;
        xform_2pnts(b.start, b.end, display_copy_transform().matrix, display_copy_transform().translation);
        c.number = b.number;
        return DIPB13(c, b, j.status);
    }
    case 14: {
        tp_groove_block b;
        tpread_groove(where, b, j.status);
        if (j.status < 0) return;
        xform_2pnts(b.start, b.end, display_copy_transform().matrix, display_copy_transform().translation);
        c.number = b.number;
        return DIPB14(c, b, j.status);
    }
    case 30:
    case 35: {
        tp_cycle_block b;
        if (j.type == 30)
            tpread_cycle_activation(where, b, j.status);
        else
            tpread_cycle_cancel(where, b, j.status);
        if (j.status < 0) return;
        keep_cycle(b, j.type == 30);
        c.number = b.number;
        return j.type == 30 ? DIPB30(c, b, j.status) : DIPB35(c, b, j.status);
    }
    case 31: {
        tp_drill_loc_block b;
        tpread_drill_loc(where, j.size, b, j.status);
        if (j.status < 0) return;
        dspblk_state& s = dspblk();
        if (s.cycle_mode == 0 && s.last_type == kCycleActivation) s.cycle_level -= b.point[2];
        xform_pnt_dir(b.point, b.direction, display_copy_transform().matrix, display_copy_transform().translation);
        c.number = b.number;
        return DIPB31(c, b, j.status);
    }
    case 32: {
        tp_z_pair_block b;
        tpread_blk32(where, b, j.status);
        if (j.status < 0) return;
        shift_z_pair(b.first, b.second, display_copy_transform().translation);
        c.number = b.number;
        return DIPB32(c, b, j.status);
    }
    case 33: {
        tp_z_pair_block b;
        tpread_delz_setting(where, j.size, b, j.status);
        if (j.status < 0) return;
        dspblk().cycle_step = b.first - b.second;
        c.number = b.number;
        return DIPB33(c, dspblk().cycle_step, j.status);
    }
    case 34: return read_and_show<tp_retract_mode_block>(j, where, tpread_retract_mode, DIPB34);
    case 36: return read_and_show<tp_z_pair_block>(j, where, tpread_depth_setting, DIPB36);
    case 40: return read_and_show<tp_transform_block>(j, where, tpread_transform, DIPB40);
    default: erou1c("DSPBLK - UNEXPECTED BLOCK TYPE", j.type); j.status = kFailed;
    }
}

// Reads the head at the source and shows the block; status as DSPBLK.
void show_block(block_job& j)
{
    tp_block_head_read(reader_source(j.source), j.size, j.type, j.block_class, j.status);
    if (j.status < 0) {
        j.status = kFailed;
        return;
    }
    j.context.type = j.type;
    j.context.source = takes_source(j.type) ? j.source : reader_source(j.source);
    show_by_type(j);
}

}  // namespace

display_copy& display_copy_transform()
{
    static display_copy copy;
    return copy;
}

void DSPBLK(int& mode, int& source, int& block_type, int& break_flag, int& status)
{
    break_flag = 0;
    status = kFailed;
    const bool show_number = mode < kNoNumberShift;
    block_job j;
    j.mode = show_number ? mode : mode - kNoNumberShift;
    j.source = source;
    j.context.mode = j.mode == kEditorWithTool ? kDisplayPosition : j.mode;
    j.context.tool_update =
        TLER().at(tool_display_state::kMode) == kTrace && (source == kSourceList || source == kSourceWritten);
    show_block(j);
    block_type = j.type;
    if (j.status < 0) {
        status = kFailed;
        return;
    }
    status = j.status == kInEntity ? kInEntity : 0;
    dspblk().last_type = j.type;
    rdrint_int();
    if (j.block_class != kClassMotion) return;
    if (j.mode == kDisplayDraw) check_display_break(break_flag);
    if (source == kSourceWritten && show_number) MUTBLN(kStatusWindow, j.context.number);
}

void display_copied_block(int where, int type, int& status)
{
    // The copy stands at the list's current block, whatever WHERE wrote it; its type is read back.
    (void)where;
    (void)type;
    block_job j;
    j.mode = kDisplayPosition;
    j.source = kSourceList;
    j.converter = true;
    j.context.mode = kDisplayPosition;
    show_block(j);
    status = j.status < 0 ? kFailed : 0;
    if (status == 0) dspblk().last_type = j.type;
}
