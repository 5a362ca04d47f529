// A procedure block written into the tool-path list the way the block writer lays it out (head,
// segments 24, 27, 23 and 25 of tagged records), for the tests of the routines that read it back.
#pragma once

#include "host/control.hpp"
#include "host/vantu.hpp"

#include <vector>

namespace proc_test {

struct proc_block {
    int number = 1, type = 50;
    std::vector<word> seg24, seg27, seg23, seg25;

    static void record(std::vector<word>& segment, int code, std::vector<word> values, int deftyp)
    {
        segment.push_back(code);
        segment.push_back(static_cast<word>(values.size()) + 1);
        segment.push_back(deftyp);
        segment.insert(segment.end(), values.begin(), values.end());
    }
    proc_block& global(int code, std::vector<word> values, int deftyp = 0)
    {
        record(seg24, code, std::move(values), deftyp);
        return *this;
    }
    // The numeric items the heights, versions and wire switches of CURCOM read: the clearance
    // height field (36), its flag (37), the tool-path version (43) and the two wire words (38, 39).
    proc_block& heights_and_wire(float clearance = 0.0f, word version = 700)
    {
        std::vector<word> field(24, 0);
        field[0] = real_to_word(clearance);
        return global(36, field, 10).global(37, {1}).global(43, {version}).global(38, {0}).global(39, {0});
    }
    proc_block& flag(int code, word value)
    {
        record(seg27, code, {value}, 0);
        return *this;
    }

    std::vector<word> words() const
    {
        std::vector<word> w = {12, number, type};
        for (const auto& [code, segment] : {std::pair{24, &seg24}, {27, &seg27}, {23, &seg23}, {25, &seg25}}) {
            w.push_back(code);
            w.push_back(static_cast<word>(segment->size()));
            w.insert(w.end(), segment->begin(), segment->end());
        }
        return w;
    }
    // Appends the block as a closed list line and leaves the list on it.
    void append() const
    {
        const std::vector<word> w = words();
        int status = 0;
        lcreat(1, status);
        lputd(static_cast<int>(w.size()), w.data(), status);
        lclos(status);
        lacces(0, status);
    }
};

inline word r(float value) { return real_to_word(value); }

}  // namespace proc_test
