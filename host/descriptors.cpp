// The contour descriptors (dfdgld, dfdgng, dfdgoc, dfdgcc, dfdpcc) of the curve sets, with the
// defaults of a curve set that has none of its own, and the working plane of a contour defined in
// one (dfdgmd, dfdgwp, dfdzd). Descriptors belong to the part, like the curve sets.
#include "host/vantu_descriptors.hpp"

#include "host/control.hpp"
#include "host/control/descriptors.hpp"
#include "host/core/component.hpp"
#include "host/core/contour_records.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_entity.hpp"

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace {

using vantu::control::contour_descriptor;

std::map<int, contour_descriptor>& descriptors()
{
    static auto* d = new std::map<int, contour_descriptor>;
    return *d;
}

// The descriptor at the position and its curve count; false when no curve set is there.
bool descriptor_at(int position, contour_descriptor& descriptor, int& curves)
{
    int status = 0;
    dfdgnc(position, curves, status);
    const auto it = descriptors().find(position);
    if (status != 0 && it == descriptors().end()) return false;
    if (status != 0) curves = 0;
    descriptor = it == descriptors().end() ? contour_descriptor{} : it->second;
    return true;
}

void reset_state() { descriptors().clear(); }

void save_state(nlohmann::json& section)
{
    section = nlohmann::json::array();
    for (const auto& [position, d] : descriptors()) {
        nlohmann::json item = {
            {"position", position},
            {"groups", d.groups},
            {"open", d.open},
            {"checks", {{d.checks[0].first, d.checks[0].second}, {d.checks[1].first, d.checks[1].second}}}};
        if (d.length) item["length"] = *d.length;
        if (d.plane) item["plane"] = *d.plane;
        section.push_back(item);
    }
}

void load_state(const nlohmann::json& section)
{
    try {
        if (!section.is_array()) return;
        for (const auto& item : section) {
            contour_descriptor d;
            d.groups = item.value("groups", 1);
            d.open = item.value("open", 0);
            if (item.contains("checks"))
                for (std::size_t side = 0; side < 2; ++side)
                    d.checks[side] = {item["checks"].at(side).at(0).get<int>(),
                                      item["checks"].at(side).at(1).get<double>()};
            if (item.contains("length")) d.length = item["length"].get<int>();
            if (item.contains("plane")) d.plane = item["plane"].get<std::array<double, 4>>();
            descriptors()[item.at("position").get<int>()] = d;
        }
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("descriptors: ") + e.what());
    }
}

const bool descriptors_registered =
    vantu::register_component({"descriptors", reset_state, save_state, load_state, nullptr});

}  // namespace

void dfdgld(int position, int& length, int& status)
{
    contour_descriptor d;
    int curves = 0;
    length = 0;
    status = -1;
    if (descriptor_at(position, d, curves)) {
        length = d.length ? *d.length : kDescriptorHeadItems + kDescriptorCurveItems * curves;
        status = 0;
    }
    vantu::trace_count("dfdgld");
}

void dfdgng(int position, int& groups, int& curves, int& status)
{
    contour_descriptor d;
    groups = 0;
    curves = 0;
    status = -1;
    if (descriptor_at(position, d, curves)) {
        groups = d.groups;
        status = 0;
    }
    vantu::trace_count("dfdgng");
}

void dfdgoc(int position, int& open, int& status)
{
    contour_descriptor d;
    int curves = 0;
    open = 0;
    status = -1;
    if (descriptor_at(position, d, curves)) {
        open = d.open;
        status = 0;
    }
    vantu::trace_count("dfdgoc");
}

void dfdgcc(int position, int side, int& curve, double& parameter, int& status)
{
    contour_descriptor d;
    int curves = 0;
    curve = -2;
    parameter = 0.0;
    status = -1;
    if ((side == 1 || side == 2) && descriptor_at(position, d, curves)) {
        curve = d.checks[static_cast<std::size_t>(side - 1)].first;
        parameter = d.checks[static_cast<std::size_t>(side - 1)].second;
        status = 0;
    }
    vantu::trace_count("dfdgcc");
}

namespace vantu::control {

void define_descriptor(int position, const contour_descriptor& descriptor)
{
    if (position >= 1) descriptors()[position] = descriptor;
}

}  // namespace vantu::control

// ---- the same questions for a contour-data record --------------------------------------------

