// The triangulation cache: slots keep whole copies of the model's control data, never free the
// host arrays their handles name, and ignore slot numbers other than 0 and 1; the editor's
// reference-surface lists come back as they were set.
#include "edit/trim/trig_cache.hpp"
#include "host/control.hpp"
#include "host/control/memory.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Control data told apart by one number: node count, a box word and a quadtree word.
struct model_copy {
    tri_store store;
    int root_box[4] = {};
    std::vector<qt_node> nodes = std::vector<qt_node>(kQtNodes);
};

model_copy marked(int mark)
{
    model_copy m;
    m.store.node_handle = 100 + mark;
    m.store.node_count = mark;
    m.store.box[5] = static_cast<float>(mark);
    m.root_box[2] = 1000 * mark;
    m.nodes[kQtNodes - 1].subtree = mark;
    return m;
}

int mark_of(const model_copy& m) { return m.store.node_count; }
bool consistent(const model_copy& m)
{
    const int k = m.store.node_count;
    return m.store.node_handle == 100 + k && m.store.box[5] == static_cast<float>(k) && m.root_box[2] == 1000 * k &&
           m.nodes[kQtNodes - 1].subtree == k;
}

int get(int slot, model_copy& into) { return trig_cache_get(slot, into.store, into.root_box, into.nodes.data()); }
void put(int slot, const model_copy& from) { trig_cache_put(slot, from.store, from.root_box, from.nodes.data()); }

class TrigCache : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int slot : {0, 1}) trig_cache_drop(slot);
        vantu::control::reset();
    }
    void TearDown() override
    {
        for (int slot : {0, 1}) trig_cache_drop(slot);
    }
};

}  // namespace

TEST_F(TrigCache, SlotsKeepTheLastPutAndIgnoreOtherNumbers)
{
    struct row {
        const char* what;
        std::vector<int> puts;  // marks put into the slot, in order
        int put_slot;
        int get_slot;
        int found;       // trig_cache_get's answer
        int mark_after;  // what the global copy holds afterwards (7: untouched)
    };
    const row rows[] = {
        {"empty slot", {}, 0, 0, 0, 7},
        {"one put", {3}, 1, 1, 1, 3},
        {"two puts keep the second", {3, 5}, 0, 0, 1, 5},
        {"the other slot is empty", {3}, 0, 1, 0, 7},
        {"slot 2 is not stored", {3}, 2, 2, 0, 7},
        {"slot 2 reads nothing", {3}, 0, 2, 0, 7},
        {"negative slot", {3}, -1, -1, 0, 7},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        for (int slot : {0, 1}) trig_cache_drop(slot);
        for (int mark : r.puts) put(r.put_slot, marked(mark));
        model_copy global = marked(7);
        EXPECT_EQ(get(r.get_slot, global), r.found);
        EXPECT_EQ(mark_of(global), r.mark_after);
        EXPECT_TRUE(consistent(global));
    }
}

TEST_F(TrigCache, PutCopiesAndDropEmpties)
{
    model_copy source = marked(4);
    put(1, source);
    source = marked(9);  // changing the global model after the put does not reach the slot
    model_copy global = marked(7);
    ASSERT_EQ(get(1, global), 1);
    EXPECT_EQ(mark_of(global), 4);
    trig_cache_drop(1);
    EXPECT_EQ(get(1, global), 0);
    trig_cache_drop(2);  // ignored, no crash
}

