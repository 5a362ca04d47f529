// The host's entity store and its calls: open, create, delete, the words of the open entity
// with its cursor, the suspension of the open entity by the tool-path word layer, attributes and
// the tool test. Curves are evaluated in host/entity_curves.cpp; the part-file section is
// host/entity_part.cpp.
#include "host/vantu_entity.hpp"

#include "host/control/entities.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <climits>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace vantu {

constexpr int kAttributeGet = 1, kAttributeSet = 2;
constexpr int kAttributeUnset = 1;  // eattc: the attribute was never set, value 0

entity_store& store()
{
    static entity_store s;
    return s;
}

entity* find_entity(int id)
{
    auto it = store().entities.find(id);
    return it == store().entities.end() ? nullptr : &it->second;
}

bool insert_entity(entity e)
{
    if (e.id < 1 || find_entity(e.id)) return false;
    entity_store& s = store();
    if (e.id >= s.next_id) s.next_id = static_cast<long long>(e.id) + 1;
    s.entities.emplace(e.id, std::move(e));
    return true;
}

// The open entity, or null (with a host diagnostic naming the call) when none is open.
static entity* open_entity_for(const char* call)
{
    entity* e = store().open_id ? find_entity(store().open_id) : nullptr;
    if (!e) record_host_error(std::string(call) + ": no entity is open");
    return e;
}

// Asks for an armed fault of the call; true (with status set) when it fires.
static bool faulted(const char* call, int& status)
{
    if (auto fault = fault_hit(call)) {
        status = *fault;
        return true;
    }
    return false;
}

// Attribute keys are two letters or digits, as the host stores them.
static bool valid_key(std::string_view key)
{
    if (key.size() != 2) return false;
    for (char c : key)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

}  // namespace vantu

using namespace vantu;

// ---- open, create, delete ---------------------------------------------------------------------

void eopen(int id, int& entity_class, int& entity_type, int& status)
{
    status = 0;
    if (!faulted("eopen", status)) {
        if (entity* e = find_entity(id)) {
            store().open_id = id;
            store().open_position = 0;
            entity_class = e->entity_class;
            entity_type = e->type;
        } else {
            status = kEntityMissing;
        }
    }
    trace_call("eopen", std::to_string(id), status);
}

void eclose(int& status)
{
    status = 0;
    store().open_id = 0;
    store().open_position = 0;
    trace_call("eclose", "", status);
}

void estore(int entity_class, int entity_type, int& id, int& status)
{
    status = 0;
    if (!faulted("estore", status)) {
        if (entity_class < 0 || entity_type < 0) {
            status = kEntityNotOpen;
            record_host_error("estore: class and type must not be negative");
        } else if (store().next_id > INT_MAX) {
            status = kEntityTooLarge;
            record_host_error("estore: no entity id left");
        } else {
            entity e;
            e.id = static_cast<int>(store().next_id);
            e.entity_class = entity_class;
            e.type = entity_type;
            insert_entity(e);
            id = e.id;
            store().open_id = e.id;
            store().open_position = 0;
        }
    }
    trace_call("estore", std::to_string(entity_class) + " " + std::to_string(entity_type), status);
}

void edelet(int id, int& status)
{
    status = 0;
    if (!faulted("edelet", status)) {
        if (store().entities.erase(id) == 0) {
            status = kEntityMissing;
        } else if (store().open_id == id) {
            store().open_id = 0;
            store().open_position = 0;
        }
    }
    trace_call("edelet", std::to_string(id), status);
}

// ---- words of the open entity ---------------------------------------------------------------

void egetn(int n, word* values, int& status)
{
    trace_count("egetn");
    status = 0;
    if (faulted("egetn", status)) return;
    entity* e = open_entity_for("egetn");
    if (!e || n < 0 || (n > 0 && !values)) {
        status = kEntityNotOpen;
        return;
    }
    const long available = static_cast<long>(e->words.size()) - store().open_position;
    if (n > available) {
        status = kEntityShort;
        return;
    }
    for (int i = 0; i < n; ++i) values[i] = e->words[store().open_position + i];
    store().open_position += n;
}

