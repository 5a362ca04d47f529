// Temporary curves the display and the motion fitting build and free again: a B-spline from its
// order, knots and control points, as a spline entity (class 1, type 7) that the curve calls
// evaluate and crvpld2 turns into points.
#pragma once

// Builds the spline: kind -1 (temporary) and dimension 3 are the only forms; order k (2 to 8),
// count n >= k control points (3 n floats, world coordinates) and n + k knots. id answers the new
// entity. Status 0; -1 for another form, bad counts or knots (nothing made).
void evbcre_bsp(int kind, int dimension, int order, int count, const float* knots, const float* points, int& id,
                int& status);
// Frees a temporary curve made by evbcre_bsp; any other id is left alone.
void evbfre(int id);
// The point of temporary curve id closest to point, searched between the parameters t0 and t1
// (taken within the curve's range): closest, its parameter and its distance. Status 0; -1 for an
// id that is no temporary curve of evbcre_bsp or a range that is not finite.
void cptcrv2(int id, const double* point, double t0, double t1, double* closest, double& parameter, double& distance,
             int& status);

// The point (and, for derivatives 1, the first derivative after it: 6 values) of temporary curve
// id at parameter t, taken within the curve's range. Status 0; -1 for an id that is no temporary
// curve, a derivative count other than 0 or 1, or a t that is not a number (nothing written).
void evbcrv(int id, double t, int derivatives, double* values, int& status);

// The piece of temporary curve id between the parameters t0 < t1 (taken within its range) as a
// B-spline of its own: the same order, count control points (3 doubles each, world coordinates)
// and count + order knots running from t0 to t1, so that it passes through the same points as
// the curve over that range. room counts control points. Status 0; -1 for an id that is no
// temporary curve or t0 not below t1; -2 when more than room control points are needed (nothing
// written, count answers the need).
void bcrtrme(int id, double t0, double t1, int room, int& order, int& count, double* knots, double* control,
             int& status);
