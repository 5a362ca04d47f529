// Master records: the names of a master or view (MSNAME), and the reference masters that stand
// for a master of another part file (GCEMP creates one, PLGTMR finds or creates it).
#include "tools/dd_state.hpp"
#include "tools/master_names.hpp"

#include "host/vantu.hpp"
#include "host/vantu_masters.hpp"

namespace {

constexpr int kViewFirstKind = 6;

int words_for(int characters) { return (characters + 3) / 4; }

// Reads a text of `characters` characters from the open entity.
void read_text(int characters, std::string& text, int& status)
{
    if (characters < 0 || characters > kPartFileLength + kEntryTextLength) {
        status = -1;
        return;
    }
    std::vector<word> words(static_cast<std::size_t>(words_for(characters)));
    if (!words.empty()) egetn(static_cast<int>(words.size()), words.data(), status);
    text.clear();
    for (word w : words) text += word_to_text4(w);
    text.resize(static_cast<std::size_t>(characters));
}

void write_text(std::string_view text, int& status)
{
    const int length = static_cast<int>(text.size());
    if (status == 0) eputi(1, &length, status);
    for (std::size_t at = 0; status == 0 && at < text.size(); at += 4) {
        const word w = text4_to_word(text.substr(at));
        eputn(1, &w, status);
    }
}

// Reference master record: L, the file name, n, the name; L = 0: n and the name alone.
void read_reference(int& kind, std::string& file, std::string& name, int& status)
{
    int length = 0;
    egeti(1, &length, status);
    if (status == 0) read_text(length, file, status);
    if (status != 0 || length == 0) {
        kind = 4;
        name.clear();
        return;
    }
    int name_length = 0;
    egeti(1, &name_length, status);
    if (status == 0) read_text(name_length, name, status);
    kind = 2;
}

// View master record: L, the file name when L > 0, one integer, the 6-character name.
void read_view_master(int& kind, std::string& file, std::string& name, int& status)
{
    int length = 0;
    egeti(1, &length, status);
    if (status == 0 && length > 0) read_text(length, file, status);
    if (status == 0) eskipi(1, status);
    if (status == 0) read_text(6, name, status);
    kind = length == 0 ? 5 : 3;
    if (length == 0) gtpfnm(file);
}

// The name of a master of this part from the type-5 table: its entry text without the kind
// digit. A master with no entry has a blank name.
void local_master_name(int table_id, int master_id, std::string& name, int& status)
{
    int table_class = 0, table_type = 0;
    egclty(table_id, table_class, table_type, status);
    if (status != 0 || table_class != kNameTableClass || table_type != kOwnNameTable) {
        status = -1;
        return;
    }
    std::vector<name_table_entry> entries;
    name_table_read(table_id, entries, status);
    name.clear();
    for (const name_table_entry& entry : entries) {
        if (entry.entity_id != master_id) continue;
        if (static_cast<int>(entry.text.size()) > kEntryTextWords) {
            status = 1;  // too long
            return;
        }
        const std::string text = name_entry_text(entry.text);
        name = text.empty() ? "" : dd_trimmed(text.substr(1));
        return;
    }
}

void padded(const std::string& text, int capacity, std::string& out, int& length)
{
    out = text;
    out.resize(static_cast<std::size_t>(capacity), ' ');
    length = static_cast<int>(dd_trimmed(text).size());
}

}  // namespace

