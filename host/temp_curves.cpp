// Temporary spline curves (host/vantu_temp_curves.hpp), kept in the entity store while in use.
#include "host/vantu_temp_curves.hpp"

#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_entity.hpp"

#include <climits>
#include <set>
#include <string>

namespace {

constexpr int kTemporary = -1, kThreeD = 3, kMostOrder = kSplineMaxDegree + 1;

std::set<int>& temporaries()
{
    static auto* ids = new std::set<int>;
    return *ids;
}

void reset_temporaries() { temporaries().clear(); }

void report_temporaries(std::vector<std::string>& lines)
{
    for (int id : temporaries()) lines.push_back("temporary curve " + std::to_string(id) + " was not freed");
}

const bool registered = vantu::register_component({"temp_curves", reset_temporaries, nullptr, nullptr, report_temporaries});

}  // namespace

void evbcre_bsp(int kind, int dimension, int order, int count, const float* knots, const float* points, int& id,
                int& status)
{
    status = -1;
    if (kind == kTemporary && dimension == kThreeD && order >= 2 && order <= kMostOrder && count >= order && knots &&
        points && vantu::store().next_id <= INT_MAX) {
        vantu::spline_data s;
        s.degree = order - 1;
        s.knots.assign(knots, knots + count + order);
        for (int i = 0; i < count; ++i) s.points.push_back({points[3 * i], points[3 * i + 1], points[3 * i + 2]});
        if (!vantu::check_spline(s)) {
            vantu::entity e;
            e.id = static_cast<int>(vantu::store().next_id);
            e.entity_class = kCurveClass;
            e.type = kSplineType;
            vantu::write_spline(s, e.words);
            if (vantu::insert_entity(std::move(e))) {
                id = static_cast<int>(vantu::store().next_id) - 1;
                temporaries().insert(id);
                status = 0;
            }
        }
    }
    vantu::trace_call("evbcre_bsp", std::to_string(order) + "," + std::to_string(count), status);
}

void evbfre(int id)
{
    if (temporaries().erase(id) != 0) vantu::store().entities.erase(id);
    vantu::trace_call("evbfre", std::to_string(id), 0);
}
