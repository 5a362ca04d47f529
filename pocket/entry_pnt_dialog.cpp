// The point dialog of the pocket (add, delete and move entry, guide or end points) and the
// interactive point input GETPMP: indicated points, point entities, circle centres and point
// patterns, each taken entity recorded in the host's associativity table. The pocket dialog runs
// them when the entry mode asks for points.
#include "pocket/entry_pnt_tables.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "surfaces/geometry_access_least.hpp"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr int kGoOn = 0, kCancel = -1, kBack = -2;
constexpr int kAdd = 1, kDelete = 2, kModify = 3;
constexpr int kGuideSubCode = 56;
constexpr int kMessageModule = 331;
constexpr int kPointIndicateMode = 7;
// How far from a symbol's point an indicated position still picks it (part units).
constexpr double kSymbolPickReach = 1.0;
// Entries of one picked pattern at most.
constexpr int kPatternRoom = kMaxEntryPnts;
constexpr float kCoordinateLimit = 99999.9f;

enum class input_choice { single = 1, points, circles, patterns };

struct kind_texts {
    const char* menu;
    const char* allowed;
    int point_kind;
};

kind_texts texts_of(int kind)
{
    if (kind == kEndPoints)
        return {"ADD END POINTS@DELETE END POINTS@MODIFY LOCATION", "END POINTS ARE ALLOWED", kEndPoints};
    if (nu_sgcd_get_code() == kGuideSubCode)
        return {"ADD GUIDE POINTS@DELETE GUIDE POINTS@MODIFY LOCATION", "GUIDE POINTS ARE ALLOWED", kGuidePoints};
    return {"ADD ENTRY POINTS@DELETE ENTRY POINTS@MODIFY LOCATION", "ENTRY POINTS ARE ALLOWED", kEntryPoints};
}

int count_message(int point_kind) { return point_kind == kEntryPoints ? 30 : point_kind == kEndPoints ? 31 : 51; }

void start_page()
{
    int status = 0;
    modint_third_layout(1, status);
}

// The symbol the user indicates: the working point nearest to the indicated position within the
// pick reach. Answers its 1-based index, or the pick's negative status, or 0 for a position near
// no symbol.
int pick_symbol()
{
    float at[3] = {0, 0, 0};
    int status = 0;
    getpt(at, kPointIndicateMode, status);
    if (status < 0) return status;
    const entry_pnt_set& w = entry_pnts().working;
    double best = kSymbolPickReach * kSymbolPickReach;
    int found = 0;
    for (int i = 0; i < w.count && i < kMaxEntryPnts; ++i) {
        const double d = std::pow(w.points[i][0] - at[0], 2) + std::pow(w.points[i][1] - at[1], 2);
        if (w.symbol_ids[i] != 0 && d <= best) {
            best = d;
            found = i + 1;
        }
    }
    return found;
}

// Points a picked entity gives for the choice; none for an entity of another class.
std::vector<std::array<float, 3>> points_of(int entity, input_choice choice)
{
    std::vector<std::array<float, 3>> out;
    int entity_class = -1, type = -1, status = 0;
    egclty(entity, entity_class, type, status);
    if (status != 0) return out;
    if (choice == input_choice::points && entity_class == kPointClass) {
        float p[3];
        DBDPT(1, entity, p, status);
        if (status == 0) out.push_back({p[0], p[1], p[2]});
    } else if (choice == input_choice::circles && entity_class == kCurveClass && type == kArcType) {
        float centre[4];
        OBTARC(entity, centre, status);
        if (status == 0) out.push_back({centre[0], centre[1], centre[2]});
    } else if (choice == input_choice::patterns && entity_class == kPatternClass) {
        std::vector<float> p(3 * static_cast<std::size_t>(kPatternRoom));
        int count = 0;
        drppts(entity, kPatternRoom, p.data(), count, status);
        for (int i = 0; status == 0 && i < count; ++i) out.push_back({p[3 * i], p[3 * i + 1], p[3 * i + 2]});
    }
    return out;
}

