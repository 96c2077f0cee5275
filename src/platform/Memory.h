#pragma once

// How the C library hands out the program's memory.

// A page of a book is a block of tens of megabytes, allocated and freed on
// every turn. Left to the defaults, each such block is mapped afresh and
// every one of its pages faults in, zero-filled, on first touch: milliseconds
// per picture. After this call blocks up to 32 MB come from the heap and stay
// there when freed, so the next page of the same size reuses touched memory.
// Call once, at the start of main, before any thread starts.
void KeepPictureBlocksInHeap();
