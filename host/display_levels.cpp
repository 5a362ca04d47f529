// The display file by the levels and links of the tool path (see the header).
#include "host/display_levels.hpp"

#include "host/control/list.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <unordered_map>

namespace vantu::control {

namespace {

// Words of a tool-path block: its type, its block number, then the type's words; a marker block
// (type 99) carries its code and, for a LAYER open, the level's Z.
constexpr std::size_t kTypeWord = 0, kNumberWord = 1, kCodeWord = 2, kMarkerZWord = 3;
constexpr word kProcedureBlock = 12, kMarkerBlock = 99;
constexpr word kLayerOpen = 3, kLayerClose = 4;
constexpr word kApproachClose = 10;
// The brackets whose moves are links: APPROACH, RETRACT, CONNECTION and the second RETRACT.
constexpr word kLinkOpens[] = {9, 11, 15, 61};
// Line font of rapid moves in the display file.
constexpr int kRapidFont = 5;

using point3 = std::array<double, 3>;

// What the tool path says of one motion block, under the block's address. A long tool path has
// one per move, so the facts are packed into 16 bytes and kept in one sorted array rather than a
// node per block.
struct motion_facts {
    std::uint64_t key = 0;    // procedure and block number, key()
    std::uint32_t level = 0;  // index into the levels of the scan
    bool link = false;
};

// Marks a shown block whose level the tool path does not give.
constexpr std::uint32_t kNoLevel = std::numeric_limits<std::uint32_t>::max();

std::uint64_t key(int procedure, int block)
{
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(procedure)) << 32 | static_cast<std::uint32_t>(block);
}

struct tool_path_scan {
    std::vector<drawn_level> levels;
    std::vector<motion_facts> motions;  // in tool-path order while scanning, then by key

    // Sorts the facts by address; of blocks with one address the last in the tool path counts.
    void index()
    {
        std::stable_sort(motions.begin(), motions.end(),
                         [](const motion_facts& a, const motion_facts& b) { return a.key < b.key; });
        auto last_of_each = [](const motion_facts& a, const motion_facts& b) { return a.key == b.key; };
        std::reverse(motions.begin(), motions.end());
        motions.erase(std::unique(motions.begin(), motions.end(), last_of_each), motions.end());
        std::reverse(motions.begin(), motions.end());
    }
    const motion_facts* find(std::uint64_t k) const
    {
        const auto it = std::lower_bound(motions.begin(), motions.end(), k,
                                         [](const motion_facts& m, std::uint64_t v) { return m.key < v; });
        return it != motions.end() && it->key == k ? &*it : nullptr;
    }
};

bool link_open(word code)
{
    return std::find(std::begin(kLinkOpens), std::end(kLinkOpens), code) != std::end(kLinkOpens);
}
bool link_close(word code) { return code % 2 == 0 && link_open(code - 1); }

bool has_approach_end(const line_sequence<toolpath_line>& lines)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const word_list& w = lines[i].words;
        if (w.size() > kCodeWord && w[kTypeWord] == kMarkerBlock && w[kCodeWord] == kApproachClose) return true;
    }
    return false;
}

// One procedure's motions. Moves inside a LAYER bracket belong to it; moves outside one wait
// for the level they lead to (or, at the procedure's end, join the last level).
void scan_procedure(int procedure, const line_sequence<toolpath_line>& lines, tool_path_scan& scan)
{
    std::optional<std::size_t> level;
    bool inside_level = false;
    std::vector<std::size_t> waiting;  // places in scan.motions
    int open_links = 0;
    bool before_first_approach = has_approach_end(lines);
    auto join = [&](std::size_t index) {
        for (std::size_t at : waiting) scan.motions[at].level = static_cast<std::uint32_t>(index);
        waiting.clear();
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const word_list& w = lines[i].words;
        if (w.size() <= kNumberWord) continue;
        if (w[kTypeWord] != kMarkerBlock || w.size() <= kCodeWord) {
            const std::uint64_t k = key(procedure, static_cast<int>(w[kNumberWord]));
            if (!inside_level) waiting.push_back(scan.motions.size());
            scan.motions.push_back(
                {k, static_cast<std::uint32_t>(inside_level ? *level : 0), open_links > 0 || before_first_approach});
            continue;
        }
        const word code = w[kCodeWord];
        if (code == kLayerOpen) {
            const float z = w.size() > kMarkerZWord ? std::bit_cast<float>(w[kMarkerZWord]) : 0.0f;
            const int number = level ? scan.levels[*level].number + 1 : 1;
            scan.levels.push_back({procedure, number, z});
            level = scan.levels.size() - 1;
            inside_level = true;
            join(*level);
        } else if (code == kLayerClose) {
            inside_level = false;
        } else if (link_open(code)) {
            ++open_links;
        } else if (link_close(code)) {
            open_links = std::max(0, open_links - 1);
            if (code == kApproachClose) before_first_approach = false;
        }
    }
    if (!level) {
        scan.levels.push_back({procedure, 0, 0.0});
        level = scan.levels.size() - 1;
    }
    join(*level);
}

