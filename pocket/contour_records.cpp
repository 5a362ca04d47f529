// The contour records of a pocket procedure against the model: the read test with its messages,
// the plane fix and the attachment of the curves on storing, and the test for replacement lines.
#include "pocket/contour_records.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_dialog_words.hpp"
#include "pocket/contour_table.hpp"
#include "surfaces/curve_limits.hpp"
#include "surfaces/line_entity.hpp"
#include "toolpath/motion_end_points.hpp"
#include "tools/edata_double_access.hpp"
#include "tools/tool_utilities.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kGoOn = 0;
constexpr int kRead = 1, kWrite = 2;
constexpr int kCallerWord = 3, kTableFlag = 9;    // EDA2 words
constexpr int kSolidOne = 2, kSolidWithNext = 4;  // ncs_table_aso_test kinds
constexpr int kNoCheckCurve1 = -1, kNoCheckCurve2 = -2;
constexpr int kListOwner = -1;
constexpr int kOwnerSubId = 0;
constexpr int kAttributeSet = 1;
constexpr double kOrigin[3] = {0.0, 0.0, 0.0};

bool is_solid(int id) { return ncs_id_is_not_solid(id) == 0; }
bool at_origin(const double* data) { return eqptd(3, data, kOrigin) != 0; }
bool has_check_curve(int id) { return id != kNoCheckCurve1 && id != kNoCheckCurve2; }

int eda2(int n) { return EDA2().word_no(n); }

// Calls visit(k, record) for contours k = 1 .. count whose records lie one after another from
// `records`, stepping by each record's length; stops at a record that cannot be measured or that
// would reach past the buffer.
template <class Word, class Visit> void for_each_record(Word* records, int count, Visit visit)
{
    if (records == nullptr) return;
    int entry = 1;
    for (int k = 1; k <= std::min(count, kMaxContours) && entry <= contour_entries(); ++k) {
        Word* record = records + kChainEntryWords * (entry - 1);
        int length = 0, status = 0;
        dfdgld(record, length, status);
        if (status != kGoOn || length < 1 || entry + length - 1 > contour_entries()) return;
        visit(k, record);
        entry += length;
    }
}

// The report-once flags of one read.
struct read_reports {
    int contours = 1;
    int check_curves = 1;
};

// For curve j of a contour: the test of the curve and the new limits of a plain curve.
// Answers false when the walk along the contour stops here.
bool read_curve(int* record, int j, int curves, int owner, bool hand_picked, read_reports& reports, int& valid)
{
    int id = 0, status = 0;
    double data[3];
    dfdget(record, j, id, data, status);
    if (status != kGoOn) return true;
    if (id < 0) {
        dfdput(record, j, id, data, status);
        valid = 0;
        return true;
    }
    const bool origin = at_origin(data);
    const int single_curve = single_curve_contours_flag();
    if ((origin || eda2(kTableFlag) != 0 || single_curve == 1) && hand_picked) {
        int ok = 1;
        if (is_solid(id)) {
            int next = 0;
            double next_data[3];
            if (origin && j < curves) dfdget(record, j + 1, next, next_data, status);
            ncs_table_aso_test(origin ? kSolidWithNext : kSolidOne, id, origin ? next : 0, ok);
        } else {
            assoc_check(owner, kOwnerSubId, id, kContoursLabel, reports.contours, ok);
        }
        if (ok == 0) {
            dfdput(record, j, -id, data, status);
            valid = 0;
            return true;
        }
    }
    if (single_curve == 1 && is_type15_entity(1, id, 0) != 0) {
        float limits[6];
        LMCRV(id, limits, status);
        // The first words of the start and end data are the plain curve's parameter limits.
        if (status == kGoOn) {
            data[0] = limits[0];
            data[1] = limits[3];
            dfdput(record, j, id, data, status);
        }
    }
    // The rest of a loop belongs to the same test of its solid.
    return !(is_solid(id) && origin);
}

// The end check curves of an open contour, owned by the procedure.
void read_check_curves(int* record, read_reports& reports, int& valid)
{
    int open = 0, status = 0;
    dfdgoc(record, open, status);
    if (status != kGoOn || open == 0) return;
    for (int side = 1; side <= 2; ++side) {
        int curve = 0;
        double parameter = 0.0;
        dfdgcc(record, side, curve, parameter, status);
        if (status != kGoOn || !has_check_curve(curve)) continue;
        int ok = 1;
        if (curve < 0)
            ok = 0;
        else if (is_solid(curve))
            ncs_table_aso_test(kSolidOne, curve, 0, ok);
        else
            assoc_check(eda2(kCallerWord), eda2(edit_state::kProcedureNumber), curve, kCheckCurvesLabel,
                        reports.check_curves, ok);
        if (ok != 0) continue;
        dfdpcc(record, side, -std::abs(curve), parameter, status);
        valid = 0;
    }
}

