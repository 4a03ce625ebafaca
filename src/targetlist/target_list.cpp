#include "targetlist/target_list.h"

#include <cstdlib>

#include "binding/data_keys.h"
#include "binding/effect_targets.h"
#include "binding/host_table.h"
#include "targetlist/target_list_arrays.h"

using vantic::TargetEdit;

TargetList *vantic_CreateTargetList(KorrinItem objectid, uint32_t dataid, int32_t fill,
                                    TargetListElementCallback initdata, TargetListElementCallback freedata,
                                    TargetListCopyCallback copydata, uint64_t datasize, void *userdata) {
    int32_t n = 0;
    if (fill == 1) n = vantic::CountEffectTargets(objectid);
    if (n < 0) n = 0;
    TargetList *list = static_cast<TargetList *>(std::calloc(1, sizeof(TargetList)));
    if (!list) {
        vantic::TargetListMessage(0, "Couldn't allocate TargetList");
        return nullptr;
    }
    list->objectid = objectid;
    list->dataid = dataid;
    list->numtargets = n;
    list->initdata = initdata;
    list->freedata = freedata;
    list->copydata = copydata;
    list->datasize = datasize;
    list->userdata = userdata;
    if (n != 0) {
        uint32_t *ids = nullptr;
        void *data = nullptr;
        // Without its arrays the record could not keep its count: nothing is made or attached.
        if (!vantic::AllocateTargetArrays(list, n, &ids, &data)) {
            std::free(list);
            return nullptr;
        }
        list->targetid = ids;
        list->targetdata = data;
    }
    if (fill == 1) {
        vantic::ReadEffectTargets(objectid, n, list->targetid);
        for (int32_t i = 0; i < n; ++i) vantic::InitElement(list, list->targetdata, i, list->targetid[i]);
    }
    FX(fxDataSet)(objectid, vantic::kModuleDataKey, dataid, list);
    return list;
}

int32_t vantic_DeleteTargetList(TargetList *list) {
    if (!list) return 0;
    FX(fxDataFree)(list->objectid, vantic::kModuleDataKey, list->dataid);
    if (list->targetdata) {
        for (int32_t i = 0; i < list->numtargets; ++i)
            vantic::FreeElement(list, list->targetdata, i, list->targetid ? list->targetid[i] : 0);
        std::free(list->targetdata);
    }
    std::free(list->targetid);
    std::free(list);
    return 1;
}

TargetList *vantic_FetchTargetList(KorrinItem objectid, uint32_t dataid) {
    void *list = FX(fxDataGet)(objectid, vantic::kModuleDataKey, dataid);
    if (!list) vantic::TargetListMessage(objectid, "Couldn't fetch TargetList data!");
    return static_cast<TargetList *>(list);
}

int32_t vantic_FindTargetOrder(const TargetList *list, KorrinItem targetId) {
    if (!list || !list->targetid) return -1;
    for (int32_t i = 0; i < list->numtargets; ++i)
        if (list->targetid[i] == targetId) return i;
    return -1;
}

int32_t vantic_TargetListAddTarget(TargetList *list, KorrinItem targetId) {
    if (!list) return 0;
    return vantic::AppendTarget(list, targetId) == TargetEdit::Done ? 1 : 0;
}

int32_t vantic_TargetListRemoveTarget(TargetList *list, KorrinItem targetId) {
    if (!list) return 0;
    return vantic::RemoveTarget(list, targetId) == TargetEdit::Done ? 1 : 0;
}

int32_t vantic_TargetListReplaceTarget(TargetList *list, KorrinItem newId, KorrinItem oldId) {
    if (!list) return 0;
    // Removing the old target after a failed addition would lose it without a replacement.
    if (vantic::AppendTarget(list, newId) != TargetEdit::Done) return 0;
    vantic::RemoveTarget(list, oldId);
    return 1;
}

int32_t vantic_TargetListSwitchTargetOrder(TargetList *list, KorrinItem a, KorrinItem b) {
    if (!list) return 0;
    const int32_t ia = vantic_FindTargetOrder(list, a);
    const int32_t ib = vantic_FindTargetOrder(list, b);
    void *scratch = nullptr;
    if (ia >= 0 && ib >= 0 && ia != ib)
        scratch = std::malloc(list->datasize > 0 && list->datasize <= SIZE_MAX ? static_cast<size_t>(list->datasize)
                                                                              : 1);
    if (!scratch) {
        vantic::TargetListMessage(list->objectid, "Couldn't switch TargetList order");
        return 0;
    }
    const uint32_t id = list->targetid[ia];
    list->targetid[ia] = list->targetid[ib];
    list->targetid[ib] = id;
    vantic::CopyElement(list, list->targetdata, ia, scratch, 0);
    vantic::CopyElement(list, list->targetdata, ib, list->targetdata, ia);
    vantic::CopyElement(list, scratch, 0, list->targetdata, ib);
    std::free(scratch);
    return 1;
}
