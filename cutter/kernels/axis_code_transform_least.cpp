// axis_code_transform, least version (see the header).
#include "cutter/kernels/axis_code_transform_least.hpp"

#include "host/vantu_vector.hpp"

void axis_code_transform(const int& code, const double* matrix, const double* in, double* out)
{
    if (code == 0) {
        m3vecd(matrix, in, out);
        return;
    }
    double x = in[0], y = in[1];
    const double z = in[2];
    if (code >= -3 && code <= 3) {
        const int quarter_turns = (code + 4) % 4;  // -1 turns back: three quarter turns forward
        for (int k = 0; k < quarter_turns; ++k) {
            const double turned = -y;
            y = x;
            x = turned;
        }
    }
    out[0] = x;
    out[1] = y;
    out[2] = z;
}
