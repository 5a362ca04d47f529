// Host entities: the open entity's words and cursor, attributes, tools, the suspension of the
// open entity, the part-file section and the curve evaluation and approximation.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

using vantu::control::point3;
constexpr double kPi = std::numbers::pi;

std::vector<word> read_words(int n, int& status)
{
    std::vector<word> words(static_cast<std::size_t>(std::max(n, 0)), 0x7777);
    egetn(n, words.data(), status);
    return words;
}

// Creates an entity of the given class and type holding the words, left closed.
int stored(int entity_class, int type, const std::vector<word>& words)
{
    int id = 0, status = 0;
    estore(entity_class, type, id, status);
    EXPECT_EQ(status, 0);
    eputn(static_cast<int>(words.size()), words.data(), status);
    EXPECT_EQ(status, 0);
    eclose(status);
    return id;
}

double distance(const double* p, const point3& q) { return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]); }

class HostEntity : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
};

}  // namespace

// ---- words of the open entity ---------------------------------------------------------------

TEST_F(HostEntity, StoreWriteSkipAndReadBackTheWords)
{
    int id = 0, status = -9;
    estore(9, 7, id, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(vantu::control::open_entity(), id);
    const word first[4] = {11, 12, 13, 14};
    eputn(4, first, status);
    EXPECT_EQ(status, 0);
    eskipn(-3, status);
    EXPECT_EQ(status, 0);
    const word middle[5] = {21, 22, 23, 24, 25};  // overwrites 3 words and extends by 2
    eputn(5, middle, status);
    EXPECT_EQ(status, 0);
    eclose(status);
    EXPECT_EQ(vantu::control::open_entity(), 0);

    int entity_class = 0, entity_type = 0;
    eopen(id, entity_class, entity_type, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(entity_class, 9);
    EXPECT_EQ(entity_type, 7);
    EXPECT_EQ(read_words(6, status), (std::vector<word>{11, 21, 22, 23, 24, 25}));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::open_position(), 6);
}

TEST_F(HostEntity, ShortReadsAndSkipsPastEitherEndChangeNothing)
{
    const int id = stored(3, 1, {1, 2, 3});
    int c = 0, t = 0, status = 0;
    eopen(id, c, t, status);
    eskipn(1, status);
    ASSERT_EQ(status, 0);

    std::vector<word> words = read_words(3, status);
    EXPECT_EQ(status, kEntityShort);
    EXPECT_EQ(words, (std::vector<word>{0x7777, 0x7777, 0x7777}));  // nothing read
    EXPECT_EQ(vantu::control::open_position(), 1);
    eskipn(3, status);
    EXPECT_EQ(status, kEntityShort);
    eskipn(-2, status);
    EXPECT_EQ(status, kEntityShort);
    EXPECT_EQ(vantu::control::open_position(), 1);
    EXPECT_EQ(read_words(2, status), (std::vector<word>{2, 3}));
    EXPECT_EQ(status, 0);
    read_words(-1, status);
    EXPECT_EQ(status, kEntityNotOpen);
}

TEST_F(HostEntity, BadIdKeepsTheOpenEntityAndNothingOpenIsRefused)
{
    const int id = stored(3, 1, {5, 6});
    int c = 0, t = 0, status = 0;
    eopen(id, c, t, status);
    eskipn(1, status);
    eopen(id + 100, c, t, status);
    EXPECT_EQ(status, kEntityMissing);
    EXPECT_EQ(vantu::control::open_entity(), id);
    EXPECT_EQ(read_words(1, status), (std::vector<word>{6}));

    eclose(status);
    EXPECT_EQ(status, 0);
    read_words(1, status);
    EXPECT_EQ(status, kEntityNotOpen);
    const word w = 1;
    eputn(1, &w, status);
    EXPECT_EQ(status, kEntityNotOpen);
    eskipn(0, status);
    EXPECT_EQ(status, kEntityNotOpen);
    eclose(status);  // closing twice is harmless
    EXPECT_EQ(status, 0);
    estore(-1, 0, c, status);
    EXPECT_EQ(status, kEntityNotOpen);
}

TEST_F(HostEntity, TypedWordsRoundTripRealsAndDoubles)
{
    int id = 0, status = 0;
    estore(4, 4, id, status);
    const int integers[2] = {-7, 2147483647};
    const float reals[2] = {0.1f, -3.5e-20f};
    const double doubles[2] = {1.0 / 3.0, -0.0};
    eputi(2, integers, status);
    eputr(2, reals, status);
    eputd(2, doubles, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(vantu::control::get_entity(id)->words.size(), 8u);  // doubles take two words

    eskipi(-8, status);
    int integers_back[2];
    float reals_back[2];
    double doubles_back[2];
    egeti(2, integers_back, status);
    egetr(2, reals_back, status);
    egetd(2, doubles_back, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(integers_back[1], integers[1]);
    EXPECT_EQ(std::bit_cast<word>(reals_back[0]), std::bit_cast<word>(reals[0]));
    EXPECT_EQ(reals_back[1], reals[1]);
    EXPECT_EQ(doubles_back[0], doubles[0]);
    EXPECT_TRUE(std::signbit(doubles_back[1]));
    egetd(1, doubles_back, status);
    EXPECT_EQ(status, kEntityShort);
}

TEST_F(HostEntity, DeleteClosesAndIdsAreNeverReused)
{
    const int first = stored(1, 9, {});
    int c = 0, t = 0, status = 0;
    eopen(first, c, t, status);
    edelet(first, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::open_entity(), 0);
    edelet(first, status);
    EXPECT_EQ(status, kEntityMissing);
    const int second = stored(1, 9, {});
    EXPECT_GT(second, first);
}

TEST_F(HostEntity, HugeCountsAndTheLastIdAreRefusedCleanly)
{
    vantu::control::load_part_text(R"({"entities": [{"id": 2147483647, "kind": "words", "class": 1, "type": 0,
                                       "words": [1]}]})",
                                   "last id");
    int id = 0, status = 0;
    estore(1, 1, id, status);
    EXPECT_EQ(status, kEntityTooLarge);
    EXPECT_THROW(vantu::control::add_entity(1, 1, {}), std::invalid_argument);

    int c = 0, t = 0;
    eopen(2147483647, c, t, status);
    float reals[1];
    double doubles[1];
    egetr(2147483647, reals, status);  // no buffer of that size is made
    EXPECT_EQ(status, kEntityShort);
    egetd(2147483647, doubles, status);
    EXPECT_EQ(status, kEntityShort);
    eputr(2147483647, reals, status);
    EXPECT_EQ(status, kEntityTooLarge);
    eskipn(2147483647, status);
    EXPECT_EQ(status, kEntityShort);
    eskipn(1, status);
    const word w = 5;
    eputn(1, &w, status);
    eskipn(-2147483647 - 1, status);
    EXPECT_EQ(status, kEntityShort);
    EXPECT_EQ(vantu::control::get_entity(2147483647)->words, (std::vector<word>{1, 5}));
}

