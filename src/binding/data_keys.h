// The keys the module's records hang on host items under (fxDataSet / fxDataGet / fxDataFree).
#pragma once

namespace vantic {

// Target lists and tangent spaces, with the client's data id. Contract: clients and saved scenes
// find the records under this text.
constexpr const char *kModuleDataKey = "VanticAPIpointerDataKey";

// The brush's own state on its action, data id 0. Contract: saved scenes carry it.
constexpr const char *kBrushAttachmentKey = "BrushPointerUsedToAttachData";

}  // namespace vantic
