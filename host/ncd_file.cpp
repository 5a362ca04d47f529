// The display file of the current tool path (host/vantu_ncd_file.hpp) and the pen the display
// calls move (host/core/pen.hpp). Display state of the session, not saved in the part.
#include "host/vantu_ncd_file.hpp"

#include "host/control/ncd_attrs.hpp"
#include "host/control/ncd_file.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/ncd_state.hpp"
#include "host/core/pen.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>

namespace vantu::ncd {

file_state& state()
{
    static auto* s = new file_state;
    return *s;
}

std::string address_text(const ncd_address& a)
{
    return std::to_string(a.level) + "/" + std::to_string(a.block1) + "/" + std::to_string(a.block2);
}

bool same_address(const control::ncd_block_record& b, const ncd_address& a)
{
    return b.level == a.level && b.block1 == a.block1 && (a.level < 2 || b.block2 == a.block2);
}

void count_block(const control::ncd_block_record& b, int change)
{
    if (b.level < 2) return;
    state().motion_count.add(b.block1, b.block2, change);
}

std::optional<std::size_t> find_block(const ncd_address& a)
{
    file_state& s = state();
    const auto& blocks = s.blocks;
    int held = 0;
    if (a.level >= 2) {
        held = s.motion_count.count(a.block1, a.block2);
        if (held == 0) return std::nullopt;
    }
    // A motion block the file holds once is searched from the last place found on (then from the
    // start); otherwise the first block with the address in file order.
    const std::size_t from = held == 1 ? std::min(s.last_found, blocks.size()) : 0;
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        const std::size_t i = (from + k) % blocks.size();
        if (same_address(blocks[i], a)) return s.last_found = i;
    }
    return std::nullopt;
}

std::optional<std::size_t> first_of_procedure(int number)
{
    const auto& blocks = state().blocks;
    for (std::size_t i = 0; i < blocks.size(); ++i)
        if (blocks[i].block1 == number) return i;
    return std::nullopt;
}

std::size_t end_of_procedure(std::size_t from, int number)
{
    const auto& blocks = state().blocks;
    while (from < blocks.size() && blocks[from].block1 == number) ++from;
    return from;
}

std::optional<std::pair<std::size_t, std::size_t>> block_span(const ncd_address& from, const ncd_address& to)
{
    const auto first = find_block(from), last = find_block(to);
    if (!first || !last) return std::nullopt;
    return std::pair{std::min(*first, *last), std::max(*first, *last) + 1};
}

}  // namespace vantu::ncd

