// The selection list in runs (see host/core/selection_runs.hpp).
#include "host/core/selection_runs.hpp"

#include "host/core/run_rotation.hpp"

#include <utility>

namespace vantu {

namespace {

bool same(const control::selection_entry& a, const control::selection_entry& b)
{
    return a.entity == b.entity && a.kind == b.kind && a.point == b.point;
}

control::selection_entry as_is(const control::selection_entry& e) { return e; }

}  // namespace

std::size_t selection_runs::run::place(std::size_t k) const
{
    const std::size_t n = items->size();
    return backwards ? (first + n - k % n) % n : (first + k) % n;
}

control::selection_entry selection_runs::run::operator[](std::size_t k) const { return (*items)[place(k)]; }

bool selection_runs::run::open() const
{
    return first == 0 && !backwards && count == items->size() && items.use_count() == 1;
}

void selection_runs::push(const control::selection_entry& e)
{
    ++size_;
    if (!runs_.empty() && runs_.back().open()) {
        runs_.back().items->push_back(e);
        ++runs_.back().count;
        return;
    }
    runs_.push_back({std::make_shared<std::vector<control::selection_entry>>(1, e), 0, 1, false});
}

void selection_runs::push_loop(std::vector<control::selection_entry> entries)
{
    if (entries.empty()) return;
    size_ += entries.size();
    if (!runs_.empty() && runs_.back().count == runs_.back().items->size()) {
        const auto& items = runs_.back().items;
        if (const std::optional<run_place> at = rotation_in(*items, entries, same, as_is)) {
            runs_.push_back({items, at->first, entries.size(), at->backwards});
            return;
        }
    }
    const std::size_t count = entries.size();
    runs_.push_back({std::make_shared<std::vector<control::selection_entry>>(std::move(entries)), 0, count, false});
}

void selection_runs::erase(std::size_t from, std::size_t to)
{
    if (from >= to || to > size_) return;
    std::vector<run> kept;
    std::size_t start = 0;  // list place of the run's first entry
    for (const run& r : runs_) {
        const std::size_t end = start + r.count;
        if (end <= from || start >= to) {
            kept.push_back(r);
        } else {
            // The parts before and after the removed entries stay, as runs of the same items.
            if (from > start) kept.push_back({r.items, r.first, from - start, r.backwards});
            if (to < end) kept.push_back({r.items, r.place(to - start), end - to, r.backwards});
        }
        start = end;
    }
    size_ -= to - from;
    runs_ = std::move(kept);
}

void selection_runs::pop_back()
{
    if (runs_.empty()) return;
    run& last = runs_.back();
    if (last.open()) last.items->pop_back();
    --last.count;
    --size_;
    if (last.count == 0) runs_.pop_back();
}

std::vector<control::selection_entry> selection_runs::entries() const
{
    std::vector<control::selection_entry> all;
    all.reserve(size_);
    for (const run& r : runs_)
        for (std::size_t k = 0; k < r.count; ++k) all.push_back(r[k]);
    return all;
}

std::size_t selection_runs::stored() const
{
    std::size_t held = 0;
    const std::vector<control::selection_entry>* last = nullptr;
    for (const run& r : runs_) {
        // Runs of one array follow each other: a loop pushed again lies after the one it reads.
        if (r.items.get() != last) held += r.items->size();
        last = r.items.get();
    }
    return held;
}

}  // namespace vantu
