// Element pools: slots handed out from chunks kept on a full and a partial
// list, chunks that grow with the pool, and pools shared through a registry.
#include "toolkit/core/pool.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/record_list.h"
#include <windows.h>

struct PoolChunk;
struct PoolEntry;

struct Pool {
    PoolChunk* full;        // chunks with nothing left to hand out
    PoolChunk* partial;     // chunks with a free or a fresh slot
    PoolEntry* entry;       // registry entry of a shared pool, else null
    uint32_t totalSlots;
    uint32_t slotSize;
    uint32_t minSlots;
    uint32_t maxSlots;
    uint32_t locked;
    CRITICAL_SECTION lock;  // initialised only when locked
};

struct PoolChunk {
    PoolChunk* next;
    PoolChunk* previous;
    void* freeSlots;        // most recently freed slot first
    uint32_t slotCount;
    uint32_t freshHandedOut;
    uint32_t freeCount;
    // The slots follow, each a chunk reference (a free-list link while free)
    // and then the element.
};

struct PoolEntry {
    PoolEntry* next;
    PoolEntry* previous;
    Pool* pool;
    uint32_t slotSize;
    uint32_t flags;
    int32_t references;
};

// The slot header is pointer-sized so that elements stay pointer-aligned.
static const uint32_t SLOT_HEADER = sizeof(void*);
static const uint32_t CHUNK_HEADER = sizeof(PoolChunk);  // pointer-aligned already

static void* g_registryOnce = nullptr;
static CRITICAL_SECTION g_registryLock;
static PoolEntry* g_registry = nullptr;
static uint32_t g_chunkRefusal = 0;

static void registryStart() {
    InitializeCriticalSection(&g_registryLock);
    g_registry = nullptr;
}

// Holds a pool's critical section for a scope when the pool is locked.
class PoolLockHold {
public:
    explicit PoolLockHold(Pool* pool) : pool_(pool) {
        if (pool_->locked) EnterCriticalSection(&pool_->lock);
    }
    PoolLockHold(const PoolLockHold&) = delete;
    PoolLockHold& operator=(const PoolLockHold&) = delete;
    ~PoolLockHold() {
        if (pool_->locked) LeaveCriticalSection(&pool_->lock);
    }
private:
    Pool* pool_;
};

static void chunkUnlink(PoolChunk** list, PoolChunk* chunk) {
    if (chunk->previous) chunk->previous->next = chunk->next;
    else *list = chunk->next;
    if (chunk->next) chunk->next->previous = chunk->previous;
    chunk->next = chunk->previous = nullptr;
}

static void chunkPush(PoolChunk** list, PoolChunk* chunk) {
    chunk->previous = nullptr;
    chunk->next = *list;
    if (*list) (*list)->previous = chunk;
    *list = chunk;
}

static char* slotAt(Pool* pool, PoolChunk* chunk, uint32_t index) {
    return reinterpret_cast<char*>(chunk) + CHUNK_HEADER + static_cast<size_t>(index) * pool->slotSize;
}

static PoolChunk* chunkAllocate(Pool* pool, uint32_t slots) {
    if (g_chunkRefusal && slots >= g_chunkRefusal) return nullptr;
    uint64_t size = CHUNK_HEADER + static_cast<uint64_t>(slots) * pool->slotSize;
    if (size > static_cast<uint64_t>(SIZE_MAX) || size > 0x7FFFFFFFu) return nullptr;
    PoolChunk* chunk = static_cast<PoolChunk*>(HeapAlloc(ProgramHeap(), 0, static_cast<size_t>(size)));
    if (!chunk) return nullptr;
    chunk->next = chunk->previous = nullptr;
    chunk->freeSlots = nullptr;
    chunk->slotCount = slots;
    chunk->freshHandedOut = 0;
    chunk->freeCount = 0;
    return chunk;
}

// Slots in the next chunk: about a sixteenth of the pool, in steps of 16,
// within the pool's bounds and never none.
static uint32_t chunkSlotsNext(const Pool* pool) {
    uint32_t slots = (pool->totalSlots / 16) & ~15u;
    if (slots < pool->minSlots) slots = pool->minSlots;
    if (slots > pool->maxSlots) slots = pool->maxSlots;
    return slots ? slots : 1;
}

static void chunksFree(PoolChunk* chunk) {
    while (chunk) {
        PoolChunk* next = chunk->next;
        HeapFree(ProgramHeap(), 0, chunk);
        chunk = next;
    }
}

static Pool* poolPrivateCreate(uint32_t slotSize, uint32_t minSlots, uint32_t maxSlots, uint32_t flags) {
    Pool* pool = static_cast<Pool*>(HeapAlloc(ProgramHeap(), 0, sizeof(Pool)));
    if (!pool) return nullptr;
    pool->full = pool->partial = nullptr;
    pool->entry = nullptr;
    pool->totalSlots = 0;
    pool->slotSize = slotSize;
    pool->minSlots = minSlots;
    pool->maxSlots = maxSlots;
    pool->locked = (flags & 3) == POOL_LOCKED;
    if (pool->locked) InitializeCriticalSection(&pool->lock);
    return pool;
}

static void poolPrivateDestroy(Pool* pool) {
    PoolClear(pool);
    if (pool->locked) DeleteCriticalSection(&pool->lock);
    HeapFree(ProgramHeap(), 0, pool);
}