namespace {

using vantu::control::ncd_block_record;
using vantu::control::polyline3;
using vantu::ncd::address_text;
using vantu::ncd::count_block;

// A long tool path keeps one record per move (see host/control/ncd_file.hpp).
static_assert(sizeof(ncd_block_record) <= 64);
using vantu::ncd::end_of_procedure;
using vantu::ncd::file_state;
using vantu::ncd::first_of_procedure;
using vantu::ncd::pending_arc;
using vantu::ncd::state;
using point3 = std::array<double, 3>;

constexpr int kAtStart = 1, kAtProcedure = -1;
constexpr int kMostArcSteps = 360;
constexpr int kMostOrder = 8;
// Chord tolerance of the spline points kept for the picture, as a fraction of the control
// polygon's extent.
constexpr double kSplineChordFraction = 1e-3;
constexpr std::size_t kMostSplinePoints = 2000;

void reset_state() { state() = file_state{}; }

const bool ncd_file_registered = vantu::register_component({"ncd_file", reset_state, nullptr, nullptr, nullptr});

bool finite3(const float* p) { return p && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

void arc_points(const pending_arc& a, vantu::control::block_points& points)
{
    const int steps =
        a.step != 0.0 ? std::clamp(static_cast<int>(std::ceil(std::fabs(a.angle / a.step))), 1, kMostArcSteps) : 1;
    for (int i = 1; i < steps; ++i) {
        const double t = a.start + a.angle * i / steps;
        points.push_back({a.cx + a.radius * std::cos(t), a.cy + a.radius * std::sin(t), a.z});
    }
}

// Where a block at place `at` of the file starts: the end of the block before it, which is
// where the display's pen stands once that block is drawn, whatever figures drew in between;
// the pen for the file's first block.
std::optional<point3> start_at(std::size_t at)
{
    const file_state& s = state();
    for (std::size_t k = std::min(at, s.blocks.size()); k-- > 0;)
        if (!s.blocks[k].points.empty()) return s.blocks[k].points.back();
    return s.pen;
}

// Starts the block at place `at` (if any) from the end of the block now before it: after an
// insertion or a removal the block there follows another one.
void restart(std::size_t at)
{
    file_state& s = state();
    if (at >= s.blocks.size()) return;
    const auto start = start_at(at);
    if (!start) return;
    ncd_block_record& b = s.blocks[at];
    if (b.has_start)
        b.points.set(0, *start);
    else
        b.points.insert(b.points.begin(), *start);
    b.has_start = true;
}

// Adds a block at the insertion place with the current attributes; the pending definitions go
// with it.
void add_block(char kind, int& status)
{
    file_state& s = state();
    status = 0;
    if (auto fault = vantu::fault_hit("ncd_add_registered_block")) {
        status = *fault;
        return;
    }
    if (!s.registered) {
        status = kNcdAddFailed;
        return;
    }
    ncd_block_record b;
    if (s.attrs_from) {
        b = *s.attrs_from;
        b.points.clear();
        b.has_start = false;
        b.attention = false;
    } else {
        const vantu::control::ncd_attributes a = vantu::control::ncd_current_attrs();
        b.blank = a.blank != 0;
        b.fast_blank = a.fast_blank != 0;
        b.font = a.font;
        b.colour = a.colour;
        b.pen = a.pen;
    }
    b.level = s.registered->level;
    b.block1 = s.registered->block1;
    b.block2 = s.registered->block2;
    b.kind = kind;
    const std::size_t at = s.insert_at < 0 ? s.blocks.size() : static_cast<std::size_t>(s.insert_at);
    if (const auto start = start_at(at)) {
        b.points.push_back(*start);
        b.has_start = true;
    }
    if (kind == 'M' && s.arc) {
        b.kind = 'A';
        arc_points(*s.arc, b.points);
    } else if (kind == 'M' && s.spline) {
        b.kind = 'S';
        b.points.insert(b.points.end(), s.spline->begin(), s.spline->end());
    }
    s.arc.reset();
    s.spline.reset();
    count_block(b, 1);
    s.blocks.insert(s.blocks.begin() + static_cast<std::ptrdiff_t>(at), std::move(b));
    s.last_added = static_cast<int>(at);
    s.newest = *s.registered;
    if (s.insert_at >= 0) s.insert_at = static_cast<int>(at) + 1;
}

// Removes blocks [first, last) and leaves the insertion place there.
void remove_blocks(std::size_t first, std::size_t last)
{
    file_state& s = state();
    for (std::size_t i = first; i < last; ++i) count_block(s.blocks[i], -1);
    s.blocks.erase(s.blocks.begin() + static_cast<std::ptrdiff_t>(first),
                   s.blocks.begin() + static_cast<std::ptrdiff_t>(last));
    s.insert_at = static_cast<int>(first);
    s.last_added = -1;
    restart(first);
}

std::string point_text(const point3& p)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.4f %.4f %.4f", p[0], p[1], p[2]);
    return text;
}

}  // namespace

namespace vantu {

void pen_moved(const float* point)
{
    if (finite3(point)) state().pen = point3{point[0], point[1], point[2]};
}

std::optional<std::array<double, 3>> pen_point() { return state().pen; }

}  // namespace vantu

void ncd_open_registered_tool_path()
{
    state().insert_at = -1;
    state().attrs_from.reset();
    vantu::trace_call("ncd_open_registered_tool_path", "", 0);
}

void ncd_update_current_vptr(int view)
{
    state().view = view;
    vantu::trace_call("ncd_update_current_vptr", std::to_string(view), 0);
}

void ncd_register_block(const ncd_address& address)
{
    state().registered = address;
    vantu::trace_count("ncd_register_block");
}

void ncd_add_registered_block(int& status)
{
    add_block('M', status);
    vantu::trace_count("ncd_add_registered_block");
}

