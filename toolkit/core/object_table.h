// Numbered object tables: map the program's object numbers (or ANY_NUMBER,
// where the record's address becomes the number) to fixed-size records.
#pragma once
#include <stdint.h>

// An object number: a small slot index chosen by the program, or the address
// of a record made under ANY_NUMBER. Pointer-sized so an address fits.
typedef intptr_t ObjectNumber;
const ObjectNumber ANY_NUMBER = -1;
// Explicit numbers stay below this. Windows maps nothing in the lowest 64 KiB,
// so no record address can ever be taken for a slot index.
const uint32_t OBJECT_NUMBER_LIMIT = 0x10000;

// Destroys the object of a number; must do nothing for an absent object.
typedef void (*ObjectRelease)(ObjectNumber number);

struct ObjectTable;

// Records are zeroed when first made. Their first field is pointer-sized: the
// object's system handle (or another nonzero value) while the object exists,
// 0 when it is absent.
ObjectTable* ObjectTableCreate(uint32_t recordSize, uint32_t growthStep, ObjectRelease release);
// Null for a number that can never be a slot: negative (but ANY_NUMBER) or
// at or above OBJECT_NUMBER_LIMIT.
void* ObjectNew(ObjectTable* table, ObjectNumber number);
void* ObjectFind(ObjectTable* table, ObjectNumber number);
void ObjectRemove(ObjectTable* table, ObjectNumber number);
void ObjectIterateStart(ObjectTable* table);
void* ObjectIterateNext(ObjectTable* table, ObjectNumber* number);
void ObjectReleaseAll(ObjectTable* table);
// Length of the slot array (for tests and measurements).
uint32_t ObjectTableSlotCount(const ObjectTable* table);

// A module's zeroed state record, passed to the initialiser when there is one.
void* ModuleStateCreate(uint32_t size, void (*initialiser)(void* record));
