// The part file around runs of the module: a part whose curves reach beyond the model extent is
// refused at load, naming the entity and the field; and after a run, a run that changes nothing
// (every question gets its exit answer) saves the very part it loaded.
#include "driver/module_entry.hpp"
#include "host/control.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kSource = DRELAN_SOURCE_DIR;

void load(const std::string& part_text)
{
    vantu::control::load_part_text(part_text, "part");
    vantu::control::set_data_directories({kSource + "/data"});
    vantu::control::set_fixed_time_text("2026-01-01T12:00:00");
}

// Runs the module as hostrun does (opening procedure `edit` first when it is above 0) and
// answers the part it leaves.
std::string run_and_save(const std::string& script, int edit)
{
    if (script.empty())
        vantu::control::clear_script();
    else
        vantu::control::load_script(kSource + script);
    if (edit > 0) {
        EXPECT_TRUE(vantu::control::open_procedure_for_edit(edit));
    }
    drelan_attach(kProcessAttach);
    drelan();
    drelan_attach(kProcessDetach);
    vantu::control::close_procedure_edit(true);
    return vantu::control::save_part_text();
}

// Where two part texts first differ, with a little of each around it ("" when they are equal);
// the texts are megabytes long, too long to be shown whole.
std::string first_difference(const std::string& a, const std::string& b)
{
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    if (at == a.size() && at == b.size()) return {};
    const std::size_t from = at < 60 ? 0 : at - 60;
    return "at byte " + std::to_string(at) + ":\n" + a.substr(from, 160) + "\n" + b.substr(from, 160);
}

}  // namespace

TEST(HostPartFile, CurvesBeyondTheModelExtentAreRefusedNamingTheEntity)
{
    struct row {
        const char* entity;
        const char* error;
    };
    const row rows[] = {
        {R"({"id": 4, "kind": "point", "point": [0, 2e6, 0]})", R"(entities[1] "point")"},
        {R"({"id": 4, "kind": "line", "start": [0, 0, 0], "end": [1e308, 0, 0]})", R"(entities[1] "end")"},
        {R"({"id": 4, "kind": "line", "start": [-1.5e6, 0, 0], "end": [0, 0, 0]})", R"(entities[1] "start")"},
        {R"({"id": 4, "kind": "circle", "centre": [0, 0, 0], "radius": 1e308})", R"(entities[1] "radius")"},
        {R"({"id": 4, "kind": "arc", "centre": [0, 0, 0], "radius": 1e15, "start_angle_deg": 0,
             "end_angle_deg": 90})",
         R"(entities[1] "radius")"},
        {R"({"id": 4, "kind": "circle", "centre": [0, 0, -1e9], "radius": 1})", R"(entities[1] "centre")"},
        {R"({"id": 4, "kind": "spline", "degree": 1, "knots": [0, 0, 1, 1], "points": [[0, 0, 0], [1e308, 0, 0]]})",
         R"(entities[1] "points")"},
        {R"({"id": 4, "kind": "words", "class": 1, "type": 2, "words": [{"double": 0}, {"double": 0}, {"double": 0},
             {"double": 0}, {"double": 0}, {"double": 1}, {"double": 1e308}, {"double": 0}, {"double": 90}]})",
         R"(entities[1] "words")"},
    };
    const std::string sound = R"({"id": 1, "kind": "circle", "centre": [0, 0, 0], "radius": 1e6})";
    for (const row& r : rows) {
        const std::string part = R"({"entities": [)" + sound + ", " + r.entity + "]}";
        try {
            vantu::control::load_part_text(part, "bad.json");
            ADD_FAILURE() << r.entity << " was accepted";
        } catch (const vantu::control::part_error& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string(R"(bad.json: in "entities": )") + r.error + ": beyond the model extent of 1e+06");
        }
    }
    EXPECT_NO_THROW(vantu::control::load_part_text(R"({"entities": [)" + sound + "]}", "sound.json"));
    vantu::control::reset();
}

TEST(HostPartFile, RunThatChangesNothingSavesThePartItLoaded)
{
    std::ifstream example(kSource + "/examples/pocket_part.json");
    std::stringstream text;
    text << example.rdbuf();
    std::string part = text.str();
    struct row {
        const char* run;
        const char* script;
        int edit;
    };
    for (const row& r : {row{"pocket created", "/examples/pocket_script.json", 0},
                         row{"reopened as hatch clearing", "/examples/pocket_reopen_script.json", 1}}) {
        load(part);
        part = run_and_save(r.script, r.edit);
        load(part);
        EXPECT_EQ(first_difference(part, run_and_save("", 0)), "") << "after the run: " << r.run;
    }
    vantu::control::reset();
}
