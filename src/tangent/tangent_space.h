// Tangent spaces: an orthonormal frame per point of a mesh, re-evaluated from smoothed positions.
#pragma once

#include <cstdint>

#include "korrin_host_services.h"
#include "vanticAPI.h"

TangentSpace *vantic_CreateTangentSpace(KorrinItem objectId, uint32_t dataId);
TangentSpace *vantic_FetchTangentSpace(KorrinItem objectId, uint32_t dataId);
void vantic_DeleteTangentSpace(KorrinItem objectId, uint32_t dataId, TangentSpace *space);
void vantic_TangentSpaceCalculate(TangentSpace *space);
void vantic_TangentGetMatrix(const TangentSpace *space, int32_t point, double *matrix);
