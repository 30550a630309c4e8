// Doubly linked lists of zeroed records from the program heap, newest at the
// head; each record is preceded by its two links.
#include "toolkit/core/record_list.h"
#include "toolkit/core/program_heap.h"
#include <windows.h>

// The links that stand before every record. They hold record addresses (the
// bytes after the links), the same kind of address the head holds.
struct RecordLinks {
    void* next;      // toward older records
    void* previous;  // toward newer records
};

static RecordLinks* linksOf(void* record) {
    return reinterpret_cast<RecordLinks*>(record) - 1;
}

void* RecordListAdd(void** head, uint32_t size) {
    if (!head) return nullptr;
    // size_t holds size + links on either architecture without wrapping.
    size_t total = static_cast<size_t>(size) + sizeof(RecordLinks);
    if (total < size) return nullptr;
    void* block = HeapAlloc(ProgramHeap(), HEAP_ZERO_MEMORY, total);
    if (!block) return nullptr;  // list left as it was
    RecordLinks* links = static_cast<RecordLinks*>(block);
    void* record = links + 1;
    links->next = *head;
    if (*head) linksOf(*head)->previous = record;
    *head = record;
    return record;
}

void RecordListRemove(void** head, void* record) {
    if (!head || !record) return;
    RecordLinks* links = linksOf(record);
    if (*head == record) {
        *head = links->next;
        if (links->next) linksOf(links->next)->previous = nullptr;
    } else {
        if (links->previous) linksOf(links->previous)->next = links->next;
        if (links->next) linksOf(links->next)->previous = links->previous;
    }
    HeapFree(ProgramHeap(), 0, links);
}

void* RecordListNext(void* record) {
    return record ? linksOf(record)->next : nullptr;
}

void* RecordListPrevious(void* record) {
    return record ? linksOf(record)->previous : nullptr;
}
