// The trimming tool's slot of the triangulation cache (see the header).
#include "edit/trim/trim_cache.hpp"

#include "edit/trim/trig_cache.hpp"
#include "surfaces/tri_store_least.hpp"

void trim_cache_save() { trig_cache_put(kTrigSlotTrim, tri_store_block, qt_nodes.root_box, qt_nodes.nodes); }

void trim_cache_restore() { trig_cache_get(kTrigSlotTrim, tri_store_block, qt_nodes.root_box, qt_nodes.nodes); }

void trim_cache_reset() { trig_cache_release(kTrigSlotTrim); }

void node_handles_reset() { tri_model_module_reset(); }