TEST_F(HostEntity, OpenEntityIsReportedAtTheEnd)
{
    int id = 0, status = 0;
    estore(2, 2, id, status);
    const auto lines = vantu::control::end_report();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "entity " + std::to_string(id) + " is still open"), lines.end());
    eclose(status);
    const auto after = vantu::control::end_report();
    EXPECT_EQ(std::find(after.begin(), after.end(), "entity " + std::to_string(id) + " is still open"), after.end());
}

TEST_F(HostEntity, InjectedFaultsReachTheCaller)
{
    const int id = stored(1, 1, {1});
    vantu::control::inject_fault("eopen", 1, 1, -8);
    int c = 0, t = 0, status = 0;
    eopen(id, c, t, status);
    EXPECT_EQ(status, -8);
    EXPECT_EQ(vantu::control::open_entity(), 0);
    vantu::control::inject_fault("estore", 1, 1, -5);
    int new_id = 0;
    estore(1, 1, new_id, status);
    EXPECT_EQ(status, -5);
    EXPECT_EQ(vantu::control::entity_ids().size(), 1u);
}

TEST_F(HostEntity, CallsAreTracedAndWordMovesCounted)
{
    const int id = stored(1, 1, {1, 2});
    vantu::control::clear_trace();
    vantu::control::set_tracing(true);
    int c = 0, t = 0, status = 0, value = 0;
    eopen(id, c, t, status);
    word words[2];
    egetn(2, words, status);
    eattc(id, 1, "CO", value, status);
    eclose(status);
    vantu::control::set_tracing(false);
    EXPECT_EQ(vantu::control::trace_names(), (std::vector<std::string>{"eopen", "eattc", "eclose"}));
    EXPECT_EQ(vantu::control::trace_entries()[1].arguments, std::to_string(id) + " 1 CO");
    EXPECT_EQ(vantu::control::call_count("egetn"), 1);
}

