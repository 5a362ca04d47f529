// The host's selection list kept in runs (host/selection.cpp). Picking a loop curve by curve
// highlights the whole loop at every pick, each time begun at the picked curve: a loop pushed as
// the run before it read from another entry (or backwards) is kept as a view of that run, so the
// list takes room linear in the loop instead of a copy per pick. Internal to the host.
#pragma once

#include "host/control/selection.hpp"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace vantu {

class selection_runs {
public:
    std::size_t size() const { return size_; }
    void push(const control::selection_entry& e);
    // Pushes the entries of one loop, as a view of the last run when they read as it does.
    void push_loop(std::vector<control::selection_entry> entries);
    // Removes entries [from, to) (0-based).
    void erase(std::size_t from, std::size_t to);
    void pop_back();
    std::vector<control::selection_entry> entries() const;
    // Entries held in the runs' own arrays, each array counted once.
    std::size_t stored() const;

private:
    // `count` entries of `items` from place `first` on, round its end, or backwards.
    struct run {
        std::shared_ptr<std::vector<control::selection_entry>> items;
        std::size_t first = 0, count = 0;
        bool backwards = false;
        control::selection_entry operator[](std::size_t k) const;
        // The place of entry k in items.
        std::size_t place(std::size_t k) const;
        // Whether the run is the whole of items and alone in reading it, so it may grow.
        bool open() const;
    };
    std::vector<run> runs_;
    std::size_t size_ = 0;
};

// slpsh3's checks and trace: the entry of a curve pushed with a point, or nothing (status set).
std::optional<control::selection_entry> checked_curve_entry(int entity, const float* point, int& status);
// Pushes a chain's highlighted curves (see selection_runs::push_loop).
void push_selection_loop(std::vector<control::selection_entry> entries);

}  // namespace vantu
