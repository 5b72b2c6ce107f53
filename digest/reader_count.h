// How many files are read at once. Platform-free.
#ifndef VELMORA_DIGEST_READER_COUNT_H
#define VELMORA_DIGEST_READER_COUNT_H

enum class SeekPenalty { kNone, kIncurred, kUnknown };

enum { kMaxReaders = 8, kReadsAheadPerReader = 3 };

// One reader per logical processor, at most kMaxReaders; a volume that reports a seek penalty
// (a rotating disk, which parallel reads would make seek) gets one. Where the volume could not
// be asked, readers as for no penalty.
int ChooseReaderCount(int logicalProcessors, SeekPenalty penalty);

#endif
