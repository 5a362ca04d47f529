// The common NC arguments between the NC state blocks and the host. Reads and writes NPT1, DSP8,
// HEI8 and PRM9.
#include "toolpath/common_arguments.hpp"

#include "host/vantu_origin.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"

#include <algorithm>
#include <cstddef>

namespace {

constexpr int kPrmSurfaceWord = 17;

// Copies N words between a block and an argument run, in the direction asked.
template <std::size_t N, class Block> void move(bool to_host, Block& block, int first, std::array<word, N>& run)
{
    word* words = &block.at(first);
    if (to_host)
        std::copy_n(words, N, run.begin());
    else
        std::copy(run.begin(), run.end(), words);
}

void move_word(bool to_host, word& in_block, word& argument)
{
    if (to_host)
        argument = in_block;
    else
        in_block = argument;
}

void exchange(bool to_host, nc_common_arguments& a)
{
    tp_header_state& header = NPT1();
    move(to_host, header, tp_header_state::kMacsysMatrix, a.macsys_matrix);
    move(to_host, header, tp_header_state::kHomePoint, a.home_point);
    move(to_host, header, tp_header_state::kMacsysOrigin, a.origin);
    move(to_host, DSP8(), tool_position_state::kPosition, a.position);
    move(to_host, HEI8(), heights_state::kClearance, a.clearance);
    move(to_host, HEI8(), heights_state::kAbsolute, a.absolute);
    move_word(to_host, header.at(tp_header_state::kUcsId), a.macsys);
    move_word(to_host, PRM9().words[kPrmSurfaceWord], a.machine_word);
    move_word(to_host, header.at(tp_header_state::kView), a.view);
    move_word(to_host, header.at(tp_header_state::kDepth), a.depth);
}

}  // namespace

void nc_common_to_host()
{
    nc_common_arguments a;
    exchange(true, a);
    gs_common_arguments(2, a);
}

void nc_common_from_host()
{
    nc_common_arguments a;
    gs_common_arguments(1, a);
    exchange(false, a);
}

int repos_proc_keep(int mode, int flag, int& status)
{
    nc_common_to_host();
    const int answer = repos_proc(mode, flag, status);
    nc_common_from_host();
    return answer;
}
