// The length of a NURBS curve without weights (a B-spline), as the time estimate measures NURBS
// motion blocks.
#pragma once

// order k (degree k - 1), count n control points; knots holds n + k non-decreasing values and
// points 3 n coordinates.
struct nurbs_record {
    int order = 0;
    int count = 0;
    const double* knots = nullptr;
    const double* points = nullptr;
};

// The curve's length over its whole parameter range, within `tolerance` (absolute, in the curve's
// length unit): each knot span is integrated with five-point Gauss-Legendre quadrature of the
// speed |C'(u)| and halved until the two halves agree with the whole within that span's share of
// the tolerance. Status 0; -1 for an order below 2, fewer points than the order, knots that
// decrease or are not finite, coordinates that are not finite, or a tolerance not above 0
// (length 0).
void nb_lng(const nurbs_record& curve, double tolerance, double& length, int& status);
