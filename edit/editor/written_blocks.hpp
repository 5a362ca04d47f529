// Writing a connection that can be taken back, and deleting the motions of a marked range: the
// pieces the editor's block deletion and the trim action share. A connection is written while the
// motions it replaces still stand, and those are deleted only once it stands, so a connection
// that cannot be written leaves the tool path as it was.
#pragma once

#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/move_writer_state.hpp"

// What writing motions changes besides the list, kept to be put back when the writing fails.
struct writer_state {
    tool_position_state position = DSP8();
    move_writer_state writer = LSP2();
    mch_slot_table slots = mch_slots();
    machine_params machine = PRM9();
    void restore() const;
};

// Runs write(status) after the list position of the level; when it answers a negative status,
// the lines it wrote are taken out of the level and of the display file (blocks of the list id
// `procedure`) and the writer state is put back. Returns true when the writing succeeded; status
// is then the writer's, else the writer's failure (or the list's, when the removal failed too).
template <class Write> bool write_or_take_back(int procedure, Write write, int& status);

// Deletes the motion blocks from the block under list marker `marker` through the block numbered
// last_number; the blocks of other kinds stay. Where the deletion brings two feed blocks side by
// side (the range's own, one just before it, one just after it), the earlier goes too: no motion
// runs at it any more. deleted becomes 1 once a block went. The list stands after the range's
// last block (after the feed blocks that follow it). Returns false with the list's negative
// status (or -1 when the block was not met within the level). Uses list markers 21 and 22.
bool delete_range_motions(int marker, int last_number, int& deleted, int& status);

// When the block under list marker `marker` is a feed block and the block after it is one too,
// deletes the first: the feed a connection gives back at its end, where the path after it sets
// its own. The list stands somewhere about the marker. Status 0; the list's negative status.
void drop_feed_before_feed(int marker, int& status);

// The 1-based line of the level the list stands on, the level's line count and the number the
// next written block gets.
struct list_place {
    int line = 0, lines = 0, next_number = 0;
};
list_place list_place_here();

// Takes out the `count` lines after line `after` of the level, and their display blocks
// (numbers first_number up to the next block number less one, of the list id `procedure`).
void remove_written(int after, int count, int first_number, int procedure, int& status);

template <class Write> bool write_or_take_back(int procedure, Write write, int& status)
{
    const writer_state kept;
    const list_place before = list_place_here();
    write(status);
    if (status >= 0) return true;
    const list_place after = list_place_here();
    int removed = 0;
    if (after.lines > before.lines)
        remove_written(before.line, after.lines - before.lines, before.next_number, procedure, removed);
    kept.restore();
    if (removed < 0) status = removed;
    return false;
}