void eputn(int n, const word* values, int& status)
{
    trace_count("eputn");
    status = 0;
    if (faulted("eputn", status)) return;
    entity* e = open_entity_for("eputn");
    if (!e || n < 0 || (n > 0 && !values)) {
        status = kEntityNotOpen;
        return;
    }
    const long end = static_cast<long>(store().open_position) + n;
    if (end > kMaxEntityWords) {
        status = kEntityTooLarge;
        record_host_error("eputn: entity " + std::to_string(e->id) + " would exceed " +
                          std::to_string(kMaxEntityWords) + " words");
        return;
    }
    if (end > static_cast<long>(e->words.size())) e->words.resize(static_cast<std::size_t>(end));
    for (int i = 0; i < n; ++i) e->words[store().open_position + i] = values[i];
    store().open_position = static_cast<int>(end);
}

void eskipn(int n, int& status)
{
    trace_count("eskipn");
    status = 0;
    if (faulted("eskipn", status)) return;
    entity* e = open_entity_for("eskipn");
    if (!e) {
        status = kEntityNotOpen;
        return;
    }
    const long target = static_cast<long>(store().open_position) + n;
    if (target < 0 || target > static_cast<long>(e->words.size())) {
        status = kEntityShort;
        return;
    }
    store().open_position = static_cast<int>(target);
}

// The typed forms move their values through a word buffer: integers are words, reals and
// doubles go through std::bit_cast / memcpy (host/words.hpp).

static_assert(std::is_same_v<word, int>, "integers are moved as words");

void egeti(int n, int* values, int& status) { egetn(n, values, status); }

// A read longer than any entity can be fails as a short read before a buffer is made for it.
void egetr(int n, float* values, int& status)
{
    if (n < 0 || (n > 0 && !values)) {
        status = kEntityNotOpen;
        return;
    }
    if (n > kMaxEntityWords) {
        status = kEntityShort;
        return;
    }
    std::vector<word> words(static_cast<std::size_t>(n));
    egetn(n, words.data(), status);
    if (status != 0) return;
    for (int i = 0; i < n; ++i) values[i] = word_to_real(words[i]);
}

void egetd(int n, double* values, int& status)
{
    if (n < 0 || (n > 0 && !values)) {
        status = kEntityNotOpen;
        return;
    }
    if (n > kMaxEntityWords / 2) {
        status = kEntityShort;
        return;
    }
    std::vector<word> words(static_cast<std::size_t>(2 * n));
    egetn(2 * n, words.data(), status);
    if (status != 0) return;
    for (int i = 0; i < n; ++i) values[i] = words_to_double(&words[2 * i]);
}

void eputi(int n, const int* values, int& status) { eputn(n, values, status); }

void eputr(int n, const float* values, int& status)
{
    if (n < 0 || n > kMaxEntityWords || (n > 0 && !values)) {
        status = n > kMaxEntityWords ? kEntityTooLarge : kEntityNotOpen;
        return;
    }
    std::vector<word> words(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) words[i] = real_to_word(values[i]);
    eputn(n, words.data(), status);
}

void eputd(int n, const double* values, int& status)
{
    if (n < 0 || n > kMaxEntityWords / 2 || (n > 0 && !values)) {
        status = n > kMaxEntityWords / 2 ? kEntityTooLarge : kEntityNotOpen;
        return;
    }
    std::vector<word> words(static_cast<std::size_t>(2 * n));
    for (int i = 0; i < n; ++i) double_to_words(values[i], &words[2 * i]);
    eputn(2 * n, words.data(), status);
}

void eskipi(int n, int& status) { eskipn(n, status); }

// ---- suspending the open entity -------------------------------------------------------------

void eopen_block_get(int& id, int& position)
{
    trace_count("eopen_block_get");
    id = store().open_id;
    position = store().open_position;
}

void eopen_block_clear()
{
    trace_count("eopen_block_clear");
    store().open_id = 0;
    store().open_position = 0;
}

void eopen_block_set(int id, int position, int& status)
{
    trace_count("eopen_block_set");
    status = 0;
    if (id == 0) {
        store().open_id = 0;
        store().open_position = 0;
        return;
    }
    entity* e = find_entity(id);
    if (!e) {
        status = kEntityMissing;
    } else if (position < 0 || position > static_cast<long>(e->words.size())) {
        status = kEntityShort;
    } else {
        store().open_id = id;
        store().open_position = position;
    }
}

// ---- attributes -----------------------------------------------------------------------------

// Reads or writes one attribute of an existing entity; "CL" and "TY" are its class and type.
static int attribute_access(entity& e, int mode, std::string_view key, int& value)
{
    int* field = key == "CL" ? &e.entity_class : key == "TY" ? &e.type : nullptr;
    if (mode == kAttributeSet) {
        if (field)
            *field = value;
        else
            e.attributes[std::string(key)] = value;
        return 0;
    }
    if (field) {
        value = *field;
        return 0;
    }
    auto it = e.attributes.find(key);
    value = it == e.attributes.end() ? 0 : it->second;
    return it == e.attributes.end() ? kAttributeUnset : 0;
}