void MSNAME(int table_id, int entity_id, int& kind, int file_capacity, std::string& file_name, int& file_length,
            int name_capacity, std::string& name, int& name_length, int& status)
{
    file_capacity = std::max(0, file_capacity);
    name_capacity = std::max(0, name_capacity);
    file_name.assign(static_cast<std::size_t>(file_capacity), ' ');
    name.assign(static_cast<std::size_t>(name_capacity), ' ');
    file_length = name_length = 0;
    status = 0;
    std::string file, text;
    int entity_class = -1, entity_type = -1;
    if (entity_id == 0) {
        kind = 0;
        gtpfnm(file);
    } else {
        egclty(entity_id, entity_class, entity_type, status);
        if (status == 0 && entity_class == kNameTableClass &&
            (entity_type == 3 || entity_type == 4 || entity_type == 8)) {
            int view_kind = 0;
            gtpfnm(file);
            gvvnmt(entity_id, text, view_kind, status);
            kind = (view_kind >= 2 && view_kind <= 5) ? kViewFirstKind + view_kind - 1 : kViewFirstKind;
        } else if (status == 0 && entity_class == kMasterClass && entity_type == kLocalMaster) {
            local_master_name(table_id, entity_id, text, status);
            if (status == 1 || text.size() > static_cast<std::size_t>(kMasterNameLength)) {
                eroutc("MSNAME - NAME TOO LONG", 0);
                status = -1;
                return;
            }
            gtpfnm(file);
            kind = 1;
        } else if (status == 0 && entity_class == kMasterClass &&
                   (entity_type == kReferenceMaster || entity_type == kViewMaster)) {
            int open_class = 0, open_type = 0, close_status = 0;
            eopen(entity_id, open_class, open_type, status);
            if (status == 0 && entity_type == kReferenceMaster)
                read_reference(kind, file, text, status);
            else if (status == 0)
                read_view_master(kind, file, text, status);
            eclose(close_status);
        } else {
            status = -1;
        }
        if (status != 0) {
            eroutc("MSNAME - INVALID OR DELETED ENTITY", 0);
            status = -1;
            return;
        }
    }
    file = dd_trimmed(file);
    text = dd_trimmed(text);
    if (file.size() > static_cast<std::size_t>(std::min(kPartFileLength, file_capacity)) ||
        text.size() > static_cast<std::size_t>(std::min(kMasterNameLength, name_capacity))) {
        file_name.assign(static_cast<std::size_t>(file_capacity), ' ');
        eroutc("MSNAME - NAME TOO LONG", 0);
        status = -1;
        return;
    }
    padded(file, file_capacity, file_name, file_length);
    padded(text, name_capacity, name, name_length);
}

void GCEMP(int mode, int& master_id, int& resolved_id, std::string_view file_name, std::string_view name, int table_id,
           int words_in_use, int& status)
{
    status = -1;
    if (mode < 1 || mode > 3) {
        eroutc("GCEMP - INVALID MODE", 0);
        return;
    }
    if (mode <= 2 && !fexist(file_name)) return;
    int close_status = 0;
    estore(kMasterClass, mode == 2 ? kPatternMaster : kReferenceMaster, master_id, status);
    // Without a file name L is 0 and the name follows in the file name's place.
    write_text(file_name, status);
    write_text(name, status);
    eclose(close_status);
    if (status != 0) {
        status = -1;
        return;
    }
    std::string text;
    bool entered = false;
    if (table_id > 0) {
        const int kind = file_name.empty() ? 4 : 2;
        entry_text_build(kind, file_name, name, kEntryTextLength, text, status);
        if (status == 0) UPDMT(table_id, words_in_use, text, master_id, status);
        entered = status == 0;
        if (status != 0) {
            int deleted = 0;
            edelet(master_id, deleted);
            return;
        }
    }
    resolved_id = 0;
    if (file_name.empty() && mode == 3) return;
    int saved = 0, restored = 0, table_class = 0, table_type = 0, count = 0;
    svcrpr(saved);
    setnpf(master_id, resolved_id, status);
    if (status == 0 && resolved_id >= 0) {
        if (file_name.empty()) {
            rtcrpr(restored);
            resolved_id = 0;
        }
        return;
    }
    // The host could not resolve it: take the master back out, with its table entry.
    rtcrpr(restored);
    int deleted = 0;
    edelet(master_id, deleted);
    if (entered) {
        eopen(table_id, table_class, table_type, status);
        if (status == 0) egeti(1, &count, status);
        --count;
        if (status == 0) eskipn(-1, status);
        if (status == 0) eputi(1, &count, status);
        eclose(close_status);
    }
    status = -1;
}

void PLGTMR(std::string_view file_name, std::string_view name, int& master_id, int& status)
{
    status = -1;
    if (file_name.size() > static_cast<std::size_t>(kPartFileLength)) return;
    const std::string file(file_name);
    if (!fexist(file)) return;
    const std::string upper_name = dd_upper(dd_trimmed(name));
    std::string text;
    int built = 0;
    entry_text_build(kReferenceMaster, file, upper_name, kEntryTextLength, text, built);
    if (built != 0) {
        eroutc("PLGTMR - NAME TOO LONG", 0);
        return;
    }
    int table_id = 0, words_in_use = 0, id = 0, found = 0, search = 0;
    FBNAME(1, text, table_id, words_in_use, id, found, search);
    if (search != 0) return;
    if (found > 0) {
        master_id = id;
        status = 0;
        return;
    }
    int resolved = 0, created = 0, restored = 0;
    GCEMP(1, id, resolved, file, upper_name, table_id, words_in_use, created);
    if (created != 0) return;
    rtcrpr(restored);
    master_id = id;
    status = 0;
}