tool_path_scan scan_tool_path()
{
    tool_path_scan scan;
    const line_sequence<toolpath_line>& top = toolpath_top();
    auto procedure = [](const toolpath_line& l) {
        return l.words.size() > kNumberWord && l.words[kTypeWord] == kProcedureBlock && l.has_sublist;
    };
    // Room for a fact per line of the procedures, made at once: a long tool path's facts are
    // not doubled into.
    std::size_t lines = 0;
    for (std::size_t i = 0; i < top.size(); ++i) lines += procedure(top[i]) ? top[i].sublist.size() : 0;
    scan.motions.reserve(lines);
    for (std::size_t i = 0; i < top.size(); ++i) {
        const toolpath_line& l = top[i];
        if (procedure(l)) scan_procedure(static_cast<int>(l.words[kNumberWord]), l.sublist, scan);
    }
    scan.index();
    return scan;
}

// ---- links by their shape -------------------------------------------------------------------

// The tool path's points are single precision: values within its tolerance count as one.
bool same_value(double a, double b) { return std::fabs(a - b) <= kRealTolerance; }

bool at_one_height(const block_points& points)
{
    const double z = points.front()[2];
    return std::all_of(points.begin(), points.end(), [&](const point3& p) { return same_value(p[2], z); });
}

// A plunge or a lift: the tool moves along its axis only.
bool along_axis(const block_points& points)
{
    const point3 first = points.front();
    return !at_one_height(points) && std::all_of(points.begin(), points.end(), [&](const point3& p) {
        return same_value(p[0], first[0]) && same_value(p[1], first[1]);
    });
}

bool lift(const block_points& points) { return along_axis(points) && points.back()[2] > points.front()[2]; }
bool plunge(const block_points& points) { return along_axis(points) && points.back()[2] < points.front()[2]; }

// Plunges, lifts and the moves at one height between a lift and a plunge.
void mark_links_by_shape(std::vector<drawn_block>& blocks)
{
    const std::size_t n = blocks.size();
    for (drawn_block& b : blocks) b.link = b.link || along_axis(b.block->points);
    for (std::size_t first = 0; first < n;) {
        std::size_t end = first;
        while (end < n && at_one_height(blocks[end].block->points)) ++end;
        const bool way_over = end > first && first > 0 && end < n && lift(blocks[first - 1].block->points) &&
                              plunge(blocks[end].block->points);
        for (std::size_t k = first; way_over && k < end; ++k) blocks[k].link = true;
        first = std::max(end, first + 1);
    }
}

}  // namespace

drawn_display_file drawn_blocks(const std::vector<const ncd_block_record*>& shown)
{
    tool_path_scan scan = scan_tool_path();
    std::vector<drawn_block> blocks(shown.size());
    // The scan's level of each shown block (kNoLevel: none) until the drawn levels replace it.
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const ncd_block_record& b = *shown[k];
        blocks[k].block = &b;
        blocks[k].link = b.font == kRapidFont;
        blocks[k].level = kNoLevel;
        const motion_facts* facts = scan.find(key(b.block1, b.block2));
        if (facts == nullptr) continue;
        blocks[k].level = facts->level;
        blocks[k].link = blocks[k].link || facts->link;
    }
    // The facts of a long tool path are no longer needed: their room goes back before the
    // levels are drawn.
    std::vector<motion_facts>().swap(scan.motions);
    mark_links_by_shape(blocks);
    // A block the tool path does not hold (yet) goes with the block before it, or the first
    // block after it; without any, with its procedure.
    const std::vector<drawn_level>& all = scan.levels;
    std::uint32_t last = kNoLevel;
    for (std::size_t k = 0; k < shown.size(); ++k) {
        if (blocks[k].level != kNoLevel)
            last = blocks[k].level;
        else
            blocks[k].level = last;
    }
    for (std::size_t k = shown.size(); k-- > 0;) {
        if (blocks[k].level != kNoLevel)
            last = blocks[k].level;
        else
            blocks[k].level = last;
    }
    drawn_display_file file;
    std::vector<std::optional<std::uint32_t>> drawn_index(all.size());
    std::unordered_map<int, std::uint32_t> unknown_procedure;  // procedure -> index into file.levels
    for (std::size_t k = 0; k < shown.size(); ++k) {
        const auto new_level = static_cast<std::uint32_t>(file.levels.size());
        if (blocks[k].level == kNoLevel) {
            const auto [it, made] = unknown_procedure.try_emplace(shown[k]->block1, new_level);
            if (made) file.levels.push_back({shown[k]->block1, 0, 0.0});
            blocks[k].level = it->second;
            continue;
        }
        std::optional<std::uint32_t>& index = drawn_index[blocks[k].level];
        if (!index) {
            file.levels.push_back(all[blocks[k].level]);
            index = new_level;
        }
        blocks[k].level = *index;
    }
    file.blocks = std::move(blocks);
    return file;
}

std::string level_label(const drawn_level& level)
{
    std::string label = "procedure " + std::to_string(level.procedure);
    if (level.number <= 0) return label;
    char z[48];
    std::snprintf(z, sizeof z, "%.3f", level.z == 0.0 ? 0.0 : level.z);
    return label + ", level " + std::to_string(level.number) + ": Z " + z;
}

}  // namespace vantu::control
