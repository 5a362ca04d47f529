// Host NC database of procedures, geometry entities, associativity, display-file attributes and
// the procedure-manager flags: records give back the word runs stored, the tables and links
// survive the part file, and refusals are answered by status.
#include "host/control.hpp"
#include "host/control/assoc.hpp"
#include "host/control/entities.hpp"
#include "host/control/geom_entities.hpp"
#include "host/control/messages.hpp"
#include "host/control/ncd_attrs.hpp"
#include "host/control/proc_records.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

namespace {

using namespace vantu::control;

class HostProcRecords : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
};

nc_proc_record sample_record(int geometry)
{
    nc_proc_record r;
    r.block_number = 3;
    r.proc_type = 50;
    r.global_words = {20, 2, 0, 7};
    r.geometry_ids = {geometry};
    r.further_words = {1, 2, 3, 0, 0, 0, 0, 0};
    r.motion_id = -1;
    return r;
}

void expect_same(const nc_proc_record& a, const nc_proc_record& b)
{
    EXPECT_EQ(a.block_number, b.block_number);
    EXPECT_EQ(a.proc_type, b.proc_type);
    EXPECT_EQ(a.global_words, b.global_words);
    EXPECT_EQ(a.mchprm_id, b.mchprm_id);
    EXPECT_EQ(a.lclprm_id, b.lclprm_id);
    EXPECT_EQ(a.geometry_ids, b.geometry_ids);
    EXPECT_EQ(a.further_words, b.further_words);
    EXPECT_EQ(a.motion_id, b.motion_id);
}

}  // namespace

TEST_F(HostProcRecords, RecordsGiveBackTheirWordRunsAndSurviveThePartFile)
{
    const int geometry = add_entity(9, 7, {-1, 0, 0, 7000000, 10003, 0});
    int machine = 0, status = 0;
    std::vector<word> table{0, 2, 0, 10003};
    dbd_mchprm(2, machine, table, status);
    ASSERT_EQ(status, 0);
    nc_proc_record record = sample_record(geometry);
    record.mchprm_id = machine;
    int id = 0;
    dbd_proc(2, id, record, status);
    ASSERT_EQ(status, 0);
    int globals = 0, geometries = 0, further = 0;
    get_proc_info(id, globals, geometries, further, status);
    EXPECT_EQ((std::vector<int>{globals, geometries, further}), (std::vector<int>{4, 1, 8}));
    int motion = 0;
    get_set_movmnt_id(2, id, motion = 55);
    get_set_movmnt_id(1, id, motion);
    EXPECT_EQ(motion, 55);
    record.motion_id = 55;
    add_nc_entity(id, 1, status);
    int tmp = geometry;
    get_set_idtmp(2, id, tmp, status);
    update_geom_length(geometry, 12, status);
    asattl(geometry, -1, 3, status);

    const std::string part = save_part_text();
    load_part_text(part, "saved");
    nc_proc_record back;
    dbd_proc(1, id, back, status);
    ASSERT_EQ(status, 0);
    expect_same(back, record);
    std::vector<word> read;
    dbd_mchprm(1, machine, read, status);
    EXPECT_EQ(read, table);
    int count = 0;
    get_mchprm_info(machine, count, status);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(nc_entity_table(), (std::vector<std::pair<int, int>>{{id, 1}}));
    EXPECT_EQ(geometry_temporary(id), geometry);
    EXPECT_EQ(geometry_length(geometry), 12);
    EXPECT_EQ(assoc_links(), (std::vector<assoc_link>{{geometry, -1, 3}}));

    // The machine-parameter record is the form the MCHPRM reader takes: three words, then the run.
    EXPECT_EQ(get_entity(machine)->words, (std::vector<word>{0, 0, 0, 4, 0, 2, 0, 10003}));
}

TEST_F(HostProcRecords, RefusalsAndTableEntries)
{
    int status = 0, id = 999, count = 0, kind = 0;
    nc_proc_record record;
    dbd_proc(1, id, record, status);
    EXPECT_EQ(status, -5);
    dbd_proc(4, id, record, status);
    EXPECT_EQ(status, -1);
    get_lclprm_info(id, count, status);
    EXPECT_EQ(status, -5);
    const int line = add_line({0, 0, 0}, {1, 0, 0});
    get_geom_info(line, kind, status);
    EXPECT_EQ(status, -1) << "not a geometry entity";
    get_geom_type(12345, kind, status);
    EXPECT_EQ(status, -5);
    EXPECT_EQ(entsta(line), 1);
    EXPECT_EQ(entsta(12345), 0);
    int size = 0;
    egsize(line, size, status);
    EXPECT_EQ(size, 12);

    // Deleting an entry deletes its entity; a second delete finds nothing.
    add_nc_entity(line, 4, status);
    delete_nc_entity(line, 4, status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(get_entity(line));
    delete_nc_entity(line, 4, status);
    EXPECT_EQ(status, -5);
    add_nc_entity(line, 4, status);
    EXPECT_EQ(status, -5) << "no such entity";

    // A movement entry opens only as an NC entity, from its first word.
    const int motion = add_entity(9, 8, {2, 7});
    open_movmnt(motion, status);
    int open_id = 0, position = -1;
    eopen_block_get(open_id, position);
    EXPECT_EQ(std::vector<int>({status, open_id, position}), std::vector<int>({0, motion, 0}));
    eclose(status);
    for (const int other : {add_point({0, 0, 1}), 12345}) {
        open_movmnt(other, status);
        eopen_block_get(open_id, position);
        EXPECT_EQ(std::vector<int>({status, open_id}), std::vector<int>({-5, 0})) << other;
    }

    // Links are copied between entities and procedures and removed by entity.
    const int a = add_point({0, 0, 0}), b = add_point({1, 0, 0});
    asattl(a, -1, 7, status);
    ascopy(-1, 7, -1, 9);
    ascopa(a, b, status);
    asdeta(a, status);
    EXPECT_EQ(assoc_links(), (std::vector<assoc_link>{{b, -1, 7}, {b, -1, 9}}));
}

TEST_F(HostProcRecords, FlagsAttributesReleaseAndCatalogueTexts)
{
    int value = 0;
    chk_crit_gs(1, value);
    EXPECT_EQ(value, 0);
    value = 1;
    gs_modify(2, value);
    gs_modify(1, value = 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(NcOnAcis(), 0);
    set_flag("proc_geom_status", 2);
    EXPECT_EQ(get_ProcGeomStatus(), 2);

    ncd_update_current_attrs(4, 6, 2);
    ncd_update_current_attrs(-1, 3, 1);
    const ncd_attributes attrs = ncd_current_attrs();
    EXPECT_EQ((std::vector<int>{attrs.font, attrs.colour, attrs.pen}), (std::vector<int>{4, 3, 1}));

    int r1 = 0, r2 = 0, r3 = 0;
    prgrel(r1, r2, r3);
    EXPECT_EQ(((100 * r1 + 10 * r2 + r3) * 100 + prgpsn()) * 100 + prgsrn(), prgvrs() * 10000);

    std::string text;
    msg_get(351, 15, text);
    msg_mdls(351, 13, text);
    msg_mdls(319, 30);
    EXPECT_EQ(lines_of("msg_mdls"),
              (std::vector<std::string>{"message 351/13 text 351/15",
                                        "message 319/30 WARNING: THE ORIGIN OF THE PROCEDURE IS NOT FOUND"}));
    EXPECT_EQ(texts_of("msg_mdls"), (std::vector<std::string>{"351/13", "319/30"}));
}
