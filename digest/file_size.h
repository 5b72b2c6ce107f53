// Arithmetic of the file digest loop that needs no platform: the size shown in the list
// and the progress bar position.
#ifndef VELMORA_DIGEST_FILE_SIZE_H
#define VELMORA_DIGEST_FILE_SIZE_H

#include <cstdint>

// Kilobytes of a file of (high:low) bytes: rounded up from 511 bytes of remainder, at least 1.
int32_t SizeInKb(uint32_t low, uint32_t high);

// Progress bar position 0..100 in even steps for bytesDone of total; 0 when total is 0.
uint32_t ProgressPosition(uint32_t bytesDone, uint32_t total);

#endif