// The messages of assoc_check by association state.
struct state_message {
    int state;
    const char* text;
};
constexpr state_message kStateMessages[] = {
    {kAssocChanged, "WARNING: GEOMETRY HAS CHANGED"},
    {kAssocNotAvailable,
     "WARNING: A GEOMETRIC ENTITY IS NOT AVAILABLE FOR RERUN| IF IT CAME FROM INSTANCE OR SUBASSEMBLY"},
    {kAssocUpdated, "WARNING: GEOMETRY WAS UPDATED"},
};

// The curve ids of a record for the attachment: its curves, and for an open contour its
// existing end check curves (with the side of each, 0 for a curve).
struct record_ids {
    std::vector<int> ids;
    std::vector<int> sides;
};

record_ids ids_of(const int* record)
{
    record_ids r;
    int curves = 0, status = 0;
    dfdgnc(record, curves, status);
    for (int j = 1; j <= curves && status == kGoOn; ++j) {
        int id = 0;
        double data[3];
        dfdget(record, j, id, data, status);
        if (status != kGoOn) break;
        r.ids.push_back(id);
        r.sides.push_back(0);
    }
    int open = 0;
    status = kGoOn;
    dfdgoc(record, open, status);
    for (int side = 1; side <= 2 && status == kGoOn && open != 0; ++side) {
        int curve = 0;
        double parameter = 0.0;
        dfdgcc(record, side, curve, parameter, status);
        if (status != kGoOn || !has_check_curve(curve)) continue;
        r.ids.push_back(curve);
        r.sides.push_back(side);
    }
    return r;
}

// The end of curve j of a record in its working plane: both ends projected onto the plane and
// joined by a replacement line that takes the curve's place.
void replace_by_line(int* record, int j, const double (&plane)[4], int& status)
{
    int id = 0;
    double data[3];
    dfdget(record, j, id, data, status);
    if (status != kGoOn) return;
    double ends[2][3];
    for (int e = 0; e < 2 && status == kGoOn; ++e) {
        evcrvd(id, data[e], ends[e], nullptr, status);
        const double distance = plane[0] * ends[e][0] + plane[1] * ends[e][1] + plane[2] * ends[e][2] + plane[3];
        for (int c = 0; c < 3; ++c) ends[e][c] -= distance * plane[c];
    }
    if (status != kGoOn) return;
    int line = 0;
    LINE(line, ends[0], ends[1], status);
    if (status != kGoOn) return;
    int value = kAttributeSet;
    eattc(line, kWrite, "SL", value, status);
    if (status == kGoOn) eattc(line, kWrite, "DE", value, status);
    double range[3];
    if (status == kGoOn) edata_double_access(kRead, line, range, status);
    if (status != kGoOn) return;
    const double line_data[3] = {range[0], range[1], 1.0};
    dfdput(record, j, line, line_data, status);
}

}  // namespace

void assoc_check(int owner, int sub_id, int curve, std::string_view label, int& report_once, int& ok)
{
    ok = 1;
    int state = kAssocUnchanged, status = kGoOn;
    asinqg(owner, sub_id, curve, state, status);
    if (status != kGoOn) {
        if (report_once) erou4c(label, "ERRORS IN ASSOCIATIVITY ROUTINES.");
        report_once = 0;
        ok = 0;
        return;
    }
    const auto message = std::find_if(std::begin(kStateMessages), std::end(kStateMessages),
                                      [state](const state_message& m) { return m.state == state; });
    if (message == std::end(kStateMessages)) return;
    if (report_once) user4c(state == kAssocUpdated ? std::string_view() : label, message->text);
    report_once = 0;
    if (state != kAssocUpdated)
        ok = 0;
    else if (single_curve_contours_flag() != 1 && is_type15_entity(1, curve, 0) != 0)
        ok = 0;
}

