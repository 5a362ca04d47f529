// Single-precision vector and matrix routines of the host. The cutter-location kernels call them
// once or more per triangle, so they count themselves through call-site counters and allocate
// nothing; products and inversions are formed in double and rounded once.
#include "host/vantu_vector_s.hpp"

#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <cmath>

using vantu::kRealNoLength;

void v2sub(const float* a, const float* b, float* difference)
{
    VANTU_COUNT("v2sub");
    difference[0] = a[0] - b[0];
    difference[1] = a[1] - b[1];
}

void v3sub(const float* a, const float* b, float* difference)
{
    VANTU_COUNT("v3sub");
    for (int k = 0; k < 3; ++k) difference[k] = a[k] - b[k];
}

// Shared by the add and scale routines: result = point + factor * vector over n coordinates,
// each formed in double and rounded once (a null point adds nothing).
static void add_scaled(int n, const float* point, const float* vector, float factor, float* result)
{
    for (int k = 0; k < n; ++k) {
        const double base = point ? point[k] : 0.0;
        result[k] = static_cast<float>(base + static_cast<double>(factor) * vector[k]);
    }
}

void v2add(const float* point, const float* vector, float factor, float* result)
{
    VANTU_COUNT("v2add");
    add_scaled(2, point, vector, factor, result);
}

void v3add(const float* point, const float* vector, float factor, float* result)
{
    VANTU_COUNT("v3add");
    add_scaled(3, point, vector, factor, result);
}

void v2scal(const float* vector, float factor, float* result)
{
    VANTU_COUNT("v2scal");
    add_scaled(2, nullptr, vector, factor, result);
}

void v3scal(const float* vector, float factor, float* result)
{
    VANTU_COUNT("v3scal");
    add_scaled(3, nullptr, vector, factor, result);
}

// (1 - t) a + t b in double, so that t = 0 and t = 1 give a and b exactly.
static void between(const float* a, const float* b, float t, float* result)
{
    for (int k = 0; k < 3; ++k)
        result[k] = static_cast<float>((1.0 - t) * static_cast<double>(a[k]) + static_cast<double>(t) * b[k]);
}

void v3btp(const float* a, const float* b, float t, float* result)
{
    VANTU_COUNT("v3btp");
    between(a, b, t, result);
}

static void unit_in_place(int n, float* vector, float& length, int& status);

void v3btpn(const float* a, const float* b, float t, float* result, int& status)
{
    VANTU_COUNT("v3btpn");
    between(a, b, t, result);
    float length = 0.0f;
    unit_in_place(3, result, length, status);
}

static double dot(int n, const float* a, const float* b)
{
    double sum = 0.0;
    for (int k = 0; k < n; ++k) sum += static_cast<double>(a[k]) * b[k];
    return sum;
}

float v2dot(const float* a, const float* b)
{
    VANTU_COUNT("v2dot");
    return static_cast<float>(dot(2, a, b));
}

float v3dot(const float* a, const float* b)
{
    VANTU_COUNT("v3dot");
    return static_cast<float>(dot(3, a, b));
}

float v2cros(const float* a, const float* b)
{
    VANTU_COUNT("v2cros");
    return static_cast<float>(static_cast<double>(a[0]) * b[1] - static_cast<double>(a[1]) * b[0]);
}

float v3size(const float* vector)
{
    VANTU_COUNT("v3size");
    return static_cast<float>(std::sqrt(dot(3, vector, vector)));
}

float dist3(const float* p, const float* q)
{
    VANTU_COUNT("dist3");
    double sum = 0.0;
    for (int k = 0; k < 3; ++k) sum += std::pow(static_cast<double>(p[k]) - q[k], 2);
    return static_cast<float>(std::sqrt(sum));
}

float sqrt1(float value, float tolerance)
{
    VANTU_COUNT("sqrt1");
    if (!(value > tolerance) || !(value > 0.0f)) return 0.0f;
    return std::sqrt(value);
}

void v3cros(const float* a, const float* b, float* cross)
{
    VANTU_COUNT("v3cros");
    const double x = static_cast<double>(a[1]) * b[2] - static_cast<double>(a[2]) * b[1];
    const double y = static_cast<double>(a[2]) * b[0] - static_cast<double>(a[0]) * b[2];
    const double z = static_cast<double>(a[0]) * b[1] - static_cast<double>(a[1]) * b[0];
    cross[0] = static_cast<float>(x);
    cross[1] = static_cast<float>(y);
    cross[2] = static_cast<float>(z);
}