void eattc(int id, int mode, std::string_view key, int& value, int& status)
{
    status = 0;
    if (!faulted("eattc", status)) {
        entity* e = find_entity(id);
        if (!e) {
            status = kEntityMissing;
        } else if ((mode != kAttributeGet && mode != kAttributeSet) || !valid_key(key)) {
            status = kEntityNotOpen;
            record_host_error("eattc: mode " + std::to_string(mode) + " with key \"" + std::string(key) + "\" refused");
        } else {
            status = attribute_access(*e, mode, key, value);
        }
    }
    trace_call("eattc", std::to_string(id) + " " + std::to_string(mode) + " " + std::string(key), status);
}

int etool(int id)
{
    const entity* e = find_entity(id);
    const bool tool = e && e->entity_class == kToolClass && ((e->type >= 1 && e->type <= 10) || e->type == 15);
    trace_call("etool", std::to_string(id), tool ? 1 : 0);
    return tool ? 1 : 0;
}

// ---- control ----------------------------------------------------------------------------------

namespace vantu::control {

std::vector<int> entity_ids()
{
    std::vector<int> ids;
    for (const auto& [id, e] : store().entities) ids.push_back(id);
    return ids;
}

std::optional<entity_record> get_entity(int id)
{
    const entity* e = find_entity(id);
    if (!e) return std::nullopt;
    entity_record r{e->id, e->entity_class, e->type, e->words, {}};
    for (const auto& [key, value] : e->attributes) r.attributes[key] = value;
    return r;
}

int add_entity(int entity_class, int type, const std::vector<word>& words)
{
    if (entity_class < 0 || type < 0) throw std::invalid_argument("entity class and type must not be negative");
    if (words.size() > static_cast<std::size_t>(kMaxEntityWords))
        throw std::invalid_argument("entity longer than " + std::to_string(kMaxEntityWords) + " words");
    if (store().next_id > INT_MAX) throw std::invalid_argument("no entity id left");
    entity e;
    e.id = static_cast<int>(store().next_id);
    e.entity_class = entity_class;
    e.type = type;
    e.words = words;
    insert_entity(e);
    return e.id;
}

// Adds a curve entity after checking that its record is valid.
static int add_curve(const curve_geometry& g)
{
    entity e;
    encode_curve(g, e);
    if (!decode_curve(e)) throw std::invalid_argument("invalid curve geometry");
    return add_entity(e.entity_class, e.type, e.words);
}

int add_point(const point3& point)
{
    curve_geometry g;
    g.kind = curve_kind::point;
    g.start = point;
    return add_curve(g);
}

int add_line(const point3& start, const point3& end)
{
    curve_geometry g;
    g.kind = curve_kind::line;
    g.start = start;
    g.end = end;
    return add_curve(g);
}

int add_arc(const point3& centre, double radius, double start_angle_deg, double end_angle_deg, const point3& normal)
{
    curve_geometry g;
    g.kind = curve_kind::arc;
    g.centre = centre;
    g.radius = radius;
    g.start_deg = start_angle_deg;
    g.end_deg = end_angle_deg;
    g.normal = normal;
    return add_curve(g);
}

int add_circle(const point3& centre, double radius, const point3& normal)
{
    return add_arc(centre, radius, 0.0, 360.0, normal);
}

void set_attribute(int id, std::string_view key, int value)
{
    entity* e = find_entity(id);
    if (!e) throw std::invalid_argument("no entity " + std::to_string(id));
    if (!valid_key(key))
        throw std::invalid_argument("attribute key \"" + std::string(key) + "\" is not two letters or digits");
    attribute_access(*e, kAttributeSet, key, value);
}

int open_entity() { return store().open_id; }
int open_position() { return store().open_position; }

}  // namespace vantu::control

// ---- component --------------------------------------------------------------------------------

namespace vantu {

static void reset_entities() { store() = entity_store{}; }

static void report_entities(std::vector<std::string>& lines)
{
    if (store().open_id != 0) lines.push_back("entity " + std::to_string(store().open_id) + " is still open");
}

static const bool entity_registered =
    register_component({"entities", reset_entities, save_entities, load_entities, report_entities});

}  // namespace vantu
