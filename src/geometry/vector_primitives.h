// Stateless geometry on double[3] vectors: normals, barycentric coordinates, planes, ray tests.
#pragma once

#include <cstdint>

void vantic_Normalize(double *v);
void vantic_ComputeNormal(const double *p0, const double *p1, const double *p2, double *normal);
void vantic_ComputeBestFitNormal(const double *points, int32_t count, double *normal);
int32_t vantic_BarycentricCoordinates(const double *p, const double *a, const double *b, const double *c,
                                      const double *n, double *weights);
double *vantic_BarycentricToWorld(const double *weights, const double *a, const double *b, const double *c,
                                  double *out);
// out may be p itself.
double vantic_PointOnPlane(const double *p, const double *n, const double *q, double *out);
int32_t vantic_RayIntersectPlane(const double *o, const double *d, const double *n, const double *q, double *t,
                                 double *hit, int32_t cull);
int32_t vantic_RayIntersectTriangle(const double *o, const double *d, const double *a, const double *b,
                                    const double *c, double *t, double *weights, int32_t cull);
int32_t vantic_RayIntersectTriangle2(const double *o, const double *d, const double *a, const double *b,
                                     const double *c, double *t, double *weights, int32_t cull);
