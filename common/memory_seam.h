// Where the program makes room for one more item of a long operation (a queued file, a reader,
// a dropped name), memory may run out. Tests make it run out on purpose here, so that every such
// place is seen to leave the document as it was or count the file as left out. Platform-free.
#ifndef VELMORA_COMMON_MEMORY_SEAM_H
#define VELMORA_COMMON_MEMORY_SEAM_H

// Throws std::bad_alloc where tests have said memory is to run out; otherwise does nothing.
void CheckMemoryForItem();

// Tests only: after `allowed` more items (any thread), every item is refused as if memory had
// run out; a negative count refuses none.
void RefuseItemsAfterForTests(int allowed);

#endif