// ---- suspending the open entity -------------------------------------------------------------

TEST_F(HostEntity, SuspendedEntityIsRestoredWithItsCursor)
{
    const int a = stored(5, 1, {10, 11, 12, 13});
    const int b = stored(5, 2, {20, 21});
    int c = 0, t = 0, status = 0;
    eopen(a, c, t, status);
    eskipn(2, status);

    int id = 0, position = 0;
    eopen_block_get(id, position);
    EXPECT_EQ(id, a);
    EXPECT_EQ(position, 2);
    eopen_block_clear();
    read_words(1, status);
    EXPECT_EQ(status, kEntityNotOpen);  // suspended: nothing is open

    eopen(b, c, t, status);  // someone else reads another entity meanwhile
    EXPECT_EQ(read_words(2, status), (std::vector<word>{20, 21}));
    eopen_block_set(id, position, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read_words(2, status), (std::vector<word>{12, 13}));

    eopen_block_set(a, 5, status);
    EXPECT_EQ(status, kEntityShort);
    EXPECT_EQ(vantu::control::open_entity(), a);
    edelet(b, status);
    eopen_block_set(b, 0, status);
    EXPECT_EQ(status, kEntityMissing);
    eopen_block_set(0, 0, status);  // nothing was open: nothing is open again
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::open_entity(), 0);
}

// ---- attributes and tools -------------------------------------------------------------------

TEST_F(HostEntity, AttributesReadWriteAndRefuse)
{
    const int id = stored(1, 1, {});
    struct row {
        int id;
        int mode;
        const char* key;
        int value_in;
        int status;
        int value_out;
    };
    const row rows[] = {
        {id, 1, "CO", 99, 1, 0},  // never set: 0, status 1
        {id, 2, "CO", 3, 0, 3},
        {id, 1, "CO", 99, 0, 3},
        {id, 2, "PE", 2, 0, 2},
        {id, 1, "CL", 99, 0, 1},  // class
        {id, 2, "TY", 9, 0, 9},   // sets the type
        {id, 1, "TY", 0, 0, 9},
        {id, 1, "C", 5, kEntityNotOpen, 5},  // key of one character
        {id, 1, "COL", 5, kEntityNotOpen, 5},
        {id, 1, "C-", 5, kEntityNotOpen, 5},
        {id, 3, "CO", 5, kEntityNotOpen, 5},  // unknown mode
        {id + 1, 1, "CO", 5, kEntityMissing, 5},
    };
    for (const row& r : rows) {
        int value = r.value_in, status = -99;
        eattc(r.id, r.mode, r.key, value, status);
        EXPECT_EQ(status, r.status) << r.key << " mode " << r.mode;
        EXPECT_EQ(value, r.value_out) << r.key << " mode " << r.mode;
    }
    const auto e = vantu::control::get_entity(id);
    EXPECT_EQ(e->type, 9);
    EXPECT_EQ(e->attributes, (std::map<std::string, int>{{"CO", 3}, {"PE", 2}}));
}

TEST_F(HostEntity, ToolsAreClassTwentyWithAToolClassAsType)
{
    struct row {
        int entity_class;
        int type;
        int tool;
    };
    const row rows[] = {{20, 1, 1},  {20, 2, 1}, {20, 10, 1}, {20, 15, 1}, {20, 14, 0},
                        {20, 11, 0}, {20, 0, 0}, {13, 2, 0},  {1, 1, 0}};
    for (const row& r : rows) {
        const int id = stored(r.entity_class, r.type, {1, 2});
        EXPECT_EQ(etool(id), r.tool) << r.entity_class << "/" << r.type;
    }
    EXPECT_EQ(etool(0), 0);
    EXPECT_EQ(etool(12345), 0);
}