void ncd_add_registered_drill_block(int& status)
{
    add_block('D', status);
    vantu::trace_count("ncd_add_registered_drill_block");
}

int ncd_attr_list_to_int(int mask, int colour, int font, int pen)
{
    vantu::trace_count("ncd_attr_list_to_int");
    return (mask != 0 ? 1 : 0) | (colour & 0xff) << 1 | (font & 0xff) << 9 | (pen & 0xff) << 17;
}

void ncd_add_drill_attrs(int attributes)
{
    file_state& s = state();
    vantu::trace_count("ncd_add_drill_attrs");
    if (s.last_added < 0 || (attributes & 1) == 0) return;
    ncd_block_record& b = s.blocks[static_cast<std::size_t>(s.last_added)];
    b.colour = attributes >> 1 & 0xff;
    b.font = attributes >> 9 & 0xff;
    b.pen = attributes >> 17 & 0xff;
}

void ncd_move_to(const float* point, int& status)
{
    file_state& s = state();
    status = 0;
    vantu::trace_count("ncd_move_to");
    if (auto fault = vantu::fault_hit("ncd_move_to")) {
        status = *fault;
        return;
    }
    if (s.last_added < 0 || !finite3(point)) {
        status = -1;
        return;
    }
    const auto added = static_cast<std::size_t>(s.last_added);
    s.blocks[added].points.push_back({point[0], point[1], point[2]});
    s.last_added = -1;
    restart(added + 1);
    vantu::pen_moved(point);
}

void ncd_update_arc_def(float start_angle, float angle, float step_angle, const float* centre, float z, float radius,
                        int& status)
{
    status = 0;
    const bool finite = std::isfinite(start_angle) && std::isfinite(angle) && std::isfinite(step_angle) && centre &&
                        std::isfinite(centre[0]) && std::isfinite(centre[1]) && std::isfinite(z);
    if (!finite || !(radius > 0.0f))
        status = -1;
    else
        state().arc = pending_arc{start_angle, angle, step_angle, centre[0], centre[1], z, radius};
    vantu::trace_call("ncd_update_arc_def", std::to_string(radius), status);
}

void ncd_update_spline_def(int order, int count, const float* knots, const float* points, int& status)
{
    status = -1;
    if (order >= 2 && order <= kMostOrder && count >= order && knots && points) {
        vantu::spline_data s;
        s.degree = order - 1;
        s.knots.assign(knots, knots + count + order);
        for (int i = 0; i < count; ++i) s.points.push_back({points[3 * i], points[3 * i + 1], points[3 * i + 2]});
        if (!vantu::check_spline(s)) {
            double t0 = 0.0, t1 = 0.0, extent = 0.0;
            vantu::spline_range(s, t0, t1);
            for (const auto& p : s.points)
                for (int k = 0; k < 3; ++k)
                    extent = std::max(
                        extent, std::fabs(p[static_cast<std::size_t>(k)] - s.points[0][static_cast<std::size_t>(k)]));
            polyline3 sampled;
            for (double t :
                 vantu::spline_parameters(s, t0, t1, std::max(extent, 1.0) * kSplineChordFraction, kMostSplinePoints)) {
                point3 p{}, d{};
                vantu::spline_point(s, t, p, d);
                sampled.push_back(p);
            }
            state().spline = std::move(sampled);
            status = 0;
        }
    }
    vantu::trace_call("ncd_update_spline_def", std::to_string(order) + "," + std::to_string(count), status);
}

// The insertion place a mode and address name, or nothing.
static std::optional<int> insertion_place(int mode, const ncd_address& address)
{
    using namespace vantu::ncd;
    if (mode == kAtStart && address.level == 0) return 0;
    if (mode == kAtProcedure && address.level == 1) {
        if (auto first = first_of_procedure(address.block1)) return static_cast<int>(*first);
    } else if ((mode == kAtStart || mode == kAtProcedure) && address.level >= 2) {
        if (auto at = find_block(address)) return static_cast<int>(*at) + 1;
    } else if (mode == kAtProcedureEnd && address.level == 1) {
        if (auto first = first_of_procedure(address.block1))
            return static_cast<int>(end_of_procedure(*first, address.block1));
    }
    return std::nullopt;
}

