// The connection taken back and the range's motions deleted (see the header).
#include "edit/editor/written_blocks.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_ncd_file.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <cstdlib>

void writer_state::restore() const
{
    DSP8() = position;
    LSP2() = writer;
    mch_slots() = slots;
    PRM9() = machine;
}

list_place list_place_here()
{
    list_place place;
    int answer = 0;
    ljump(0, answer);
    place.line = std::abs(answer);
    llines(place.lines);
    get_tp_blkno(place.next_number);
    return place;
}

void remove_written(int after, int count, int first_number, int procedure, int& status)
{
    int answer = 0;
    lacces(2, answer);
    if (after > 1) ljump(after - 1, answer);
    lacces(1, answer);
    if (answer >= 0) ldelet(count, answer);
    if (answer < 0) {
        status = answer;
        return;
    }
    int last_number = 0;
    get_tp_blkno(last_number);
    ncd_delete_blocks(kCurrentDisplayFile, {2, procedure, first_number}, {2, procedure, last_number - 1}, answer);
    status = 0;
}

bool delete_range_motions(int marker, int last_number, int& deleted, int& status)
{
    tp_list_top_mark(marker, status);
    if (status < 0) return false;
    int lines = 0;
    llines(lines);
    for (int round = 0; round <= lines; ++round) {
        int size = 0, type = 0, block_class = 0, number = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status >= 0) tp_get_int(kWhereList, number, status);
        if (status < 0) return false;
        if (block_class == kClassMotion) {
            tp_list_delete(1, status);
            if (status < 0) return false;
            deleted = 1;
        } else if (number != last_number) {
            tp_list_jump(1, status);
            if (status < 0) return false;
        }
        if (number == last_number) return true;
    }
    status = -1;
    return false;
}