// ---- part file ------------------------------------------------------------------------------

namespace {

std::vector<vantu::control::entity_record> all_entities()
{
    std::vector<vantu::control::entity_record> records;
    for (int id : vantu::control::entity_ids()) records.push_back(*vantu::control::get_entity(id));
    return records;
}

bool same(const vantu::control::entity_record& a, const vantu::control::entity_record& b)
{
    return a.id == b.id && a.entity_class == b.entity_class && a.type == b.type && a.words == b.words &&
           a.attributes == b.attributes;
}

}  // namespace

TEST_F(HostEntity, PartFileRoundTripIsExact)
{
    using namespace vantu::control;
    add_line({0.1, 1.0 / 3.0, -2.5e-7}, {1e6, 2.0 / 7.0, 0.0});
    const int arc = add_arc({1.0 / 3.0, -0.0, 5.0}, 0.7, 0.1, 33.3333333333, {0.0, 0.6, 0.8});
    add_arc({0.0, 0.0, 0.0}, 2.0, -90.0, 270.0);  // a full turn from -90: saved as a circle
    add_circle({1.0, 1.0, 0.0}, 1e-3, {0.0, 0.0, -1.0});
    add_point({-1.5, 2.0, 3.0});
    add_entity(20, 2, {1, 2, std::bit_cast<word>(0.25f), -1, 65535});
    const int extended = add_line({0.0, 0.0, 0.0}, {1.0, 0.0, 0.0});
    set_attribute(arc, "CO", 4);
    set_attribute(arc, "SL", 1);
    int c = 0, t = 0, status = 0;
    eopen(extended, c, t, status);  // the module appends words after a curve record
    eskipn(kLineWords, status);
    const double extra = 0.1;
    eputd(1, &extra, status);
    eclose(status);

    const auto before = all_entities();
    const std::string saved = save_part_text();
    load_part_text(saved, "round trip");
    const auto after = all_entities();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_TRUE(same(before[i], after[i])) << "entity " << before[i].id;
    EXPECT_EQ(save_part_text(), saved);
    EXPECT_NE(saved.find("\"circle\""), std::string::npos);
}

TEST_F(HostEntity, HandWrittenEntitiesLoad)
{
    vantu::control::load_part_text(R"({"entities": [
        {"id": 4, "kind": "line", "start": [0, 0, 0], "end": [3, 4, 0], "attributes": {"CO": 2}},
        {"id": 9, "kind": "circle", "centre": [1, 1, 0], "radius": 2},
        {"id": 12, "kind": "words", "class": 20, "type": 2,
         "words": [7, {"real": 1.5}, {"double": 0.1}, {"text": "MILL T1"}, 4294967295]}
    ]})",
                                   "hand");
    int c = 0, t = 0, status = 0;
    eopen(4, c, t, status);
    EXPECT_EQ(c, kCurveClass);
    EXPECT_EQ(t, kLineType);
    double point[3];
    evcrvd(4, 2.5, point, nullptr, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(distance(point, {1.5, 2.0, 0.0}), 0.0, 1e-12);
    double start = 0.0, end = 0.0;
    curve_limits(9, start, end, status);
    EXPECT_DOUBLE_EQ(end - start, 2.0 * kPi);
    const auto words = vantu::control::get_entity(12)->words;
    ASSERT_EQ(words.size(), 7u);
    EXPECT_EQ(word_to_real(words[1]), 1.5f);
    EXPECT_EQ(words_to_double(&words[2]), 0.1);
    EXPECT_EQ(word_to_text4(words[4]) + word_to_text4(words[5]), "MILL T1 ");
    EXPECT_EQ(words[6], -1);
    EXPECT_EQ(etool(12), 1);
}

