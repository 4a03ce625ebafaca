#include "targetlist/target_list_arrays.h"

#include <cstdlib>

#include "frame/host_table.h"
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
    FX(fxMessageSend)(item, "TargetList.c", 256, text, "Error");
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

TargetEdit AppendTarget(TargetList *list, KorrinItem target) {
    const int32_t old = list->numtargets;
    uint32_t *ids = nullptr;
    void *data = nullptr;
    if (!AllocateTargetArrays(list, old + 1, &ids, &data)) return TargetEdit::NoMemory;
    uint32_t *oldIds = list->targetid;
    void *oldData = list->targetdata;
    list->numtargets = old + 1;
    for (int32_t i = 0; i < old; ++i) {
        ids[i] = oldIds[i];
        CopyElement(list, oldData, i, data, i);
    }
    ids[old] = target;
    InitElement(list, data, old, target);
    std::free(oldIds);
    std::free(oldData);
    list->targetid = ids;
    list->targetdata = data;
    return TargetEdit::Done;
}

TargetEdit RemoveTarget(TargetList *list, KorrinItem target) {
    const int32_t k = vantic_FindTargetOrder(list, target);
    if (k < 0) return TargetEdit::Absent;
    const int32_t old = list->numtargets;
    uint32_t *ids = nullptr;
    void *data = nullptr;
    if (!AllocateTargetArrays(list, old - 1, &ids, &data)) return TargetEdit::NoMemory;
    uint32_t *oldIds = list->targetid;
    void *oldData = list->targetdata;
    list->numtargets = old - 1;
    for (int32_t i = 0; i < k; ++i) {
        ids[i] = oldIds[i];
        CopyElement(list, oldData, i, data, i);
    }
    for (int32_t i = k; i < old - 1; ++i) {
        ids[i] = oldIds[i + 1];
        CopyElement(list, oldData, i + 1, data, i);
    }
    FreeElement(list, oldData, k, target);
    std::free(oldIds);
    std::free(oldData);
    list->targetid = ids;
    list->targetdata = data;
    return TargetEdit::Done;
}

}  // namespace vantic
