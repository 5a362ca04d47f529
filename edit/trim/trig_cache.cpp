// The triangulation cache: a process-wide singleton created on first use, two slots of the
// triangle model's control data and the editor's reference-surface lists; and the editor's end,
// which frees its saved model once.
#include "edit/trim/trig_cache.hpp"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace {

// A flat copy of the global triangle model's control data. It owns none of the host arrays
// that its handles name, so dropping it frees nothing.
struct trig_cache_slot {
    tri_store store;
    qt_node nodes[kQtNodes];
    int root_box[4];
};

// One list of reference surfaces: an identifier and a companion word per surface, handed
// unchanged to the triangulation.
struct ref_surface_list {
    std::vector<int> ids;
    std::vector<int> aux;
};

struct ref_surface_lists {
    ref_surface_list first;
    ref_surface_list second;
};

// The cache: the trimming slot, the editor's slot and the editor's lists, all empty at first.
struct trig_cache {
    std::unique_ptr<trig_cache_slot> slots[2];
    std::unique_ptr<ref_surface_lists> lists;
};

trig_cache& cache()
{
    static trig_cache instance;
    return instance;
}

bool is_slot(int slot) { return slot == kTrigSlotTrim || slot == kTrigSlotEdit; }

ref_surface_list list_of(int count, const int* ids, const int* aux)
{
    ref_surface_list list;
    if (count < 1) return list;
    list.ids.reserve(static_cast<std::size_t>(count));
    list.aux.reserve(static_cast<std::size_t>(count));
    list.ids.assign(ids, ids + count);
    list.aux.assign(aux, aux + count);
    return list;
}

void copy_out(const ref_surface_list& list, int* ids, int* aux)
{
    std::copy(list.ids.begin(), list.ids.end(), ids);
    std::copy(list.aux.begin(), list.aux.end(), aux);
}

}  // namespace

int trig_cache_get(int slot, tri_store& store, int* root_box, qt_node* nodes)
{
    if (!is_slot(slot) || !cache().slots[slot]) return 0;
    const trig_cache_slot& saved = *cache().slots[slot];
    store = saved.store;
    std::copy(saved.nodes, saved.nodes + kQtNodes, nodes);
    std::copy(saved.root_box, saved.root_box + 4, root_box);
    return 1;
}

void trig_cache_put(int slot, const tri_store& store, const int* root_box, const qt_node* nodes)
{
    if (!is_slot(slot)) return;
    cache().slots[slot].reset();
    std::unique_ptr<trig_cache_slot> copy(new (std::nothrow) trig_cache_slot);
    if (!copy) return;
    copy->store = store;
    std::copy(nodes, nodes + kQtNodes, copy->nodes);
    std::copy(root_box, root_box + 4, copy->root_box);
    cache().slots[slot] = std::move(copy);
}

void trig_cache_drop(int slot)
{
    if (is_slot(slot)) cache().slots[slot].reset();
}

void ref_lists_set(int count1, int count2, const int* ids2, const int* ids1, const int* aux1, const int* aux2)
{
    cache().lists.reset();
    cache().lists = std::make_unique<ref_surface_lists>(
        ref_surface_lists{list_of(count1, ids1, aux1), list_of(count2, ids2, aux2)});
}

int ref_lists_count1() { return cache().lists ? static_cast<int>(cache().lists->first.ids.size()) : 0; }
int ref_lists_count2() { return cache().lists ? static_cast<int>(cache().lists->second.ids.size()) : 0; }

void ref_lists_get1(int* ids, int* aux)
{
    if (cache().lists) copy_out(cache().lists->first, ids, aux);
}

void ref_lists_get2(int* ids, int* aux)
{
    if (cache().lists) copy_out(cache().lists->second, ids, aux);
}

void edit_cache_reset() { trig_cache_release(kTrigSlotEdit); }

void trig_cache_release(int slot)
{
    if (trig_cache_get(slot, tri_store_block, qt_nodes.root_box, qt_nodes.nodes) == 0) return;
    // The restored global store holds the slot's handles: the model is freed there, once, and the
    // slot is dropped at once so that nothing names the freed arrays any more.
    int status = 0;
    tri_model_release(status);
    trig_cache_drop(slot);
}
