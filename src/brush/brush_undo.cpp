// Brush undo: the client keeps snapshots in a ring of slots; the brush ties the ring to the host's
// own undo through a key on channel 15 of its tool object that holds the current slot number.
#include "binding/host_table.h"
#include "brush/brush.h"
#include "brush/tool_object.h"

namespace {

using vantic::kUndoSlotChannel;

void WriteSlotKey(Brush *brush) {
    const double slot = brush->undoIndex;
    // The host brackets key edits with the same call before and after.
    FX(fxKeyEditBegin)(brush->action, brush->toolObject, 0);
    FX(fxKeyChannelsSet)(brush->toolObject, 0, kUndoSlotChannel, &slot, 0);
    FX(fxKeyEditBegin)(brush->action, brush->toolObject, 0);
}

}  // namespace

void vantic::BrushStoreUndo(Brush *brush) {
    if (!brush || !brush->undoStore) return;
    brush->undoStore(brush, brush->undoUserData, brush->undoIndex);
    brush->undoIndex = brush->undoIndex == brush->undoLevels - 1 ? 0 : brush->undoIndex + 1;
    WriteSlotKey(brush);
}

void vantic_BrushCheckUndo(Brush *brush) {
    if (!brush) return;
    // A host that writes nothing leaves the key equal to the slot: nothing to undo.
    double key = brush->undoIndex;
    FX(fxKeyChannelsGet)(brush->toolObject, 0, kUndoSlotChannel, &key, 0);
    if (key == static_cast<double>(brush->undoIndex) || !brush->undoRestore) return;
    brush->undoIndex = brush->undoIndex == 0 ? brush->undoLevels - 1 : brush->undoIndex - 1;
    WriteSlotKey(brush);
    brush->undoRestore(brush, brush->undoUserData, brush->undoIndex);
}
