// Element pools: fixed-size elements handed out from chunks that grow with
// the pool and are freed as soon as every slot they handed out is back.
#pragma once
#include <stdint.h>

const uint32_t POOL_LOCKED = 1;   // low two bits equal to 1: own critical section
const uint32_t POOL_SHARED = 4;   // shared through the process-wide registry

struct Pool;

Pool* PoolCreate(uint32_t elementSize, uint32_t minSlots, uint32_t maxSlots, uint32_t flags);
void* PoolAlloc(Pool* pool);
void PoolFree(Pool* pool, void* element);
void PoolClear(Pool* pool);
void PoolDestroy(Pool* pool);

// Sum of the slot counts of the pool's chunks (for tests and measurements).
uint32_t PoolTotalSlots(const Pool* pool);
// For tests: chunk allocations of at least this many slots fail, as when the
// heap is short (0, the default, refuses none).
void PoolChunkRefusalSet(uint32_t slots);