// Shared by the unit-vector routines: normalise n coordinates unless the vector has no length.
static void unit_in_place(int n, float* vector, float& length, int& status)
{
    double sum = 0.0;
    for (int k = 0; k < n; ++k) sum += static_cast<double>(vector[k]) * vector[k];
    const double exact = std::sqrt(sum);
    length = static_cast<float>(exact);
    if (!(exact > kRealNoLength)) {
        status = -1;
        return;
    }
    for (int k = 0; k < n; ++k) vector[k] = static_cast<float>(vector[k] / exact);
    status = 0;
}

void v2unit(float* vector, float& length, int& status)
{
    VANTU_COUNT("v2unit");
    unit_in_place(2, vector, length, status);
}

void v3unit(float* vector, float& length, int& status)
{
    VANTU_COUNT("v3unit");
    unit_in_place(3, vector, length, status);
}

float dist2(const float* p, const float* q)
{
    VANTU_COUNT("dist2");
    return static_cast<float>(
        std::sqrt(std::pow(static_cast<double>(p[0]) - q[0], 2) + std::pow(static_cast<double>(p[1]) - q[1], 2)));
}

void m3vec(const float* matrix, const float* vector, float* result)
{
    VANTU_COUNT("m3vec");
    double out[3];
    for (int row = 0; row < 3; ++row)
        out[row] = static_cast<double>(matrix[3 * row]) * vector[0] +
                   static_cast<double>(matrix[3 * row + 1]) * vector[1] +
                   static_cast<double>(matrix[3 * row + 2]) * vector[2];
    for (int row = 0; row < 3; ++row) result[row] = static_cast<float>(out[row]);
}

void m3inv(const float* matrix, float* inverse, int& status)
{
    VANTU_COUNT("m3inv");
    if (auto fault = vantu::fault_hit("m3inv")) {
        status = *fault;
        return;
    }
    double m[9];
    for (int k = 0; k < 9; ++k) m[k] = matrix[k];
    // Cofactors of the first row give the determinant; the adjugate is the transposed cofactors.
    double adjugate[9] = {
        m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
        m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
        m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3],
    };
    const double determinant = m[0] * adjugate[0] + m[1] * adjugate[3] + m[2] * adjugate[6];
    if (!(std::fabs(determinant) > vantu::kRealSingularDeterminant)) {
        status = -1;
        return;
    }
    for (int k = 0; k < 9; ++k) inverse[k] = static_cast<float>(adjugate[k] / determinant);
    status = 0;
}

void plrot(const float* plane, float* matrix, int& status)
{
    VANTU_COUNT("plrot");
    const double length =
        std::sqrt(static_cast<double>(plane[0]) * plane[0] + static_cast<double>(plane[1]) * plane[1] +
                  static_cast<double>(plane[2]) * plane[2]);
    if (!(length > kRealNoLength)) {
        status = -1;
        return;
    }
    const double a[3] = {plane[0] / length, plane[1] / length, plane[2] / length};
    double r[9];
    // Below this 1 + cos, the normal is -z: the formula below would divide by nearly zero, and a
    // half turn about x is a rotation that takes it to +z.
    constexpr double kOpposite = 1.0e-12;
    const double c = a[2];
    if (1.0 + c <= kOpposite) {
        const double half_turn[9] = {1, 0, 0, 0, -1, 0, 0, 0, -1};
        for (int k = 0; k < 9; ++k) r[k] = half_turn[k];
    } else {
        // Rotation about v = a x z = (a.y, -a.x, 0) by the angle between a and z (Rodrigues):
        // R = I + [v]x + [v]x^2 / (1 + c).
        const double vx = a[1], vy = -a[0];
        const double k = 1.0 / (1.0 + c);
        r[0] = 1.0 - vy * vy * k;
        r[1] = vx * vy * k;
        r[2] = vy;
        r[3] = vx * vy * k;
        r[4] = 1.0 - vx * vx * k;
        r[5] = -vx;
        r[6] = -vy;
        r[7] = vx;
        r[8] = 1.0 - (vx * vx + vy * vy) * k;
    }
    for (int k = 0; k < 9; ++k) matrix[k] = static_cast<float>(r[k]);
    status = 0;
}

void revdim(float* values, int dimension, int count)
{
    VANTU_COUNT("revdim");
    if (dimension < 1 || count < 2) return;
    for (int low = 0, high = count - 1; low < high; ++low, --high)
        std::swap_ranges(values + low * dimension, values + (low + 1) * dimension, values + high * dimension);
}

void revi(int* values, int count)
{
    VANTU_COUNT("revi");
    if (count > 1) std::reverse(values, values + count);
}

float radian(float degrees)
{
    VANTU_COUNT("radian");
    return static_cast<float>(static_cast<double>(degrees) * M_PI / 180.0);
}
