/*
 * module: Ring Buffer
 *
 * A fixed-size queue of integers for producers that must never block.
 * The buffer keeps one slot free, so that a full buffer and an empty one
 * can be told apart without a separate counter.
 *
 * @figure[ring.svg]
 *
 * Thread safety:
 * none. Guard a shared buffer with a lock of your own.
 */

#include <stdbool.h>
#include <stddef.h>

#define RING_CAPACITY 8

/*
 * type: ring_buffer
 * The state of one buffer. Set it up with ring_init before use.
 *
 * head - index of the next value to read
 * tail - index of the next free slot
 * slots - the storage; one slot always stays free
 */
typedef struct {
    size_t head;
    size_t tail;
    int slots[RING_CAPACITY];
} ring_buffer;

/**
 * function: ring_init
 * Empties the buffer. Call it once before the first ring_push, and again
 * whenever the queued values are to be dropped.
 */
void ring_init(ring_buffer *rb)
{
    rb->head = 0;
    rb->tail = 0;
}

/*
 * FUNCTION: ring_push
 * Appends a value at the tail of the buffer.
 *
 * Returns:
 * true when the value was stored, and false when the buffer is *full*,
 * which leaves it unchanged. See ring_pop for the other end.
 */
bool ring_push(ring_buffer *rb,
               int value)
{
    size_t next = (rb->tail + 1) % RING_CAPACITY;
    if (next == rb->head) {
        return false;
    }
    rb->slots[rb->tail] = value;
    rb->tail = next;
    return true;
}

// Function: ring_pop
// Takes the oldest value out of the buffer.
//
// The value is written only when the buffer was not empty, so callers
// test the result first, as in {{ if (ring_pop(&rb, &v)) use(v); }}
//
// + ++Never++ reads a slot that ring_push has not written.
// + Runs in constant time.
bool ring_pop(ring_buffer *rb, int *out)
{
    if (rb->head == rb->tail) {
        return false;
    }
    *out = rb->slots[rb->head];
    rb->head = (rb->head + 1) % RING_CAPACITY;
    return true;
}

/*
 * function: ring_count
 * How many values wait in the buffer; never more than RING_CAPACITY
 * less one, since one slot always stays free.
 */
size_t ring_count(const ring_buffer *rb)
{
    return (rb->tail + RING_CAPACITY - rb->head) % RING_CAPACITY;
}