// A real model saved, forgotten by the global store and restored: its host arrays are shared,
// the drop frees none of them, and the one release of the restored store frees them all.
TEST_F(TrigCache, NoArrayIsFreedThroughASlot)
{
    const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const int triangle[3] = {1, 2, 3};
    int status = 0;
    tri_model_build(corners, 3, triangle, 1, status);
    ASSERT_EQ(status, 0);
    const int open = vantu::control::open_array_count();
    ASSERT_GT(open, 0);

    trig_cache_put(kTrigSlotTrim, tri_store_block, qt_nodes.root_box, qt_nodes.nodes);
    tri_model_module_reset();
    ASSERT_EQ(tri_model_nodes(), nullptr);
    ASSERT_EQ(trig_cache_get(kTrigSlotTrim, tri_store_block, qt_nodes.root_box, qt_nodes.nodes), 1);
    ASSERT_NE(tri_model_nodes(), nullptr);
    EXPECT_FLOAT_EQ(tri_model_nodes()[3], 1.0f);

    trig_cache_drop(kTrigSlotTrim);
    EXPECT_EQ(vantu::control::open_array_count(), open);
    EXPECT_NE(tri_model_nodes(), nullptr);
    tri_model_release(status);
    EXPECT_EQ(vantu::control::open_array_count(), 0);
    EXPECT_TRUE(vantu::control::texts_of("host_error").empty());
}

// The editor's end: the model saved in slot 1 is restored and freed once, the slot emptied; a
// second end, or an end with the slot empty, frees nothing (the global model stays).
TEST_F(TrigCache, EditorEndFreesTheSlotOneModelOnce)
{
    const float corners[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const int triangle[3] = {1, 2, 3};
    int status = 0;
    tri_model_build(corners, 3, triangle, 1, status);
    ASSERT_EQ(status, 0);
    trig_cache_put(kTrigSlotEdit, tri_store_block, qt_nodes.root_box, qt_nodes.nodes);
    tri_model_module_reset();

    edit_cache_reset();
    EXPECT_EQ(vantu::control::open_array_count(), 0) << "freed";
    EXPECT_EQ(trig_cache_get(kTrigSlotEdit, tri_store_block, qt_nodes.root_box, qt_nodes.nodes), 0) << "emptied";
    edit_cache_reset();
    EXPECT_TRUE(vantu::control::texts_of("host_error").empty()) << "nothing freed twice";

    tri_model_build(corners, 3, triangle, 1, status);
    const int open = vantu::control::open_array_count();
    edit_cache_reset();
    EXPECT_EQ(vantu::control::open_array_count(), open) << "an empty slot frees nothing";
    EXPECT_NE(tri_model_nodes(), nullptr);
    tri_model_release(status);
}

TEST_F(TrigCache, ReferenceListsComeBackAsSet)
{
    EXPECT_EQ(ref_lists_count1(), 0);
    EXPECT_EQ(ref_lists_count2(), 0);
    int ids[3] = {-1, -1, -1}, aux[3] = {-1, -1, -1};
    ref_lists_get1(ids, aux);  // no lists yet: nothing written
    EXPECT_EQ(ids[0], -1);

    const int ids1[] = {11, 12, 13}, aux1[] = {21, 22, 23}, ids2[] = {31, 32}, aux2[] = {41, 42};
    ref_lists_set(3, 2, ids2, ids1, aux1, aux2);
    ASSERT_EQ(ref_lists_count1(), 3);
    ASSERT_EQ(ref_lists_count2(), 2);
    ref_lists_get1(ids, aux);
    EXPECT_EQ(std::vector<int>(ids, ids + 3), std::vector<int>(ids1, ids1 + 3));
    EXPECT_EQ(std::vector<int>(aux, aux + 3), std::vector<int>(aux1, aux1 + 3));
    ref_lists_get2(ids, aux);
    EXPECT_EQ(std::vector<int>(ids, ids + 2), std::vector<int>(ids2, ids2 + 2));
    EXPECT_EQ(std::vector<int>(aux, aux + 2), std::vector<int>(aux2, aux2 + 2));

    ref_lists_set(0, -4, nullptr, nullptr, nullptr, nullptr);  // both empty, arrays not read
    EXPECT_EQ(ref_lists_count1(), 0);
    EXPECT_EQ(ref_lists_count2(), 0);
    ids[0] = -1;
    ref_lists_get2(ids, aux);
    EXPECT_EQ(ids[0], -1);
}
