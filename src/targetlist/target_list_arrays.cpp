#include "targetlist/target_list_arrays.h"

#include <cstdlib>

#include "binding/host_table.h"
#include "targetlist/target_list.h"

namespace vantic {

namespace {

// calloc that never asks for zero bytes: an empty list still gets (empty) arrays, which is not a
// failed allocation.
void *ZeroFilled(size_t count, uint64_t size) {
    if (count == 0 || size == 0) return std::calloc(1, 1);
    if (size > SIZE_MAX) return nullptr;
    return std::calloc(count, static_cast<size_t>(size));
}

}  // namespace

void TargetListMessage(KorrinItem item, const char *text) {
    FX(fxMessageSend)(item, "TargetList.c", KORRIN_MESSAGE_ERROR, text, "Error");
}

bool AllocateTargetArrays(const TargetList *list, int32_t count, uint32_t **ids, void **data) {
    const size_t n = static_cast<size_t>(count > 0 ? count : 0);
    *ids = static_cast<uint32_t *>(ZeroFilled(n, sizeof(uint32_t)));
    if (!*ids) TargetListMessage(list->objectid, "Couldn't allocate TargetList->targetid");
    *data = ZeroFilled(n, list->datasize);
    if (!*data) TargetListMessage(list->objectid, "Couldn't allocate TargetList->targetdata");
    if (*ids && *data) return true;
    std::free(*ids);
    std::free(*data);
    *ids = nullptr;
    *data = nullptr;
    return false;
}

void InitElement(const TargetList *list, void *block, int32_t index, uint32_t id) {
    if (list->initdata) list->initdata(block, index, id, list->userdata);
}

void FreeElement(const TargetList *list, void *block, int32_t index, uint32_t id) {
    if (list->freedata) list->freedata(block, index, id, list->userdata);
}

void CopyElement(const TargetList *list, void *from, int32_t fromIndex, void *to, int32_t toIndex) {
    if (list->copydata) list->copydata(from, fromIndex, to, toIndex, list->userdata);
}

namespace {

// Moves count entries from position from of the old arrays to position to of the new ones, in
// ascending order: the id, then the element through the copy callback.
void MoveEntries(const TargetList *list, uint32_t *ids, void *data, int32_t from, int32_t to, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        ids[to + i] = list->targetid[from + i];
        CopyElement(list, list->targetdata, from + i, data, to + i);
    }
}

// The new arrays take the old ones' place; the old blocks are released with plain free, their
// elements having moved.
void ReplaceArrays(TargetList *list, uint32_t *ids, void *data) {
    std::free(list->targetid);
    std::free(list->targetdata);
    list->targetid = ids;
    list->targetdata = data;
}

}  // namespace

TargetEdit AppendTarget(TargetList *list, KorrinItem target) {
    const int32_t old = list->numtargets;
    uint32_t *ids = nullptr;
    void *data = nullptr;
    if (!AllocateTargetArrays(list, old + 1, &ids, &data)) return TargetEdit::NoMemory;
    list->numtargets = old + 1;  // callbacks already see the new count
    MoveEntries(list, ids, data, 0, 0, old);
    ids[old] = target;
    InitElement(list, data, old, target);
    ReplaceArrays(list, ids, data);
    return TargetEdit::Done;
}

TargetEdit RemoveTarget(TargetList *list, KorrinItem target) {
    const int32_t k = vantic_FindTargetOrder(list, target);
    if (k < 0) return TargetEdit::Absent;
    const int32_t old = list->numtargets;
    uint32_t *ids = nullptr;
    void *data = nullptr;
    if (!AllocateTargetArrays(list, old - 1, &ids, &data)) return TargetEdit::NoMemory;
    list->numtargets = old - 1;  // callbacks already see the new count
    MoveEntries(list, ids, data, 0, 0, k);
    MoveEntries(list, ids, data, k + 1, k, old - 1 - k);
    // The removed element is released in the old block, after every copy.
    FreeElement(list, list->targetdata, k, target);
    ReplaceArrays(list, ids, data);
    return TargetEdit::Done;
}

}  // namespace vantic
