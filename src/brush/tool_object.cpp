// Creating the brush's tool object with its start values.
#include "brush/tool_object.h"

#include "binding/host_table.h"
#include "brush/brush.h"

namespace vantic {

void SetToolChannel(KorrinItem tool, int32_t channel, const double *values) {
    FX(fxKeyChannelsSet)(tool, 0, channel, values, KORRIN_CHANNEL_OWNED);
    FX(fxChannelsSet)(tool, channel, values, KORRIN_CHANNEL_OWNED);
}

void BrushCreateTool(Brush *brush) {
    if (!brush) return;
    // Contract: the host makes the tool from this type and name; saved scenes and clients see them.
    const KorrinItem tool = FX(fxToolCreate)("Procedural", "Brush", 0, 0);
    brush->toolObject = tool;

    // The tool object must not hang under whatever was current; put the current object back after.
    const KorrinItem current = FX(fxObjectCurrent)(0);
    FX(fxObjectDeselectAll)(0);
    FX(fxObjectSetCurrent)(tool, 0);
    int32_t unused = 0;
    FX(fxExpComputeInt)("unparentItems(0)", &unused);  // contract: a function the host's evaluator knows
    FX(fxObjectSetCurrent)(current, 0);

    FX(fxObjectDrawModeSet)(tool, "Edges", 0);  // contract: the host's draw-mode name
    // Contract: the host's channel codes 0 to 19 and their option bits 2 (cleared) and 1 (set), as
    // the host expects them on a tool object.
    for (int32_t code = 0; code < 20; ++code) {
        FX(fxChannelOptionsClear)(tool, code, 2);
        FX(fxChannelOptionsSet)(tool, code, 1);
    }
    // Contract: the start values of the tool's one-value channels, in this order; 13 and 16 to 19 are
    // the host's own channels with no name of their own here.
    static constexpr struct {
        int32_t code;
        double value;
    } kStart[] = {{KORRIN_CHANNEL_TOOL_SIZE_U, 1.0}, {KORRIN_CHANNEL_TOOL_SIZE_V, 1.0}, {16, 1.0}, {13, 0.0},
                  {kUndoSlotChannel, 0.0}, {18, 0.0}, {17, 0.01}, {19, 0.25}};
    for (const auto &channel : kStart) SetToolChannel(tool, channel.code, &channel.value);
    // The undo slot's key starts at slot 0.
    const double slot = 0.0;
    FX(fxKeyChannelsSet)(tool, 0, kUndoSlotChannel, &slot, KORRIN_CHANNEL_OWNED);
}

}  // namespace vantic