TEST_F(HostEntity, MalformedEntitiesNameTheIndexAndTheField)
{
    struct row {
        const char* entity;
        const char* expected;
    };
    const row rows[] = {
        {R"({"id": 1, "kind": "arc", "centre": [0,0,0], "radius": 0, "start_angle_deg": 0, "end_angle_deg": 90})",
         "entities[1] \"radius\": must be above 0"},
        {R"({"id": 1, "kind": "arc", "centre": [0,0,0], "radius": 1, "start_angle_deg": 90, "end_angle_deg": 90})",
         "entities[1] \"end_angle_deg\""},
        {R"({"id": 1, "kind": "arc", "centre": [0,0,0], "radius": 1, "start_angle_deg": 0, "end_angle_deg": 361})",
         "entities[1] \"end_angle_deg\""},
        {R"({"id": 1, "kind": "circle", "centre": [0,0], "radius": 1})",
         "entities[1] \"centre\": must be an array of 3"},
        {R"({"id": 1, "kind": "circle", "centre": [0,0,0], "radius": 1, "normal": [0,0,0]})", "entities[1] \"normal\""},
        {R"({"id": 1, "kind": "line", "start": [0,0,0], "end": [0,0,0]})", "entities[1] \"end\": degenerate"},
        {R"({"id": 1, "kind": "circle", "centre": [0,0,0], "radius": 1e-9})", "entities[1] \"radius\": degenerate"},
        {R"({"id": 1, "kind": "circle", "centre": [0,0,0], "radius": 1, "normal": [0,1e-9,0]})",
         "entities[1] \"normal\": degenerate"},
        {R"({"id": 1, "kind": "circle", "centre": [0,0,0], "radius": 1, "start_angle_deg": 1e300})",
         "entities[1] \"start_angle_deg\": degenerate"},
        {R"({"id": 1, "kind": "point", "point": [0,"x",0]})", "entities[1] \"point\": must be a number"},
        {R"({"id": 1.5, "kind": "point", "point": [0,0,0]})", "entities[1] \"id\": must be an integer"},
        {R"({"id": 1, "kind": "line", "start": [0,0,0]})", "entities[1] \"end\": missing"},
        {R"({"id": 1, "kind": "line", "start": [0,0,0], "end": [1,0,0], "radius": 2})",
         "entities[1] \"radius\": unknown"},
        {R"({"id": 1, "kind": "line", "start": [0,0,0], "end": [1,0,0], "type": 2})",
         "entities[1] \"type\": must be 1"},
        {R"({"id": 1, "kind": "helix"})", "entities[1] \"kind\""},
        {R"({"id": 0, "kind": "point", "point": [0,0,0]})", "entities[1] \"id\""},
        {R"({"id": 5, "kind": "point", "point": [0,0,0]})", "entities[1] \"id\": used by an earlier"},
        {R"({"id": 1, "kind": "words", "type": 1, "words": []})", "entities[1] \"class\": missing"},
        {R"({"id": 1, "kind": "words", "class": 1, "type": 1, "words": [1.5]})", "entities[1] \"words\""},
        {R"({"id": 1, "kind": "words", "class": 1, "type": 1, "words": [4294967296]})", "entities[1] \"words\""},
        {R"({"id": 1, "kind": "point", "point": [0,0,0], "attributes": {"CL": 1}})", "entities[1] \"attributes\""},
        {R"({"id": 1, "kind": "point", "point": [0,0,0], "attributes": {"COL": 1}})", "entities[1] \"attributes\""},
        {R"([1])", "entities[1]: an entity is a JSON object"},
    };
    for (const row& r : rows) {
        const std::string part =
            std::string(R"({"entities": [{"id": 5, "kind": "point", "point": [1,2,3]}, )") + r.entity + "]}";
        try {
            vantu::control::load_part_text(part, "bad.json");
            ADD_FAILURE() << "accepted: " << r.entity;
        } catch (const vantu::control::part_error& e) {
            EXPECT_NE(std::string(e.what()).find(r.expected), std::string::npos) << e.what();
        }
    }
}

// ---- curves -----------------------------------------------------------------------------------

