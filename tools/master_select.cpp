// The master selection dialog of the tool dialog's symbol page: the user names a master of this
// part, or a part file and one of its masters (then represented here by a reference master), or
// picks one from the sorted list.
#include "tools/dd_state.hpp"
#include "tools/master_names.hpp"

#include "host/vantu.hpp"
#include "host/vantu_masters.hpp"

namespace {

// Prompts before the dialog gives up: far beyond any user's retries, so that a script that
// answers wrongly for ever ends instead of hanging.
constexpr int kMaxPrompts = 100;

// Reads the name of an existing part file; false when the user cancelled.
bool read_part_file(std::string& file)
{
    for (int round = 0; round < kMaxPrompts; ++round) {
        prmptc("ENTER PART NAME");
        std::string text;
        int count = 0;
        rtexts(kPartFileLength, text, count);
        if (count < 0) return false;
        file = dd_trimmed(text);
        if (!file.empty() && fexist(file)) return true;
        eroutc("REQUESTED PART FILE NOT FOUND", 0);
    }
    return false;
}

// Reads a master name and finds it, or lets the user pick one from the list; false when the
// user left.
bool read_master(std::string& name, int& entity_id)
{
    for (int round = 0; round < kMaxPrompts; ++round) {
        prmptc("ENTER MASTER NAME");
        std::string text;
        int count = 0, status = 0;
        rtexts(kMasterNameLength, text, count);
        if (count < 0) return false;
        name = dd_upper(dd_trimmed(text));
        if (name.empty()) {
            SBNAME(kLocalMaster, 1, name, entity_id, status);
            return status == 0;
        }
        master_find_by_name(kLocalMaster, name, entity_id, status);
        if (status == 0) return true;
        eroutc("REQUESTED MASTER NOT FOUND", 0);
    }
    return false;
}

}  // namespace

void master_select(bool from_other_part, int& entity_id, int& origin, std::string& name, std::string& part_file,
                   int& status)
{
    status = -1;
    std::string file, master;
    int id = 0, saved = 0, restored = 0, opened = 0;
    svcrpr(saved);
    if (saved != 0) return;
    bool chosen = true;
    if (from_other_part) {
        chosen = read_part_file(file);
        if (chosen) opncat(file, opened);
        chosen = chosen && opened == 0;
    }
    chosen = chosen && read_master(master, id);
    rtcrpr(restored);
    if (!chosen) return;
    if (from_other_part) {
        int created = 0;
        PLGTMR(file, master, id, created);
        if (created != 0) return;
    } else {
        gtpfnm(file);
    }
    entity_id = id;
    origin = from_other_part ? 2 : 1;
    name = master;
    name.resize(kMasterNameLength, ' ');
    part_file = file;
    part_file.resize(kPartFileLength, ' ');
    status = 0;
}
