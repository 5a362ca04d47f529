// The move-writer state LSP2, the block types by dimension mode, the flag setters and the writer
// set to continue after a given motion.
#include "toolpath/move_writer_state.hpp"

#include "toolpath/machine_table.hpp"

#include <algorithm>

namespace {
constexpr int kPointsOnly = 1, kWithNormals = 2;
}  // namespace

move_writer_state& LSP2()
{
    static move_writer_state block;
    return block;
}

bool move_writer_state::last_point_known() const
{
    for (float c : vec(kLastPoint))
        if (!(c < kNoPoint && c > -kNoPoint)) return false;
    return true;
}

void lsp2_words_to_save(const word* stored, word* out)
{
    const move_writer_state& s = LSP2();
    s.to_words(out);
    if (!s.last_point_known())
        std::copy_n(stored + move_writer_state::kLastPoint, 3, out + move_writer_state::kLastPoint);
}

int motion_block_type(int dimension, motion_kind kind)
{
    const int base = kind == motion_kind::line ? 2 : kind == motion_kind::string ? 7 : 3;
    if (dimension == kPointsOnly) return base;
    return dimension == kWithNormals ? 220 + base : 20 + base;
}

int entry_dimension(int dimension)
{
    return dimension == kWithNormals && PRM9().words[machine_params::kCutterComp] == 0 ? kPointsOnly : dimension;
}

void clr_tp_flag() { LSP2().at(move_writer_state::kLastPointValid) = 0; }

void set_tp_flag(int word, int& status)
{
    (void)word;
    LSP2().at(move_writer_state::kStringClosed) = 1;
    status = 0;
}

void writer_continues_at(const point3& point, const point3& direction)
{
    move_writer_state& w = LSP2();
    w.set_vec(move_writer_state::kLastPoint, point);
    w.set_vec(move_writer_state::kLastDirection, direction);
    w.set_vec(move_writer_state::kLastNormal, kDefaultDirection);
    w.at(move_writer_state::kStringClosed) = 1;
    w.at(move_writer_state::kLastPointValid) = 1;
    w.at(move_writer_state::kFirstMovePending) = 0;
}
