// The drawing helper of the default-symbol class routines: lines, arcs and circles into the next
// slots of the symbol list, stopping at the first failure (later calls then draw nothing and the
// pen keeps the failing status for the routine to return).
#pragma once

#include "tools/default_symbol.hpp"

#include <array>
#include <cmath>

using sym_point = std::array<float, 3>;

struct symbol_pen {
    symbol_list& list;
    int status = 0;

    // The slot the next entity goes into.
    int next() const { return list.count; }
    // Draws and answers the slot used (0 after a failure).
    int line(const sym_point& a, const sym_point& b)
    {
        if (status != 0) return 0;
        const float start[3] = {a[0], a[1], a[2]}, end[3] = {b[0], b[1], b[2]};
        const int slot = list.count;
        sym_slot_line(list, start, end, status);
        return status == 0 ? slot : 0;
    }
    int arc(const sym_point& centre, float radius, float start_angle, float sweep_angle)
    {
        if (status != 0) return 0;
        const float c[3] = {centre[0], centre[1], centre[2]};
        const int slot = list.count;
        sym_slot_arc(list, c, radius, start_angle, sweep_angle, status);
        return status == 0 ? slot : 0;
    }
    int circle(const sym_point& centre, float radius) { return arc(centre, radius, 0.0f, 360.0f); }
    // Redraws the line in an earlier slot, the fill count left where it stood.
    void replace_line(int slot, const sym_point& a, const sym_point& b)
    {
        if (status != 0) return;
        const int count = list.count;
        list.count = slot;
        line(a, b);
        list.count = count;
    }
    // Takes an entity made elsewhere into the next slot.
    void keep(int id)
    {
        if (status != 0) return;
        if (list.count < 1 || list.count > kSymbolSlots) {
            status = -5;
            return;
        }
        list.slot(list.count++) = id;
    }
    void attribute(int first, int last, const char* key, int value)
    {
        sym_slots_attribute(list, first, last, key, value);
    }
};

inline sym_point plus(const sym_point& a, const sym_point& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline sym_point minus(const sym_point& a, const sym_point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline sym_point times(const sym_point& a, float s) { return {a[0] * s, a[1] * s, a[2] * s}; }
inline sym_point middle(const sym_point& a, const sym_point& b) { return times(plus(a, b), 0.5f); }
