// The blocks of a procedure in the procedure header listing (see the header).
#include "listing/proc_header_listing.hpp"

#include "host/vantu.hpp"
#include "listing/lst_state.hpp"
#include "listing/prtblk.hpp"
#include "listing/tp_entity_open.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kHeaderForm = 3;
constexpr int kTextBlock = 10;
constexpr int kNcClass = 9, kToolPathType = 3, kProcedureType = 4;
constexpr int kProcedureEntry = 1, kListEntry = 2, kMovementEntry = 4, kTextEntry = 10;
constexpr int kBlankLines = 4;

void line(int unit, const std::string& text)
{
    int count = 0;
    filtxt(unit, text, -1, count);
}

// The type of the block after the current one; the list stays on that block. -1 at the end.
int next_block_type()
{
    constexpr int kJumpFailed = -1, kJumpUnmoved = -2;  // answers of tp_list_jump; 1 is the last block
    int jumped = 0;
    tp_list_jump(1, jumped);
    if (jumped == kJumpFailed || jumped == kJumpUnmoved) return -1;
    int size = 0, type = 0, block_class = 0, status = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    return status < 0 ? -1 : type;
}

// The open entity closed and the failure reported: -1.
int open_failed()
{
    close_entity();
    eroutc("proch1_ent, PROBLEMS IN OPENNING ENTITY", 0);
    return kFailed;
}

int wrong_entity(const char* text, int id)
{
    close_entity();
    erou1c(text, id);
    return kFailed;
}

// The walk of one stored tool path: the entries printed in order, the host's current procedure
// and the list of tool paths being walked given back on every way out.
struct tool_path_walk {
    int unit;
    int scale_word;
    float scale;
    int kept_procedure = -1;
    std::vector<int>& walking;

    tool_path_walk(int tool_path, int listing_unit, int given_word, std::vector<int>& paths)
        : unit(listing_unit), scale_word(given_word), scale(proch_scale(given_word)), walking(paths)
    {
        gs_proc_id(1, kept_procedure);
        walking.push_back(tool_path);
    }
    ~tool_path_walk()
    {
        walking.pop_back();
        gs_proc_id(2, kept_procedure);
    }
    tool_path_walk(const tool_path_walk&) = delete;
    tool_path_walk& operator=(const tool_path_walk&) = delete;

    // One block of the open entity as procedure id, its separator unless a text entry follows;
    // the entity is closed.
    int print_open(int id, bool text_follows)
    {
        int type = 0, status = 0;
        PRTBLK(kHeaderForm, unit, kWhereEntity, id, scale, type, status);
        close_entity();
        if (status < 0) return status;
        if (!text_follows) line(unit, proch_separator());
        return 0;
    }

    int procedure(int id, bool text_follows)
    {
        int entity_class = 0, entity_type = 0, status = 0;
        eopen(id, entity_class, entity_type, status);
        if (status < 0) return open_failed();
        if (entity_class != kNcClass || entity_type != kProcedureType)
            return wrong_entity("proch1_ent, NOT A PROCEDURE ENTITY. id = ", id);
        int current = id;
        gs_proc_id(2, current);
        return print_open(id, text_follows);
    }

    int movement(int id, bool text_follows)
    {
        int status = 0;
        open_movmnt(id, status);
        if (status < 0) return open_failed();
        int current = id;
        gs_proc_id(2, current);
        return print_open(id, text_follows);
    }

    int entries(int tool_path)
    {
        int count = 0, status = 0;
        std::vector<int> pairs;
        get_tp_info(tool_path, count, status);
        if (status == 0) dbd_tp(tool_path, pairs, status);
        if (status != 0) return open_failed();
        const std::size_t n = pairs.size() / 2;
        for (std::size_t i = 0; i < n && status >= 0; ++i) {
            const int kind = pairs[2 * i], id = pairs[2 * i + 1];
            const bool text_follows = i + 1 < n && pairs[2 * i + 2] == kTextEntry;
            if (kind == kProcedureEntry)
                status = procedure(id, text_follows);
            else if (kind == kListEntry)
                proch_blocks_write(id, unit, scale_word, status);
            else if (kind == kMovementEntry || kind == kTextEntry)
                status = movement(id, text_follows);
        }
        return status < 0 ? kFailed : 0;
    }
};

}  // namespace

std::string proch_separator()
{
    const std::string dashes(24, '-');
    return "|" + dashes + "|" + dashes + "|" + dashes + "|";
}

float proch_scale(int word)
{
    const float scale = word_to_real(static_cast<::word>(word));
    return std::isfinite(scale) && scale > 0.0f ? scale : 1.0f;
}

void proch_blocks_write(int procedure_id, int unit, int word, int& status)
{
    int current = 0;
    gs_proc_id(1, current);
    if (procedure_id != -1 && procedure_id != current) {
        proch1_ent(procedure_id, unit, word, status);
        return;
    }
    status = 0;
    int lines = 0;
    llines(lines);
    // One block per round: more rounds than lines would walk data that is not there.
    for (int round = 0; round <= lines; ++round) {
        int type = 0;
        PRTBLK(kHeaderForm, unit, kWhereList, procedure_id, proch_scale(word), type, status);
        if (status < 0) return;
        const int next = next_block_type();
        if (next != kTextBlock) line(unit, proch_separator());
        if (next < 0) break;
    }
    for (int i = 0; i < kBlankLines; ++i) line(unit, "");
}

void proch1_ent(int entity, int unit, int word, int& status)
{
    int entity_class = 0, entity_type = 0;
    eopen(entity, entity_class, entity_type, status);
    if (status < 0) {
        status = open_failed();
        return;
    }
    if (entity_class != kNcClass || (entity_type != kProcedureType && entity_type != kToolPathType)) {
        status = wrong_entity("proch1_ent, NOT A TOOL PATH ENTITY. id = ", entity);
        return;
    }
    std::vector<int>& walking = lst_state().header_list_paths;
    if (entity_type == kToolPathType && std::find(walking.begin(), walking.end(), entity) != walking.end()) {
        close_entity();  // a tool path holding itself: walked once
        status = 0;
        return;
    }
    tool_path_walk walk(entity, unit, word, walking);
    status = walk.print_open(entity, false);
    if (status >= 0 && entity_type == kToolPathType) status = walk.entries(entity);
    if (status < 0) status = kFailed;
}