TEST_F(HostEntity, ArcsAreEvaluatedAboutTheirNormal)
{
    using vantu::control::add_arc;
    struct row {
        point3 normal;
        double angle_deg;
        point3 expected;  // centre (1, 2, 0), radius 5
    };
    const row rows[] = {
        {{0, 0, 1}, 0.0, {6, 2, 0}},
        {{0, 0, 1}, 90.0, {1, 7, 0}},
        {{0, 0, 1}, 180.0, {-4, 2, 0}},
        {{0, 0, -1}, 90.0, {1, -3, 0}},                                          // clockwise seen from the top
        {{0, 0, 7}, 45.0, {1 + 5 / std::sqrt(2.0), 2 + 5 / std::sqrt(2.0), 0}},  // normal of any length
        {{1, 0, 0}, 0.0, {1, 7, 0}},  // normal along X: reference direction world Y
        {{1, 0, 0}, 90.0, {1, 2, 5}},
        {{0, 1, 0}, 90.0, {1, 2, -5}},  // X projected stays X; Y = normal x X = -Z
    };
    for (const row& r : rows) {
        const int id = add_arc({1, 2, 0}, 5.0, 0.0, 180.0, r.normal);
        double point[3], derivative[3];
        int status = -9;
        evcrvd(id, r.angle_deg * kPi / 180.0, point, derivative, status);
        ASSERT_EQ(status, 0);
        EXPECT_LT(distance(point, r.expected), 1e-12)
            << r.normal[0] << r.normal[1] << r.normal[2] << " @ " << r.angle_deg;
        const double speed = std::hypot(derivative[0], derivative[1], derivative[2]);
        EXPECT_NEAR(speed, 5.0, 1e-12);  // |d point / d angle| = radius
    }
}

