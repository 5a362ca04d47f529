// The shank, holder and spindle block of a mill with holders: the pending holder action (add a
// larger or smaller holder, remove one) and the items of each entry of holder_set (entry 0 the
// shank, 1..n the holders, n + 1 the spindle).
#include "tools/tool_pages.hpp"

#include "host/vantu.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr int kAddLarger = 2, kAddSmaller = 3, kRemove = 4;
constexpr float kLow = 0, kHigh = 9999.9f, kLowestTotal = 0.5f;

using holder_arrays = std::array<std::array<float, kHolderSlots>*, 4>;

holder_arrays arrays_of(holder_set& h)
{
    return {&h.bottom_diameter, &h.top_diameter, &h.cone_height, &h.total_height};
}

// Moves entries from..last one place up (to from+1..last+1) in all four arrays.
void move_up(holder_set& h, int from, int last)
{
    for (auto* list : arrays_of(h))
        for (int k = last; k >= from; --k)
            (*list)[static_cast<std::size_t>(k + 1)] = (*list)[static_cast<std::size_t>(k)];
}

// Moves entries from..last one place down (to from-1..last-1).
void move_down(holder_set& h, int from, int last)
{
    for (auto* list : arrays_of(h))
        for (int k = from; k <= last; ++k)
            (*list)[static_cast<std::size_t>(k - 1)] = (*list)[static_cast<std::size_t>(k)];
}

void copy_entry(holder_set& h, int from, int to)
{
    for (auto* list : arrays_of(h)) (*list)[static_cast<std::size_t>(to)] = (*list)[static_cast<std::size_t>(from)];
}

// Carries out the pending action on holder i. Status -1 after its refusal.
void holder_action(holder_set& h, int action, int i, int& status)
{
    status = 0;
    const int n = h.count;
    if (i < 1 || i > n) return;
    if (action == kAddLarger || action == kAddSmaller) {
        if (n >= kMaxHolderCount) {
            userrc("TOO MANY HOLDERS");
            status = -1;
            return;
        }
        move_up(h, i, n + 1);  // the spindle entry moves with them
        h.count = n + 1;
        if (action == kAddSmaller) copy_entry(h, i - 1, i);
    } else if (action == kRemove) {
        if (n < 2) {
            userrc("TOO FEW HOLDERS");
            status = -1;
            return;
        }
        move_down(h, i + 1, n + 1);
        h.count = n - 1;
    }
}

void entry_values(form_builder& form, holder_set& h, int i)
{
    const auto k = static_cast<std::size_t>(i);
    form.real(1, kRealField, h.bottom_diameter[k], kLow, kHigh, kWatch);
    form.real(2, kRealField, h.top_diameter[k], kLow, kHigh, kWatch);
    form.real(3, kRealField, h.cone_height[k], kLow, kHigh, kWatch);
    form.real(4, kRealField, h.total_height[k], kLowestTotal, kHigh, kWatch);
}

}  // namespace

void holder_page(form_builder& form, int& status)
{
    holder_set& h = tool_holders();
    tool_page_choices& c = page_choices();
    h.count = std::clamp(h.count, 1, kMaxHolderCount);
    status = 0;
    if (c.pending_action != 0) {
        holder_action(h, c.pending_action, c.pending_holder, status);
        c.pending_action = 0;
        c.holder_actions.fill(1);
    }
    form.label_page = kHolderLabels;
    form.column();
    form.line("SHANK");
    if (h.shank_mode != 2) h.shank_mode = 1;
    if (!form.listing) form.titled(" S/M @STANDARD@MANUAL", h.shank_mode, kWatch);
    if (h.shank_mode == 1) {
        form.line("STANDARD");
        form.blank(3);
    } else {
        entry_values(form, h, 0);
    }
    for (int i = 1; i <= h.count; ++i) {
        form.column();
        if (!form.listing) form.line("HOLD.");
        const std::string title = " # " + std::to_string(i) + "@HOLDER     @ADD LARGER @ADD SMALLER@NONE";
        form.titled(title, c.holder_actions[static_cast<std::size_t>(i)], kWatch);
        entry_values(form, h, i);
    }
    form.column();
    form.line("SPIN.");
    if (h.second_mode != 2) h.second_mode = 1;
    if (!form.listing) form.line("NONE@ --- ", h.second_mode, kWatch);
    if (h.second_mode == 2)
        entry_values(form, h, h.count + 1);
    else
        form.blank(4);
}
