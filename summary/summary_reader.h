// Reading a whole summary: the kind of digest it holds, which of its lines give entries, and how
// many lines with something on them give none. The kind comes from the file's extension (.md5,
// .sha1, .sha256, .sha512, in any case); for any other name, from its first line that gives an
// entry (MD5 while none has). Lines of another kind, and lines that do not parse, are not read.
// Platform-free: what becomes of each entry is the caller's, through its SummaryLineSink.
#ifndef VELMORA_SUMMARY_SUMMARY_READER_H
#define VELMORA_SUMMARY_SUMMARY_READER_H

#include <cstdio>

#include "digest/digest_kind.h"

// The kind a summary file's name gives by its extension; null for any other name.
const DigestKindInfo* KindOfSummaryName(const char* path);

class SummaryLineSink {
 public:
  enum class Taken { kListed, kNotListed, kStop };
  // The summary's kind is settled, before any entry is handed over; false stops the reading.
  virtual bool KindSettled(DigestKind kind) = 0;
  // A line of the summary's kind that gives an entry: its digest (lowercase) and its name as the
  // line holds it. kNotListed: the entry does not fit, and the line counts as not read.
  virtual Taken Take(const char* digest, const char* name) = 0;
  // A line of the summary's kind whose digest and blank are fine, its marker neither blank nor
  // asterisk.
  virtual void Unrecognized() = 0;

 protected:
  ~SummaryLineSink() = default;
};

struct SummaryReading {
  bool stopped = false;                // the sink stopped the reading
  DigestKind kind = DigestKind::kMd5;  // where neither name nor line gave one, MD5
  int notRead = 0;                     // lines with something on them that gave no entry
};

// Reads the stream from its start (a UTF-8 byte order mark skipped) to its end; utf8Names as for
// ParseSummaryLine.
SummaryReading ReadSummaryLines(FILE* stream, const char* path, bool utf8Names,
                                SummaryLineSink* sink);

#endif
