#include "summary/summary_reader.h"

#include <cstring>

#include "common/paths.h"
#include "summary/summary_line.h"

const DigestKindInfo* KindOfSummaryName(const char* path) {
  const char* dot = std::strrchr(BaseName(path), '.');
  return dot == nullptr ? nullptr : KindByExtension(dot + 1);
}

namespace {

// What a line with something on it gives a summary of the given kind; lineKind is the line's
// wherever the line has one.
SummaryLineSink::Taken UseLine(int result, DigestKind lineKind, DigestKind kind, const char* digest,
                               const char* name, SummaryLineSink* sink) {
  const bool ofTheKind = result != kLineRejected && lineKind == kind;
  if (ofTheKind && result == kLineUnrecognized) sink->Unrecognized();
  if (ofTheKind && IsEntryLine(result)) return sink->Take(digest, name);
  return SummaryLineSink::Taken::kNotListed;
}

}  // namespace

SummaryReading ReadSummaryLines(FILE* stream, const char* path, bool utf8Names,
                                SummaryLineSink* sink) {
  SummaryReading reading;
  const DigestKindInfo* named = KindOfSummaryName(path);
  bool settled = named != nullptr;
  if (settled) reading.kind = named->kind;
  if (settled && !sink->KindSettled(reading.kind)) {
    reading.stopped = true;
    return reading;
  }
  SkipByteOrderMark(stream);
  DigestKind lineKind = DigestKind::kMd5;
  char digest[kDigestTextSize];
  char name[kSummaryNameSize];
  int result;
  while ((result = ParseSummaryLine(stream, &lineKind, digest, name, utf8Names)) != kLineEnd) {
    if (result == kLineEmpty) continue;
    if (!settled && IsEntryLine(result)) {
      settled = true;
      reading.kind = lineKind;
      if (!sink->KindSettled(lineKind)) break;
    }
    const SummaryLineSink::Taken taken =
        UseLine(result, lineKind, reading.kind, digest, name, sink);
    if (taken == SummaryLineSink::Taken::kStop) break;
    reading.notRead += taken == SummaryLineSink::Taken::kNotListed;
  }
  reading.stopped = result != kLineEnd;
  return reading;
}
