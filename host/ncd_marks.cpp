// Blanking and attention marks of the display file's blocks (host/vantu_ncd_file.hpp): by a
// range of blocks, by one block or a whole procedure, and the target selection's marks of a
// procedure's first blocks (ncd_mark_attention, host/vantu_proc_dialogs.hpp).
#include "host/vantu_ncd_file.hpp"
#include "host/vantu_proc_dialogs.hpp"

#include "host/core/ncd_state.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <string>

namespace {

using vantu::control::ncd_block_record;
using flag_word = bool ncd_block_record::*;

// Sets the flag of the blocks from `from` through `to`; -1 when either names no block.
int set_range(int file, const ncd_address& from, const ncd_address& to, flag_word flag, int value)
{
    if (file != kCurrentDisplayFile) return -1;
    const auto span = vantu::ncd::block_span(from, to);
    if (!span) return -1;
    auto& blocks = vantu::ncd::state().blocks;
    for (std::size_t i = span->first; i < span->second; ++i) blocks[i].*flag = value != 0;
    return 0;
}

// Sets the flag of procedure n with all its blocks (level-1 address) or of the one block.
int set_block_or_procedure(int file, const ncd_address& address, flag_word flag, int value)
{
    int status = -1;
    if (file != kCurrentDisplayFile) return status;
    for (ncd_block_record& b : vantu::ncd::state().blocks) {
        const bool whole_procedure = address.level == 1 && b.block1 == address.block1;
        if (!whole_procedure && !vantu::ncd::same_address(b, address)) continue;
        b.*flag = value != 0;
        status = 0;
    }
    return status;
}

std::string range_text(const ncd_address& from, const ncd_address& to, int value)
{
    return vantu::ncd::address_text(from) + "," + vantu::ncd::address_text(to) + "," + std::to_string(value);
}

}  // namespace

void ncd_set_blocks_attention(int file, const ncd_address& from, const ncd_address& to, int flag)
{
    const int status = set_range(file, from, to, &ncd_block_record::attention, flag);
    vantu::trace_call("ncd_set_blocks_attention", range_text(from, to, flag), status);
}

void ncd_set_blocks_blank(int file, const ncd_address& from, const ncd_address& to, int flag)
{
    const int status = set_range(file, from, to, &ncd_block_record::blank, flag);
    vantu::trace_call("ncd_set_blocks_blank", range_text(from, to, flag), status);
}

void ncd_set_block_or_proc_blank(int file, const ncd_address& address, int blank, int& status)
{
    status = set_block_or_procedure(file, address, &ncd_block_record::blank, blank);
    vantu::trace_call("ncd_set_block_or_proc_blank", vantu::ncd::address_text(address) + "," + std::to_string(blank),
                      status);
}

void ncd_set_block_or_proc_attn(int file, const ncd_address& address, int flag, int& status)
{
    status = set_block_or_procedure(file, address, &ncd_block_record::attention, flag);
    vantu::trace_call("ncd_set_block_or_proc_attn", vantu::ncd::address_text(address) + "," + std::to_string(flag),
                      status);
}

void ncd_mark_attention(int procedure, int first_block, int count, int on)
{
    auto& blocks = vantu::ncd::state().blocks;
    if (const auto first = vantu::ncd::first_of_procedure(first_block)) {
        const std::size_t end = std::min(blocks.size(), *first + static_cast<std::size_t>(std::max(count, 0)));
        for (std::size_t i = *first; i < end; ++i) blocks[i].attention = on != 0;
    }
    vantu::trace_call("ncd_mark_attention",
                      std::to_string(procedure) + "," + std::to_string(first_block) + "," + std::to_string(count), on);
}
