// The state of the tool path's display file shared by its calls (host/vantu_ncd_file.hpp): the
// blocks in file order, the insertion place, the block a display pick met, and the lookups by
// block address. Internal to the host; session state, not saved in the part.
#pragma once

#include "host/control/ncd_file.hpp"
#include "host/core/motion_counts.hpp"
#include "host/vantu_ncd_file.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace vantu::ncd {

struct pending_arc {
    double start = 0.0, angle = 0.0, step = 0.0, cx = 0.0, cy = 0.0, z = 0.0, radius = 0.0;
};

struct file_state {
    std::deque<control::ncd_block_record> blocks;  // grows without copying itself
    std::optional<ncd_address> registered;
    std::optional<pending_arc> arc;
    std::optional<control::polyline3> spline;  // sampled points of the pending spline
    int insert_at = -1;                        // -1: the end of the file
    int last_added = -1;                       // block waiting for its ncd_move_to
    std::optional<ncd_address> newest;         // the block added last
    // Attributes that blocks added next take instead of the current ones
    // (ncd_set_attrs_as_curr_block), until the display joins the tool path again.
    std::optional<control::ncd_block_record> attrs_from;
    int view = 0;
    std::optional<std::array<double, 3>> pen;
    // The key block of the last display pick: procedure block number (0 none), level, block.
    std::array<int, 3> picked{};
    // The motion blocks (level 2 and below) by address: how many the file holds, so that looking
    // up a block the file does not show answers at once, and the place of the last one found,
    // from which the next search starts (a walk through the tool path meets its blocks in order).
    motion_counts motion_count;
    std::size_t last_found = 0;
};

// Counts the block into or out of file_state::motion_count.
void count_block(const control::ncd_block_record& b, int change);

file_state& state();

std::string address_text(const ncd_address& a);
// Whether the block has the address (a level-1 address names the procedure's own block only).
bool same_address(const control::ncd_block_record& b, const ncd_address& a);
// The place of the block with the address in the file.
std::optional<std::size_t> find_block(const ncd_address& a);
// The places of the first and the last block of procedure n (blocks whose level-1 number is n).
std::optional<std::size_t> first_of_procedure(int number);
std::size_t end_of_procedure(std::size_t from, int number);
// The places from the block at `from` through the block at `to`, in file order whichever comes
// first (first, one past last); nothing when either names no block.
std::optional<std::pair<std::size_t, std::size_t>> block_span(const ncd_address& from, const ncd_address& to);

}  // namespace vantu::ncd