TEST_F(HostEntity, EvaluationChecksItsParameter)
{
    const int line = vantu::control::add_line({0, 0, 0}, {3, 4, 0});
    const int point_id = vantu::control::add_point({7, 8, 9});
    const int words = vantu::control::add_entity(1, 2, {1, 2, 3});  // an arc record cut short
    double p[3], d[3];
    int status = 0;
    evcrvd(line, 5.0 + 0.5e-6, p, d, status);  // within the host tolerance: the end point
    EXPECT_EQ(status, 0);
    EXPECT_EQ(distance(p, {3, 4, 0}), 0.0);
    EXPECT_NEAR(d[0], 0.6, 1e-15);
    evcrvd(line, 5.01, p, d, status);
    EXPECT_EQ(status, -1);
    evcrvd(line, std::nan(""), p, d, status);
    EXPECT_EQ(status, -1);
    evcrvd(point_id, 0.0, p, d, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(distance(p, {7, 8, 9}), 0.0);
    evcrvd(words, 0.0, p, d, status);
    EXPECT_EQ(status, -1);
    evcrvd(999, 0.0, p, d, status);
    EXPECT_EQ(status, kEntityMissing);
    float fp[3];
    evcrv(line, 2.5f, fp, nullptr, status);
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(fp[1], 2.0f);
}

TEST_F(HostEntity, ArcPolylineChordsStayWithinTheTolerance)
{
    const unsigned seed = 20240611;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_real_distribution<double> exponent(-6.0, 0.0);
    for (int trial = 0; trial < 200; ++trial) {
        const point3 centre = {100 * unit(random), 100 * unit(random), 10 * unit(random)};
        point3 normal = {unit(random), unit(random), unit(random)};
        if (std::hypot(normal[0], normal[1], normal[2]) < 0.1) normal = {0, 0, 1};
        const double radius = std::pow(10.0, 3.0 * (unit(random) + 1.0) - 2.0);
        const double start = 360.0 * unit(random);
        const double sweep = 1.0 + 359.0 * (unit(random) + 1.0) / 2.0;
        const double tolerance = radius * std::pow(10.0, exponent(random));
        const int id = vantu::control::add_arc(centre, radius, start, start + sweep, normal);
        const double t0 = start * kPi / 180.0, t1 = (start + sweep) * kPi / 180.0;
        const bool reversed = trial % 2 == 1;

        std::vector<double> points(3 * 20000);
        int count = 0, status = 0;
        crvpld2(id, reversed ? t1 : t0, reversed ? t0 : t1, tolerance, 3, 20000, points.data(), count, status);
        ASSERT_EQ(status, 0) << "seed " << seed << " trial " << trial;
        ASSERT_GE(count, 2);
        double first[3], last[3];
        evcrvd(id, reversed ? t1 : t0, first, nullptr, status);
        evcrvd(id, reversed ? t0 : t1, last, nullptr, status);
        EXPECT_EQ(distance(first, {points[0], points[1], points[2]}), 0.0);
        EXPECT_EQ(distance(last, {points[3 * count - 3], points[3 * count - 2], points[3 * count - 1]}), 0.0);
        for (int i = 0; i + 1 < count; ++i) {
            const double* a = &points[3 * i];
            const double* b = &points[3 * i + 3];
            EXPECT_NEAR(distance(a, centre), radius, 1e-9 * (radius + 100)) << "seed " << seed << " trial " << trial;
            const double mid[3] = {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
            EXPECT_LE(radius - distance(mid, centre), tolerance)
                << "seed " << seed << " trial " << trial << " chord " << i;
        }
        // Not wastefully fine: one chord fewer would break the tolerance or exceed a quarter turn.
        if (count > 2) {
            const double step = sweep / (count - 2) * kPi / 180.0;
            EXPECT_TRUE(2.0 * radius * std::pow(std::sin(step / 4.0), 2) > 0.99 * tolerance || step > kPi / 2.0)
                << "seed " << seed << " trial " << trial;
        }
    }
}

TEST_F(HostEntity, PolylineOfLinesPointsAndRefusals)
{
    const int line = vantu::control::add_line({0, 0, 1}, {10, 0, 1});
    const int circle = vantu::control::add_circle({0, 0, 0}, 10.0);
    const int words = vantu::control::add_entity(9, 9, {});
    double points[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int count = 0, status = 0;
    crvpld2(line, 2.0, 7.0, 1e-9, 2, 4, points, count, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(std::vector<double>(points, points + 5), (std::vector<double>{2, 0, 7, 0, -1}));  // x, y pairs

    double few[6] = {-1, -1, -1, -1, -1, -1};
    crvpld2(circle, 0.0, 2 * kPi, 0.01, 3, 2, few, count, status);
    EXPECT_EQ(status, kEntityShort);
    EXPECT_GT(count, 2);                                             // the number needed
    EXPECT_EQ(few[0], -1.0);                                         // nothing written
    crvpld2(circle, 0.0, 2 * kPi, 100.0, 3, 2, few, count, status);  // coarse: still quarter turns
    EXPECT_EQ(status, kEntityShort);
    EXPECT_EQ(count, 5);

    struct refusal {
        int id;
        double t0, t1, tolerance;
        int dimension, capacity;
        int status;
    };
    const refusal refusals[] = {
        {line, 0, 10, 0.0, 3, 2, -1},           {line, 0, 10, -1.0, 3, 2, -1}, {line, 0, 10, 0.1, 4, 2, -1},
        {line, 0, 11, 0.1, 3, 2, -1},           {line, 0, 10, 0.1, 3, -1, -1}, {words, 0, 0, 0.1, 3, 2, -1},
        {777, 0, 0, 0.1, 3, 2, kEntityMissing},
    };
    for (const refusal& r : refusals) {
        crvpld2(r.id, r.t0, r.t1, r.tolerance, r.dimension, r.capacity, points, count, status);
        EXPECT_EQ(status, r.status) << r.id << " " << r.tolerance << " " << r.dimension;
    }
    const int point_id = vantu::control::add_point({1, 2, 3});
    crvpld2(point_id, 0, 0, 0.1, 3, 2, points, count, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, 1);
}

TEST_F(HostEntity, ModuleWrittenCurveRecordsAreCurves)
{
    int id = 0, status = 0;
    estore(kCurveClass, kArcType, id, status);
    const double record[9] = {0, 0, 0, 0, 0, 1, 2.0, 0.0, 360.0};
    eputd(9, record, status);
    eclose(status);
    double start = 0, end = 0;
    curve_limits(id, start, end, status);
    EXPECT_EQ(status, 0);
    EXPECT_DOUBLE_EQ(end, 2 * kPi);
    double p[3];
    evcrvd(id, kPi, p, nullptr, status);
    EXPECT_LT(distance(p, {-2, 0, 0}), 1e-12);
    EXPECT_NE(vantu::control::entities_text().find("arc centre (0.0000, 0.0000, 0.0000) radius 2.0000"),
              std::string::npos);
}
