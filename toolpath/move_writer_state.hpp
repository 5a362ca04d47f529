// LSP2, the move-writer state of the motion output: the last point, direction and normal that
// the writers compare each new move with, and the flags of the open point string, the valid last
// point and the pending first move. Saved and restored with the NC state blocks under "LSP2".
// Also the block type of a motion by its dimension mode, and the flag setters around them.
#pragma once

#include "nc_services/nc_word_block.hpp"
#include "toolpath/tp_blocks.hpp"

struct move_writer_state : nc_word_block<12> {
    static constexpr int kLastPoint = 0;          // 3 reals; 1.0e10: no point yet
    static constexpr int kLastDirection = 3;      // 3 reals; (0, 0, 1) after a move without one
    static constexpr int kLastNormal = 6;         // 3 reals; (0, 0, 1) after a move without one
    static constexpr int kStringClosed = 9;       // 1 while no point string is open
    static constexpr int kLastPointValid = 10;    // 1 once a move was written: zero-length moves skipped
    static constexpr int kFirstMovePending = 11;  // set by a procedure block; cleared by the first move

    point3 vec(int first) const { return {real(first), real(first + 1), real(first + 2)}; }
    // A last point is known once a move was written since the reset: none of its coordinates
    // stands at kNoPoint.
    bool last_point_known() const;
    void set_vec(int first, const point3& v)
    {
        for (int i = 0; i < 3; ++i) set_real(first + i, v[static_cast<std::size_t>(i)]);
    }
};

move_writer_state& LSP2();

// The coordinate that stands for "no point yet".
inline constexpr float kNoPoint = 1.0e10f;

// The words LSP2 is saved as under its key: the block's own words, except that a run that wrote
// no move keeps the last point of the record as stored (stored: kWords words). The tool path's
// last point is still the one the part had, so a run that changes nothing saves what it loaded.
void lsp2_words_to_save(const word* stored, word* out);

// Kinds of motion, and the block type of each by dimension mode (1: points only, 2: with
// surface normals, any other: with tool direction).
enum class motion_kind { line, string, arc };
int motion_block_type(int dimension, motion_kind kind);
// The dimension mode of the entry routines: 2 becomes 1 while cutter compensation (machine-table
// item 11) is off.
int entry_dimension(int dimension);

// Clears the last-point-valid flag: the next linear move is written even when it has zero length.
void clr_tp_flag();
// Sets the string-closed flag; the first argument is not read. Status 0.
void set_tp_flag(int word, int& status);
// The move writer as if a motion ending at point with that direction had just been written: the
// next move starts there (the normal (0, 0, 1), no string open, the last point valid, no first
// move pending). The editor calls it before it writes into a tool path after a given motion.
void writer_continues_at(const point3& point, const point3& direction);
