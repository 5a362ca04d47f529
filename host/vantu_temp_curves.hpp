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
void cptcrv2(int id, const double* point, double t0, double t1, double* closest, double& parameter,
             double& distance, int& status);
