// How many motion blocks (level 2 and below) the tool path's display file holds under each address,
// so that looking up a block the file does not show answers at once (host/core/ncd_state.hpp).
// Motion blocks are numbered from 1 up within their procedure, so a procedure's counts are an
// array indexed by block number, four bytes a block; a number far beyond its procedure's blocks
// (a file edited into gaps, a number the module made up) is counted in a map instead, so that no
// address makes an array long. Internal to the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vantu::ncd {

class motion_counts {
public:
    // Blocks held under the address.
    int count(int block1, int block2) const;
    // Counts `change` blocks into (positive) or out of (negative) the address.
    void add(int block1, int block2, int change);

private:
    struct procedure_counts {
        std::vector<int> by_number;  // index: block number
        long long held = 0;          // blocks of the procedure in by_number
    };
    std::unordered_map<int, procedure_counts> procedures_;
    std::unordered_map<std::uint64_t, int> scattered_;  // by procedure and block number
};

}  // namespace vantu::ncd
