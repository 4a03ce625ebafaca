// Target lists: the targets of one host effect, in the effect's order, with one block of client data
// per target that the client's callbacks set up, release and move.
#pragma once

#include <cstdint>

#include "korrin_host_services.h"
#include "vanticAPI.h"

TargetList *vantic_CreateTargetList(KorrinItem objectid, uint32_t dataid, int32_t fill,
                                    TargetListElementCallback initdata, TargetListElementCallback freedata,
                                    TargetListCopyCallback copydata, uint64_t datasize, void *userdata);
int32_t vantic_DeleteTargetList(TargetList *list);
TargetList *vantic_FetchTargetList(KorrinItem objectid, uint32_t dataid);
int32_t vantic_TargetListAddTarget(TargetList *list, KorrinItem targetId);
int32_t vantic_TargetListRemoveTarget(TargetList *list, KorrinItem targetId);
int32_t vantic_TargetListReplaceTarget(TargetList *list, KorrinItem newId, KorrinItem oldId);
int32_t vantic_TargetListSwitchTargetOrder(TargetList *list, KorrinItem a, KorrinItem b);
int32_t vantic_FindTargetOrder(const TargetList *list, KorrinItem targetId);
int32_t vantic_TargetListEffectUpdate(TargetList *list);
