// The event state and the queue of posted events: a singly linked list of
// nodes taken from an element pool, oldest at the head.
#include "toolkit/window/event_queue.h"
#include "toolkit/core/pool.h"

namespace {

struct EventNode {
    EventNode* next;
    int32_t code;
    ObjectNumber gadget;
    ObjectNumber window;
    int32_t type;
};

struct EventQueue {
    Pool* pool;
    EventNode* head;
    EventNode* tail;
};

}  // namespace

static const uint32_t POOL_CHUNK_MIN = 16;
static const uint32_t POOL_CHUNK_MAX = 256;
static const uint32_t POOL_FLAGS = 2;  // neither locked nor shared: one thread uses it

static EventState* g_state = nullptr;
static EventQueue* g_queue = nullptr;

EventState* EventStateCreate() {
    if (!g_state)
        g_state = static_cast<EventState*>(ModuleStateCreate(sizeof(EventState), nullptr));
    return g_state;
}

EventState* EventStateGet() {
    return g_state;
}

static void queueInitialise(void* record) {
    EventQueue* queue = static_cast<EventQueue*>(record);
    queue->pool = PoolCreate(sizeof(EventNode), POOL_CHUNK_MIN, POOL_CHUNK_MAX, POOL_FLAGS);
    // One node is taken for good, so the first chunk always has a slot out and
    // is never freed: a queue that keeps emptying costs no heap call.
    if (queue->pool) PoolAlloc(queue->pool);
}

void EventQueueStart() {
    if (!g_queue)
        g_queue = static_cast<EventQueue*>(ModuleStateCreate(sizeof(EventQueue), queueInitialise));
}

static bool sameEvent(const EventNode* node, int32_t code, ObjectNumber gadget,
                      ObjectNumber window, int32_t type) {
    return node->code == code && node->gadget == gadget && node->window == window &&
           node->type == type;
}

void EventPost(int32_t code, ObjectNumber gadget, ObjectNumber window, int32_t type) {
    if (!g_queue || !g_queue->pool) return;
    if (g_queue->tail && sameEvent(g_queue->tail, code, gadget, window, type)) return;
    EventNode* node = static_cast<EventNode*>(PoolAlloc(g_queue->pool));
    if (!node) return;  // out of memory: the event is dropped
    node->next = nullptr;
    node->code = code;
    node->gadget = gadget;
    node->window = window;
    node->type = type;
    if (g_queue->tail) g_queue->tail->next = node;
    else g_queue->head = node;
    g_queue->tail = node;
}

int32_t EventQueuePop() {
    if (!g_queue || !g_queue->head) return 0;
    EventNode* node = g_queue->head;
    g_queue->head = node->next;
    if (!g_queue->head) g_queue->tail = nullptr;
    if (g_state) {
        g_state->current.gadget = node->gadget;
        g_state->current.window = node->window;
        g_state->current.type = node->type;
    }
    int32_t code = node->code;
    PoolFree(g_queue->pool, node);
    return code;
}

// Unlinks and gives back every node the predicate picks; the tail becomes the
// last node kept.
template <typename Picks>
static void queueRemoveWhere(Picks picks) {
    if (!g_queue) return;
    EventNode** link = &g_queue->head;
    EventNode* kept = nullptr;
    while (EventNode* node = *link) {
        if (picks(*node)) {
            *link = node->next;
            PoolFree(g_queue->pool, node);
        } else {
            kept = node;
            link = &node->next;
        }
    }
    g_queue->tail = kept;
}

void EventQueuePurgeWindow(ObjectNumber window) {
    queueRemoveWhere([window](const EventNode& node) { return node.window == window; });
}

// Every field of the filter that is not -1 must match. The gadget layer asks
// for (EVENT_GADGET, gadget, any, any) when a control goes: window events carry
// gadget numbers too (0, or the window number), so the code must match as well
// or the destroyed gadget's number would take other windows' events with it.
void EventQueuePurge(int32_t code, ObjectNumber gadget, ObjectNumber window, int32_t type) {
    queueRemoveWhere([=](const EventNode& node) {
        return (code == -1 || node.code == code) && (gadget == -1 || node.gadget == gadget) &&
               (window == -1 || node.window == window) && (type == -1 || node.type == type);
    });
}

uint32_t EventQueueLength() {
    uint32_t length = 0;
    if (g_queue)
        for (const EventNode* node = g_queue->head; node; node = node->next) ++length;
    return length;
}

uint32_t EventQueuePoolSlots() {
    return g_queue && g_queue->pool ? PoolTotalSlots(g_queue->pool) : 0;
}