void ncd_set_block_position(int file, int mode, const ncd_address& address, int& status)
{
    file_state& s = state();
    status = -1;
    if (auto fault = vantu::fault_hit("ncd_set_block_position")) {
        status = *fault;
    } else if (file == kCurrentDisplayFile) {
        if (const auto at = insertion_place(mode, address)) {
            s.insert_at = *at;
            status = 0;
        }
    }
    vantu::trace_call("ncd_set_block_position", std::to_string(mode) + "," + address_text(address), status);
}

void ncd_delete_block_or_proc(int file, const ncd_address& address, int& status)
{
    using namespace vantu::ncd;
    status = -1;
    if (file == kCurrentDisplayFile) {
        if (address.level == 1) {
            if (auto first = first_of_procedure(address.block1)) {
                remove_blocks(*first, end_of_procedure(*first, address.block1));
                status = 0;
            }
        } else if (auto at = find_block(address)) {
            remove_blocks(*at, *at + 1);
            status = 0;
        }
    }
    vantu::trace_call("ncd_delete_block_or_proc", address_text(address), status);
}

void ncd_delete_blocks(int file, const ncd_address& first, const ncd_address& last, int& status)
{
    using namespace vantu::ncd;
    status = 0;
    const auto from = find_block(first);
    if (file != kCurrentDisplayFile) {
        status = -1;
    } else if (from) {
        // Without a last block a top-level block ends the file's display from it on, a motion
        // that of its procedure.
        std::pair<std::size_t, std::size_t> span{*from, first.level <= 1 ? state().blocks.size()
                                                                         : end_of_procedure(*from, first.block1)};
        if (find_block(last)) span = *block_span(first, last);
        remove_blocks(span.first, span.second);
    }
    vantu::trace_call("ncd_delete_blocks", address_text(first) + "," + address_text(last), status);
}

void ncd_set_attrs_as_curr_block(int file)
{
    file_state& s = state();
    if (file == kCurrentDisplayFile && !s.blocks.empty()) {
        const std::size_t end = s.insert_at < 0 ? s.blocks.size() : static_cast<std::size_t>(s.insert_at);
        s.attrs_from = s.blocks[end > 0 ? end - 1 : 0];
    }
    vantu::trace_call("ncd_set_attrs_as_curr_block", std::to_string(file), s.attrs_from ? 0 : -1);
}

void ncd_connect_toolpath(int file)
{
    if (file == kCurrentDisplayFile) {
        state().insert_at = -1;
        state().attrs_from.reset();
    }
    vantu::trace_call("ncd_connect_toolpath", std::to_string(file), 0);
}

void ncd_go_last_added_block()
{
    file_state& s = state();
    int status = -1;
    if (s.newest) {
        if (const auto at = vantu::ncd::find_block(*s.newest)) {
            s.insert_at = static_cast<int>(*at) + 1;
            status = 0;
        }
    }
    vantu::trace_call("ncd_go_last_added_block", "", status);
}

void ncd_flush_blocks() { vantu::trace_count("ncd_flush_blocks"); }

namespace vantu::control {

const std::deque<ncd_block_record>& ncd_blocks() { return state().blocks; }
int ncd_current_view() { return state().view; }
void set_picked_key_block(int procedure_block, int level, int block_number)
{
    state().picked = {procedure_block, level, block_number};
}

void write_ncd_file_text(std::ostream& out)
{
    for (const ncd_block_record& b : state().blocks) {
        out << address_text({b.level, b.block1, b.block2}) << ' ' << b.kind << " font " << b.font << " colour "
            << b.colour << " pen " << b.pen;
        if (b.blank) out << " blank";
        if (b.fast_blank) out << " fast blank";
        if (b.attention) out << " attention";
        out << ':';
        for (std::size_t i = 0; i < b.points.size(); ++i) out << (i == 0 ? " " : " -> ") << point_text(b.points[i]);
        out << '\n';
    }
}

std::string ncd_file_text()
{
    std::ostringstream out;
    write_ncd_file_text(out);
    return std::move(out).str();
}

}  // namespace vantu::control