// One add step of GETPMP: the points of the choice and their source ids. Answers the status
// of the input (0, or the pick's -1 or -2 when nothing was taken).
int take_points(input_choice choice, std::vector<float>& points, std::vector<int>& sources)
{
    if (choice == input_choice::single) {
        prmptc("INDICATE POINT");
        float p[3] = {0, 0, 0};
        int entity = -1, status = 0;
        ncs_get_point(kPointIndicateMode, p, entity, status);
        if (status != kGoOn) return status;
        points.insert(points.end(), p, p + 3);
        sources.push_back(entity);
        return kGoOn;
    }
    static const char* const kPrompts[] = {"PICK POINTS/EXIT", "PICK CIRCLES/EXIT", "PICK PATTERNS/EXIT"};
    static const char* const kOnePrompts[] = {"PICK POINT", "PICK CIRCLE", "PICK PATTERN"};
    const int which = static_cast<int>(choice) - 2;
    const bool one_at_a_time = macexe() != 0 || macdfn() != 0;
    prmptc(one_at_a_time ? kOnePrompts[which] : kPrompts[which]);
    std::vector<int> picked;
    for (int n = 0; n < kMaxEntryPnts; ++n) {
        int answer = 0, entity = 0;
        pick(answer, entity);
        if (answer == kBack && !picked.empty()) {
            picked.pop_back();
            continue;
        }
        if (answer != kGoOn) {
            if (picked.empty()) return answer;
            break;
        }
        picked.push_back(entity);
        if (one_at_a_time) break;
    }
    for (const int entity : picked) {
        const auto taken = points_of(entity, choice);
        if (taken.empty()) continue;
        int status = 0;
        ncs_table_insert(kPointAssociation, entity, ncs_obj_uid(entity), ncs_get_generation_number(entity), status);
        for (const auto& p : taken) {
            points.insert(points.end(), p.begin(), p.end());
            sources.push_back(entity);
        }
    }
    return kGoOn;
}

// Takes back the last group and its source entry.
void back_up_last_group()
{
    entry_pnt_set& w = entry_pnts().working;
    const int last_source = get_pnt_source(w.count - 1);
    if (last_source >= 0) {
        int status = 0;
        ncs_table_delete(kPointAssociation, last_source, status);
    }
    del_pnt_symbols(2);
}

}  // namespace

void GETPMP(int kind, int input_mode, int& changed, int& status)
{
    const int point_kind = kind == kEndPoints ? kEndPoints : kind == kGuidePoints ? kGuidePoints : kEntryPoints;
    entry_pnt_set& w = entry_pnts().working;
    int choice = static_cast<int>(input_choice::single);
    start_page();
    modmpc(input_mode == 0 ? "SINGLE POINT@POINTS@CIRCLE CENTER" : "SINGLE POINT@POINTS@CIRCLE CENTER@POINT PATTERN",
           choice);
    msg_mdls(kMessageModule, count_message(point_kind));
    int answer = 0;
    modif1(answer);
    status = answer < 0 ? answer : kGoOn;
    // Each pass adds a group or takes one back; a pass that does neither ends the input.
    for (int pass = 0; status == kGoOn && pass < 2 * kMaxEntryPnts + 2; ++pass) {
        std::vector<float> points;
        std::vector<int> sources;
        status = take_points(static_cast<input_choice>(std::clamp(choice, 1, 4)), points, sources);
        if (status == kBack && w.count > 0) {
            back_up_last_group();
            status = kGoOn;
            continue;
        }
        if (status != kGoOn) break;
        int n = static_cast<int>(sources.size());
        const bool full = w.count + n >= kMaxEntryPnts;
        n = std::min(n, kMaxEntryPnts - w.count);
        if (n > 0) {
            int drawn = 0;
            add_entry_pnts(1, n, points.data(), sources.data(), drawn);
            if (drawn != 0) eroutc("GETPMP, PROBLEMS WITH TOOL DISPLAY", 0);
            changed = 1;
            msg_mdls(kMessageModule, count_message(point_kind));
        }
        if (full) {
            user1c("NUMBER OF POINTS EXCEEDED LIMIT OF", 'I', kMaxEntryPnts, "POINTS");
            break;
        }
    }
    status = w.count > 0 ? kGoOn : (status < 0 ? status : kCancel);
}

