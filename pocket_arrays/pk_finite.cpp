// Finiteness of a pocket array's numbers, for the kernel's entry points.
#include "pocket_arrays/pk_finite.hpp"

#include <cmath>

bool pokarr_finite(const pokarr& array)
{
    if (array.x == nullptr) return true;
    for (int i = 0; i < array.count; ++i) {
        if (!std::isfinite(array.x[i])) return false;
        if (array.y != nullptr && !std::isfinite(array.y[i])) return false;
        if (array.z != nullptr && !std::isfinite(array.z[i])) return false;
        if (array.n != nullptr)
            for (int k = 0; k < 3; ++k)
                if (!std::isfinite(array.n[3L * i + k])) return false;
    }
    return true;
}