void contour_records_read(int geometry_entity, int* records, int count, const int* by_criteria, int& contours_valid,
                          int& second_flag)
{
    int owner = geometry_entity;
    if (geometry_entity > 0) {
        int status = 0;
        last_geom_temp_id(geometry_entity, owner, status);
        if (status != kGoOn) owner = geometry_entity;
    }
    contours_valid = 1;
    second_flag = 1;
    read_reports reports;
    if (eda2(edit_state::kViewOnly) != 0) reports = {0, 0};
    const bool test_checks = count >= 0 && eda2(kTableFlag) != 0;
    int valid = 1;
    for_each_record(records, std::abs(count), [&](int k, int* record) {
        int curves = 0, status = 0;
        dfdgnc(record, curves, status);
        if (curves < 1) valid = 0;
        const bool hand_picked = by_criteria == nullptr || by_criteria[k] == 0;
        for (int j = 1; j <= curves; ++j)
            if (!read_curve(record, j, curves, owner, hand_picked, reports, valid)) break;
        if (test_checks && hand_picked) read_check_curves(record, reports, valid);
    });
    if (valid == 0) contours_valid = second_flag = 0;
}

void contour_plane_fix(int count, int* records)
{
    for_each_record(records, count, [](int, int* record) {
        int mode = 0, status = 0;
        dfdgmd(record, mode, status);
        if (status != kGoOn || mode != kModeInPlane) return;
        double plane[4];
        dfdgwp(record, plane, status);
        int curves = 0;
        if (status == kGoOn) dfdgnc(record, curves, status);
        for (int j = 1; j <= curves && status == kGoOn; ++j) {
            int answer = 0;
            dfdzd(record, j, answer);
            if (answer == kCurveOffPlane) replace_by_line(record, j, plane, status);
        }
    });
}

void assoc_attach(int geometry_entity, int attach, int count, int* ids)
{
    if (ids == nullptr || count < 1) return;
    int previous = -1, status = kGoOn;
    if (geometry_entity > 0) {
        int last = -1;
        prev_geom_temp_id(geometry_entity, previous, status);
        last_geom_temp_id(geometry_entity, last, status);
    }
    std::vector<int> present, missing;
    for (int i = 0; i < count; ++i) {
        if (is_solid(ids[i])) continue;
        if (ids[i] > 0) {
            present.push_back(ids[i]);
        } else {
            ids[i] = -ids[i];
            missing.push_back(ids[i]);
        }
    }
    if (attach == 0) return;
    int block = 0;
    get_prev_blkno(block);
    status = kGoOn;
    for (std::size_t i = 0; i < present.size() && status == kGoOn; ++i) {
        if (geometry_entity > 0)
            asattl(present[i], kOwnerSubId, geometry_entity, status);
        else
            asattl(present[i], kListOwner, block, status);
    }
    status = kGoOn;
    for (std::size_t i = 0; i < missing.size() && status == kGoOn; ++i) {
        if (geometry_entity <= 0)
            asattc(missing[i], kListOwner, block, eda2(edit_state::kProcedureNumber), status);
        else if (previous > 0)
            asattc_idd(missing[i], previous, status);
    }
}

void contour_assoc_write(int geometry_entity, int attach, int count, const int* by_criteria, int* records)
{
    for_each_record(records, count, [&](int k, int* record) {
        if (by_criteria != nullptr && by_criteria[k] != 0) return;
        record_ids r = ids_of(record);
        std::vector<int> before = r.ids;
        assoc_attach(geometry_entity, attach, static_cast<int>(r.ids.size()), r.ids.data());
        for (std::size_t i = 0; i < r.ids.size(); ++i) {
            if (r.ids[i] == before[i]) continue;
            int status = 0;
            if (r.sides[i] == 0) {
                int id = 0;
                double data[3];
                dfdget(record, static_cast<int>(i) + 1, id, data, status);
                if (status == kGoOn) dfdput(record, static_cast<int>(i) + 1, r.ids[i], data, status);
            } else {
                int curve = 0;
                double parameter = 0.0;
                dfdgcc(record, r.sides[i], curve, parameter, status);
                if (status == kGoOn) dfdpcc(record, r.sides[i], r.ids[i], parameter, status);
            }
        }
    });
}

void entity_is_replacement(int count, const int* ids, int& flag)
{
    for (int i = 0; ids != nullptr && i < count; ++i) {
        if (ids[i] < 1 || is_solid(ids[i])) return;
        int de = 0, sl = 0, status = 0;
        eattc(ids[i], kRead, "DE", de, status);
        eattc(ids[i], kRead, "SL", sl, status);
        if (de == 1 && sl == 1) {
            flag = 0;
            return;
        }
    }
}

void contour_records_all_real(int count, const int* records, const int* by_criteria, int& flag)
{
    flag = 1;
    for_each_record(records, count, [&](int k, const int* record) {
        if (flag == 0 || (by_criteria != nullptr && by_criteria[k] != 0)) return;
        const record_ids r = ids_of(record);
        for (const int id : r.ids) {
            entity_is_replacement(1, &id, flag);
            if (flag == 0) return;
        }
    });
}