void pnt_delete_dialog(int& changed)
{
    std::vector<int> picked;
    prmptc("PICK POINTS TO DEL.");
    for (int n = 0; n < 2 * kMaxEntryPnts; ++n) {
        const int index = pick_symbol();
        if (index == kCancel) break;
        if (index == kBack) {
            if (!picked.empty()) picked.pop_back();
            continue;
        }
        if (index > 0) picked.push_back(entry_pnts().working.symbol_ids[index - 1]);
    }
    if (picked.empty()) return;
    int answer = 0;
    irepyc("DELETE:CONFIRM?", answer);
    if (answer != 1) return;
    for (auto it = picked.rbegin(); it != picked.rend(); ++it) {
        const int index = find_pnt_by_symbol(*it);
        if (index < 1) continue;
        const int source = get_pnt_source(index - 1);
        if (source >= 0) {
            int status = 0;
            ncs_table_delete(kPointAssociation, source, status);
        }
        delete_entry_pnt(index);
        changed = 1;
    }
}

void pnt_modify_dialog(int kind, int& changed)
{
    const char* title = kind == kEndPoints     ? "ENTER FINISH POINT"
                        : kind == kEntryPoints ? "ENTER ENTRY POINT"
                                               : "ENTER GUIDE POINT";
    const float origin[2] = {NPT1().real(tp_header_state::kMacsysOrigin),
                             NPT1().real(tp_header_state::kMacsysOrigin + 1)};
    for (int n = 0; n < 2 * kMaxEntryPnts; ++n) {
        prmptc("PICK PNT.TO MODIFY");
        const int index = pick_symbol();
        if (index < 0) return;
        if (index == 0) continue;
        float point[3];
        get_entry_pnt(index, point);
        float x = point[0] - origin[0], y = point[1] - origin[1];
        int unused = 0, answer = 0;
        start_page();
        modmc(title, unused);
        modrc("X", x, -kCoordinateLimit, kCoordinateLimit);
        modrc("Y", y, -kCoordinateLimit, kCoordinateLimit);
        modif1(answer);
        if (answer != kGoOn) continue;
        const float moved[3] = {origin[0] + x, origin[1] + y, point[2]};
        if (!eqpt3(moved, point)) {
            move_entry_pnt(index, moved);
            changed = 1;
        }
    }
}

int pnt_dialog(int kind, int input_mode, int start_empty, int& changed, int& status)
{
    const kind_texts texts = texts_of(kind);
    entry_pnt_set& w = entry_pnts().working;
    if (start_empty) {
        del_pnt_symbols(0);
        modinz();
        gsclr(2, 0);
    }
    for (int pass = 0; pass < 4 * kMaxEntryPnts; ++pass) {
        int choice = kAdd;
        if (w.count > 0) {
            prmptc("SELECT OPTION/EXIT");
            menuc(texts.menu, choice);
            if (choice == kCancel || choice == kBack) break;
            if (choice < kAdd || choice > kModify) continue;
        }
        if (choice == kAdd && w.count >= kMaxEntryPnts) {
            user1c("ONLY", 'I', kMaxEntryPnts, texts.allowed);
            break;
        }
        if (choice == kAdd) {
            int input = 0;
            GETPMP(texts.point_kind, input_mode, changed, input);
            if (input < 0) break;
        } else if (choice == kDelete) {
            pnt_delete_dialog(changed);
        } else {
            pnt_modify_dialog(texts.point_kind, changed);
        }
    }
    status = w.count > 0 ? kGoOn : kCancel;
    return w.count;
}
