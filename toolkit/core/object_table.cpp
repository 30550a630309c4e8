// Numbered object tables: explicit numbers index a growable slot array of
// reused records; ANY_NUMBER records live in a list and are numbered by address.
#include "toolkit/core/object_table.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/record_list.h"
#include <string.h>
#include <windows.h>

struct ObjectTable {
    uint32_t recordSize;
    uint32_t growthStep;
    uint32_t slotCount;
    void** slots;            // null: no record was ever made for that number
    void* anyList;           // records made under ANY_NUMBER, newest first
    ObjectRelease release;   // may be null
    uint32_t iterateSlot;    // next slot index to look at
    void* iterateCursor;     // next ANY_NUMBER record, walking toward newer
};

static void* heapZeroed(size_t size) {
    void* block = HeapAlloc(ProgramHeap(), HEAP_ZERO_MEMORY, size);
    if (!block) MemoryExhausted();
    return block;
}

static bool recordPresent(const void* record) {
    return *static_cast<const intptr_t*>(record) != 0;
}

// Whether the number is the address of a record this table handed out under
// ANY_NUMBER; nothing else is ever read through a number.
static void* anyRecordOf(const ObjectTable* table, ObjectNumber number) {
    for (void* r = table->anyList; r; r = RecordListNext(r))
        if (reinterpret_cast<ObjectNumber>(r) == number) return r;
    return nullptr;
}

static bool isSlotIndex(const ObjectTable* table, ObjectNumber number) {
    return number >= 0 && number < static_cast<ObjectNumber>(table->slotCount);
}

// Grows the slot array so that it reaches the number; the new slots are null.
static void slotsGrow(ObjectTable* table, ObjectNumber number) {
    uint64_t wanted = static_cast<uint64_t>(number) + (table->growthStep ? table->growthStep : 1);
    if (wanted > OBJECT_NUMBER_LIMIT) wanted = OBJECT_NUMBER_LIMIT;
    void* grown = HeapReAlloc(ProgramHeap(), HEAP_ZERO_MEMORY, table->slots,
                              static_cast<size_t>(wanted) * sizeof(void*));
    if (!grown) MemoryExhausted();
    table->slots = static_cast<void**>(grown);
    table->slotCount = static_cast<uint32_t>(wanted);
}

ObjectTable* ObjectTableCreate(uint32_t recordSize, uint32_t growthStep, ObjectRelease release) {
    ObjectTable* table = static_cast<ObjectTable*>(heapZeroed(sizeof(ObjectTable)));
    // Presence is read from the first, pointer-sized field: a record is never smaller.
    table->recordSize = recordSize < sizeof(intptr_t) ? sizeof(intptr_t) : recordSize;
    table->growthStep = growthStep;
    table->slotCount = growthStep < OBJECT_NUMBER_LIMIT ? growthStep : OBJECT_NUMBER_LIMIT;
    table->release = release;
    table->slots = static_cast<void**>(heapZeroed(table->slotCount * sizeof(void*)));
    return table;
}

void* ObjectNew(ObjectTable* table, ObjectNumber number) {
    if (!table) return nullptr;
    if (number == ANY_NUMBER) {
        void* record = RecordListAdd(&table->anyList, table->recordSize);
        if (!record) MemoryExhausted();
        return record;
    }
    // A number that could be mistaken for a record address is never a slot.
    if (number < 0 || number >= static_cast<ObjectNumber>(OBJECT_NUMBER_LIMIT)) return nullptr;
    if (number >= static_cast<ObjectNumber>(table->slotCount)) slotsGrow(table, number);
    if (table->slots[number]) {
        if (table->release) table->release(number);
        // Read the slot again: the release function may have grown the array.
        return table->slots[number];
    }
    void* record = heapZeroed(table->recordSize);
    table->slots[number] = record;
    return record;
}

void* ObjectFind(ObjectTable* table, ObjectNumber number) {
    if (!table) return nullptr;
    void* record = isSlotIndex(table, number) ? table->slots[number] : anyRecordOf(table, number);
    return record && recordPresent(record) ? record : nullptr;
}

void ObjectRemove(ObjectTable* table, ObjectNumber number) {
    if (!table) return;
    if (isSlotIndex(table, number)) {
        if (table->slots[number]) memset(table->slots[number], 0, table->recordSize);
        return;
    }
    void* record = anyRecordOf(table, number);
    if (!record) return;
    // An iteration must never step onto a freed record, whichever one goes.
    if (table->iterateCursor == record) table->iterateCursor = RecordListPrevious(record);
    RecordListRemove(&table->anyList, record);
}

void ObjectIterateStart(ObjectTable* table) {
    if (!table) return;
    table->iterateSlot = 0;
    void* oldest = table->anyList;
    while (oldest && RecordListNext(oldest)) oldest = RecordListNext(oldest);
    table->iterateCursor = oldest;
}

void* ObjectIterateNext(ObjectTable* table, ObjectNumber* number) {
    if (!table) return nullptr;
    while (table->iterateSlot < table->slotCount) {
        uint32_t index = table->iterateSlot++;
        void* record = table->slots[index];
        if (record && recordPresent(record)) {
            if (number) *number = index;
            return record;
        }
    }
    void* record = table->iterateCursor;
    if (!record) return nullptr;
    table->iterateCursor = RecordListPrevious(record);
    if (number) *number = reinterpret_cast<ObjectNumber>(record);
    return record;
}

void ObjectReleaseAll(ObjectTable* table) {
    if (!table || !table->release) return;
    ObjectNumber number = 0;
    ObjectIterateStart(table);
    while (ObjectIterateNext(table, &number)) table->release(number);
}

uint32_t ObjectTableSlotCount(const ObjectTable* table) {
    return table ? table->slotCount : 0;
}

void* ModuleStateCreate(uint32_t size, void (*initialiser)(void* record)) {
    void* record = heapZeroed(size);
    if (initialiser) initialiser(record);
    return record;
}
