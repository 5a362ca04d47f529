// Geometry entities of a procedure and their temporary chains.
#include "toolpath/proc_geom_entities.hpp"

#include "host/vantu.hpp"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr int kFailed = -1;
constexpr int kRead = 1, kWrite = 2;
constexpr int kSettle = 1;
constexpr int kSetId = 1;
constexpr int kHeadWords = 6;
constexpr int kNameChars = 8;

int pair_id(const geom_pair_words& pairs, int k) { return pairs[static_cast<std::size_t>(2 * k + 1)]; }
word& pair_flag(geom_pair_words& pairs, int k) { return pairs[static_cast<std::size_t>(2 * k)]; }

int program_version_number()
{
    int r1 = 0, r2 = 0, r3 = 0;
    prgrel(r1, r2, r3);
    return ((100 * r1 + 10 * r2 + r3) * 100 + prgpsn()) * 100 + prgsrn();
}

// The temporary of an entity (-1 none); false when the host call fails.
bool temporary_of(int id, int& tmp)
{
    int status = 0;
    tmp = kNoEntity;
    get_set_idtmp(kRead, id, tmp, status);
    return status >= 0;
}

// The entity that stands for pair id: its temporary's temporary, else its temporary, unless that
// is of host type 10012 (nothing then); false on a host failure.
bool entity_in_use(int id, int& in_use)
{
    int tmp = 0;
    if (!temporary_of(id, tmp)) return false;
    if (tmp <= 0) {
        in_use = id;
        return true;
    }
    int second = 0;
    if (!temporary_of(tmp, second)) return false;
    const int candidate = second > 0 ? second : tmp;
    int type = 0, status = 0;
    get_geom_type(candidate, type, status);
    if (status < 0) return false;
    in_use = type == kKindWithoutPair ? kNoEntity : candidate;
    return true;
}

// Replaces the pair's entity by its temporary (or drops it when the temporary is no procedure
// geometry); false on a host failure. kept answers whether the pair's entity stays.
bool settle_temporary(int id, int tmp, bool& kept)
{
    int status = 0, type = 0;
    get_geom_type(tmp, type, status);
    if (status < 0) return false;
    kept = type != kKindWithoutPair;
    if (!kept) {
        int none = kNoEntity;
        edelet(tmp, status);
        if (status >= 0) asdeta(tmp, status);
        if (status >= 0) get_set_idtmp(kWrite, id, none, status);
        if (status >= 0) delete_nc_entity(id, kNcEntityGeometry, status);
        return status >= 0;
    }
    cpy_geom(tmp, id, status);
    if (status >= 0) asdeta(id, status);
    if (status >= 0) ascopa(tmp, id, status);
    if (status >= 0) asdeta(tmp, status);
    if (status >= 0) delete_nc_entity(tmp, kNcEntityGeometry, status);
    int none = kNoEntity;
    if (status >= 0) get_set_idtmp(kWrite, id, none, status);
    return status >= 0;
}

}  // namespace

void create_geom_ent(int kind, std::string_view name, int& new_id, int& old_id, int& status)
{
    new_id = kNoEntity;
    int flag = 0;
    geom_pair_get(kind, proc_flags().pairs, old_id, flag);
    estore(kGeometryClass, kGeometryType, new_id, status);
    if (status < 0) {
        eroutc("create_geom_ent, PROBLEMS IN CREATING ENTITY", 0);
        return;
    }
    char padded[kNameChars];
    std::fill(std::begin(padded), std::end(padded), ' ');
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), kNameChars), padded);
    word head[kHeadWords] = {-1, 0, 0, program_version_number(), kind, 0};
    std::memcpy(&head[1], padded, kNameChars);
    eputn(kHeadWords, head, status);
}

void geom_length_update(int kind, int new_id, int old_id, int length, int& status)
{
    geom_kind_mark_recompute(kind);
    update_geom_length(new_id, length, status);
    if (status < 0) return;
    if (old_id < 1) {
        geom_flag_update(kSetId, kind, new_id, proc_flags().pairs);
        return;
    }
    int tmp = 0;
    get_set_idtmp(kRead, old_id, tmp, status);
    if (status < 0) return;
    int linked = new_id;
    get_set_idtmp(kWrite, tmp > 0 ? tmp : old_id, linked, status);
}

void find_geom_buf(geom_pair_words pairs, int& count, geom_id_list& ids, int& status)
{
    count = 0;
    status = 0;
    for (int k = 0; k < proc_geom_pairs::kPairs; ++k) {
        const int id = pair_id(pairs, k);
        if (id <= 0) continue;
        int in_use = kNoEntity;
        if (!entity_in_use(id, in_use)) {
            eroutc("find_geom_buf, ERRORS IN LIST", 0);
            status = kFailed;
            return;
        }
        if (in_use > 0) ids[static_cast<std::size_t>(count++)] = in_use;
    }
}

void update_proc_geoms(int mode, int& status)
{
    status = 0;
    if (mode != kSettle) return;
    geom_pair_words& pairs = proc_flags().pairs;
    for (int k = 0; k < proc_geom_pairs::kPairs && status >= 0; ++k) {
        const int id = pair_id(pairs, k);
        if (id <= 0 || pair_flag(pairs, k) == 0) continue;
        int first = 0, second = 0;
        get_set_idtmp(kRead, id, first, status);
        if (status >= 0 && first > 0) get_set_idtmp(kRead, first, second, status);
        if (status >= 0 && second > 0) {
            get_set_idtmp(kWrite, id, second, status);
            if (status >= 0) edelet(first, status);
            if (status >= 0) asdeta(first, status);
        }
        if (status >= 0) pair_flag(pairs, k) = 0;
    }
}

void save_geom_entities(geom_pair_words pairs, int& count, geom_id_list& ids, int& status)
{
    count = 0;
    status = 0;
    for (int k = 0; k < proc_geom_pairs::kPairs; ++k) {
        const int id = pair_id(pairs, k);
        if (id <= 0) continue;
        int tmp = 0;
        bool kept = true, ok = temporary_of(id, tmp);
        if (ok && tmp > 0) ok = settle_temporary(id, tmp, kept);
        if (ok && kept) add_nc_entity(id, kNcEntityGeometry, status);
        if (!ok || status < 0) {
            eroutc("save_geom_entities, ERRORS IN LIST", 0);
            status = kFailed;
            return;
        }
        if (kept) ids[static_cast<std::size_t>(count++)] = id;
    }
}