namespace {

// The curve set of a chain record, 0 for any other record.
int chain_set(const int* record)
{
    const vantu::record_info r = vantu::record_at(record);
    return r.kind == vantu::record_kind::chain ? r.id : 0;
}

}  // namespace

void dfdgld(const int* record, int& length, int& status)
{
    const vantu::record_info r = vantu::record_at(record);
    const auto it = descriptors().find(chain_set(record));
    length = it != descriptors().end() && it->second.length ? *it->second.length : r.length;
    status = r.kind == vantu::record_kind::none ? -1 : 0;
    if (status != 0) length = 0;
    vantu::trace_count("dfdgld");
}

void dfdgng(const int* record, int& groups, int& curves, int& status)
{
    const vantu::record_info r = vantu::record_at(record);
    groups = curves = 0;
    status = 0;
    switch (r.kind) {
    case vantu::record_kind::chain: dfdgng(r.id, groups, curves, status); return;
    case vantu::record_kind::face:
    case vantu::record_kind::loop: groups = curves = 1; break;
    case vantu::record_kind::set:
        groups = r.id;
        curves = r.length - 1;
        break;
    default: status = -1;
    }
    vantu::trace_count("dfdgng");
}

void dfdgoc(const int* record, int& open, int& status)
{
    const vantu::record_info r = vantu::record_at(record);
    if (r.kind == vantu::record_kind::chain) return dfdgoc(r.id, open, status);
    open = r.kind == vantu::record_kind::set ? 1 : 0;
    status = r.kind == vantu::record_kind::none ? -1 : 0;
    vantu::trace_count("dfdgoc");
}

void dfdgcc(const int* record, int side, int& curve, double& parameter, int& status)
{
    const vantu::record_info r = vantu::record_at(record);
    if (r.kind == vantu::record_kind::chain) return dfdgcc(r.id, side, curve, parameter, status);
    curve = -2;
    parameter = 0.0;
    status = r.kind == vantu::record_kind::none || (side != 1 && side != 2) ? -1 : 0;
    vantu::trace_count("dfdgcc");
}

void dfdpcc(const int* record, int side, int curve, double parameter, int& status)
{
    const int set = chain_set(record);
    status = set > 0 && (side == 1 || side == 2) ? 0 : -1;
    if (status == 0) {
        contour_descriptor& d = descriptors()[set];
        d.checks[static_cast<std::size_t>(side - 1)] = {curve, parameter};
    }
    vantu::trace_call("dfdpcc", std::to_string(side) + "," + std::to_string(curve), status);
}

namespace {

// The working plane of a chain record's curve set, null when it has none.
const std::array<double, 4>* plane_of(const int* record)
{
    const auto it = descriptors().find(chain_set(record));
    return it != descriptors().end() && it->second.plane ? &*it->second.plane : nullptr;
}

}  // namespace

void dfdgmd(const int* record, int& mode, int& status)
{
    const vantu::record_info r = vantu::record_at(record);
    status = r.kind == vantu::record_kind::none ? -1 : 0;
    mode = status == 0 && plane_of(record) != nullptr ? kModeInPlane : kModeSpace;
    vantu::trace_count("dfdgmd");
}

void dfdgwp(const int* record, double (&plane)[4], int& status)
{
    const std::array<double, 4>* p = plane_of(record);
    status = p ? 0 : -1;
    if (p) std::copy(p->begin(), p->end(), plane);
    vantu::trace_count("dfdgwp");
}

void dfdzd(const int* record, int k, int& answer)
{
    answer = -1;
    const std::array<double, 4>* p = plane_of(record);
    int entity = 0, status = 0;
    double data[3];
    if (p) dfdget(record, k, entity, data, status);
    if (p && status == 0) {
        answer = 0;
        for (const double t : {data[0], 0.5 * (data[0] + data[1]), data[1]}) {
            double point[3];
            evcrvd(entity, t, point, nullptr, status);
            const double distance = (*p)[0] * point[0] + (*p)[1] * point[1] + (*p)[2] * point[2] + (*p)[3];
            if (status != 0)
                answer = -1;
            else if (answer == 0 && std::fabs(distance) > vantu::kRealTolerance)
                answer = kCurveOffPlane;
        }
    }
    vantu::trace_call("dfdzd", std::to_string(k), answer);
}
