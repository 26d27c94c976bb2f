ù// file: Edge cases
// function: not_a_section
// Keeps *bold*text and *this* apart.
// Path /usr/lib/ stays; ++x++) too.
// Use {{a//b}} as is.

/* method: Grid::at
 * Cell at /row/ and col; returns a reference. */
int& Grid::at(int row, int col);

// routine: first; second
// var: count
int count;
