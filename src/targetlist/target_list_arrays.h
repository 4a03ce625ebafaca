// What the target-list functions share: the message, the paired arrays and the two edits
// that rebuild them (append one target, remove one).
#pragma once

#include <cstdint>

#include "korrin_host_services.h"
#include "vanticAPI.h"

namespace vantic {

// fxMessageSend(item, "TargetList.c", KORRIN_MESSAGE_ERROR, text, "Error"). Contract: the sender, the
// kind and every text passed here are what clients read in the host's message log; keep them as they are.
void TargetListMessage(KorrinItem item, const char *text);

// New zero-filled id array and data block for count targets, both or neither (each failure sends its
// message with the list's object id).
bool AllocateTargetArrays(const TargetList *list, int32_t count, uint32_t **ids, void **data);

// The element callbacks; a client may leave any of them null.
void InitElement(const TargetList *list, void *block, int32_t index, uint32_t id);
void FreeElement(const TargetList *list, void *block, int32_t index, uint32_t id);
void CopyElement(const TargetList *list, void *from, int32_t fromIndex, void *to, int32_t toIndex);

enum class TargetEdit { Done, Absent, NoMemory };

// Grows the list by one: every element moves to new arrays, the target is appended and initialised.
// NoMemory leaves the list as it was.
TargetEdit AppendTarget(TargetList *list, KorrinItem target);
// Removes the first entry of the target: the others move to new arrays, then its element is freed in
// the old block. Absent and NoMemory leave the list as it was.
TargetEdit RemoveTarget(TargetList *list, KorrinItem target);

}  // namespace vantic