static Pool* poolSharedCreate(uint32_t slotSize, uint32_t minSlots, uint32_t maxSlots, uint32_t flags) {
    RunOnce(&g_registryOnce, registryStart);
    EnterCriticalSection(&g_registryLock);
    Pool* result = nullptr;
    for (PoolEntry* e = g_registry; e; e = e->next) {
        if (e->slotSize == slotSize && e->flags == flags) {
            e->references += 1;
            result = e->pool;
            break;
        }
    }
    if (!result) {
        PoolEntry* entry = static_cast<PoolEntry*>(HeapAlloc(ProgramHeap(), 0, sizeof(PoolEntry)));
        Pool* pool = entry ? poolPrivateCreate(slotSize, minSlots, maxSlots, flags & ~POOL_SHARED) : nullptr;
        if (pool) {
            pool->entry = entry;
            entry->pool = pool;
            entry->slotSize = slotSize;
            entry->flags = flags;
            entry->references = 1;
            entry->previous = nullptr;
            entry->next = g_registry;
            if (g_registry) g_registry->previous = entry;
            g_registry = entry;
            result = pool;
        } else if (entry) {
            HeapFree(ProgramHeap(), 0, entry);
        }
    }
    LeaveCriticalSection(&g_registryLock);
    return result;
}

Pool* PoolCreate(uint32_t elementSize, uint32_t minSlots, uint32_t maxSlots, uint32_t flags) {
    uint64_t slotSize = (static_cast<uint64_t>(elementSize) + SLOT_HEADER + SLOT_HEADER - 1) & ~static_cast<uint64_t>(SLOT_HEADER - 1);
    if (slotSize > 0x7FFFFFFFu) return nullptr;
    if (flags & POOL_SHARED) return poolSharedCreate(static_cast<uint32_t>(slotSize), minSlots, maxSlots, flags);
    return poolPrivateCreate(static_cast<uint32_t>(slotSize), minSlots, maxSlots, flags);
}

void* PoolAlloc(Pool* pool) {
    if (!pool) return nullptr;
    PoolLockHold hold(pool);
    char* slot = nullptr;
    PoolChunk* chunk = pool->partial;
    if (chunk) {
        if (chunk->freeSlots) {
            slot = static_cast<char*>(chunk->freeSlots);
            chunk->freeSlots = *reinterpret_cast<void**>(slot);
            chunk->freeCount -= 1;
        } else {
            slot = slotAt(pool, chunk, chunk->freshHandedOut);
            chunk->freshHandedOut += 1;
        }
        if (!chunk->freeSlots && chunk->freshHandedOut == chunk->slotCount) {
            chunkUnlink(&pool->partial, chunk);
            chunkPush(&pool->full, chunk);
        }
    } else {
        chunk = chunkAllocate(pool, chunkSlotsNext(pool));
        if (!chunk) chunk = chunkAllocate(pool, 1);
        if (!chunk) return nullptr;
        pool->totalSlots += chunk->slotCount;
        slot = slotAt(pool, chunk, 0);
        chunk->freshHandedOut = 1;
        chunkPush(chunk->slotCount > 1 ? &pool->partial : &pool->full, chunk);
    }
    *reinterpret_cast<PoolChunk**>(slot) = chunk;
    return slot + SLOT_HEADER;
}

void PoolFree(Pool* pool, void* element) {
    if (!pool || !element) return;
    PoolLockHold hold(pool);
    char* slot = static_cast<char*>(element) - SLOT_HEADER;
    PoolChunk* chunk = *reinterpret_cast<PoolChunk**>(slot);
    bool wasFull = !chunk->freeSlots && chunk->freshHandedOut == chunk->slotCount;
    *reinterpret_cast<void**>(slot) = chunk->freeSlots;
    chunk->freeSlots = slot;
    chunk->freeCount += 1;
    if (chunk->freeCount == chunk->freshHandedOut) {
        chunkUnlink(wasFull ? &pool->full : &pool->partial, chunk);
        pool->totalSlots -= chunk->slotCount;
        HeapFree(ProgramHeap(), 0, chunk);
    } else if (wasFull) {
        chunkUnlink(&pool->full, chunk);
        chunkPush(&pool->partial, chunk);
    }
}

void PoolClear(Pool* pool) {
    if (!pool) return;
    PoolLockHold hold(pool);
    chunksFree(pool->partial);
    chunksFree(pool->full);
    pool->partial = pool->full = nullptr;
    pool->totalSlots = 0;
}

void PoolDestroy(Pool* pool) {
    if (!pool) return;
    PoolEntry* entry = pool->entry;
    if (!entry) {
        poolPrivateDestroy(pool);
        return;
    }
    EnterCriticalSection(&g_registryLock);
    entry->references -= 1;
    if (entry->references <= 0) {
        pool->entry = nullptr;
        entry->pool = nullptr;
        poolPrivateDestroy(pool);
        if (entry->previous) entry->previous->next = entry->next;
        else g_registry = entry->next;
        if (entry->next) entry->next->previous = entry->previous;
        HeapFree(ProgramHeap(), 0, entry);
    }
    LeaveCriticalSection(&g_registryLock);
}

uint32_t PoolTotalSlots(const Pool* pool) {
    return pool ? pool->totalSlots : 0;
}

void PoolChunkRefusalSet(uint32_t slots) {
    g_chunkRefusal = slots;
}
