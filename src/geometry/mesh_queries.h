// Questions about a host mesh or effect: nearest ray hits, neighbour points, target counts, and the
// closest point of a triangle.
#pragma once

#include <cstdint>

#include "korrin_host_services.h"

int32_t vantic_RayIntersectPolygon(const double *o, const double *d, KorrinItem mesh, int32_t poly, double *t,
                                   int32_t *points, double *weights, int32_t cull);
int32_t vantic_RayIntersectTarget(const double *o, const double *d, KorrinItem mesh, double *t, int32_t *poly,
                                  int32_t *points, double *weights, int32_t cull);
int32_t *vantic_GetNeighbourPoints(KorrinItem mesh, int32_t point, int32_t *count);
int32_t vantic_EffectTargetCount(KorrinItem effect);
double vantic_PointOnTri(const double *p, const double *a, const double *b, const double *c, double *closest,
                         double *weights);
