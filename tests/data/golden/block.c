/*****************************
 * file: Ring buffer
 * A fixed-size queue.
 * Mail @email[dev@ring.example, the team].
 *****************************/

/* function: ring_put
 * Stores one byte; see ring_get.
 * Write {{a/b*c}} to divide.
 * @figure[ring.png]
 */
int ring_put(struct ring *r,
             char c);

/* function: ring_get
 * Takes one byte; undoes (ring_put). */
int ring_get(struct ring *r);

/* function: */
static int ring_size(int  n) { return n; }
