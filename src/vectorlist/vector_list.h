// Lists of 3-vectors saved to and loaded from the host's scene-file argument stream, as one compact
// text cut into chunks. vantic_DeleteVectorList is the module's null-safe free (vantic_FreeTriangle).
#pragma once

#include <cstdint>

#include "korrin_host_services.h"

void vantic_SaveVectorList(const char *name, const double *vectors, int32_t count, KorrinHandle stream);
double *vantic_LoadVectorList(const char *name, int32_t *count, KorrinHandle stream);
