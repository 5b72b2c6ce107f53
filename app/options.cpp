// The scanner keeps its state between calls, like getopt: whether the next call begins
// between words, and the one argument buffer shared by all arguments of a scan.
#include "app/options.h"

#include <cstdlib>
#include <cstring>

namespace {

bool AtWordStart = true;
char* ArgumentBuffer = nullptr;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char* SkipBlanks(char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

void ReleaseArgumentBuffer() {
  std::free(ArgumentBuffer);
  ArgumentBuffer = nullptr;
}

int EndOfOptions(char** cursor, char* position, const char** argument) {
  *cursor = position;
  ReleaseArgumentBuffer();
  *argument = nullptr;
  AtWordStart = true;
  return 0;
}

int OptionError(char** cursor, char* position, const char** argument) {
  *cursor = position;
  ReleaseArgumentBuffer();
  *argument = nullptr;
  return '?';
}

// Appends one character to the argument; false once the limit is passed.
bool PutArgumentChar(size_t* length, char c) {
  if (*length >= kMaxOptionArgument) return false;
  ArgumentBuffer[(*length)++] = c;
  return true;
}

// Copies a quoted argument; p is at the opening quote. Returns the position behind the
// closing quote, or null on an error. A backslash escapes only the quote itself, so
// C:\dir keeps its backslashes.
char* CopyQuotedArgument(char* p, size_t* length) {
  const char quote = *p++;
  for (;;) {
    const char c = *p;
    if (c == '\0') return nullptr;
    if (c == quote) return p + 1;
    if (c == '\\') {
      const char next = p[1];
      if (next == '\0') return nullptr;
      if (next != quote && !PutArgumentChar(length, '\\')) return nullptr;
      if (!PutArgumentChar(length, next)) return nullptr;
      p += 2;
      continue;
    }
    if (!PutArgumentChar(length, c)) return nullptr;
    ++p;
  }
}

// Copies a plain argument up to the first blank or the end; returns the position behind
// the terminating blank (or at the end), or null when it is too long.
char* CopyPlainArgument(char* p, size_t* length) {
  while (*p != '\0' && !IsBlank(*p)) {
    if (!PutArgumentChar(length, *p)) return nullptr;
    ++p;
  }
  return *p == '\0' ? p : p + 1;
}

int ReadArgument(char** cursor, char* p, int option, const char** argument) {
  p = SkipBlanks(p);
  if (*p == '\0') return OptionError(cursor, p, argument);
  if (ArgumentBuffer == nullptr) {
    ArgumentBuffer = static_cast<char*>(std::malloc(kMaxOptionArgument + 1));
    if (ArgumentBuffer == nullptr) return OptionError(cursor, p, argument);
  }
  size_t length = 0;
  char* after =
      (*p == '"' || *p == '\'') ? CopyQuotedArgument(p, &length) : CopyPlainArgument(p, &length);
  if (after == nullptr) return OptionError(cursor, p, argument);
  ArgumentBuffer[length] = '\0';
  *cursor = after;
  *argument = ArgumentBuffer;
  AtWordStart = true;
  return option;
}

int HandleOptionChar(char** cursor, char* p, int option, const char* options,
                     const char** argument) {
  const char* found = std::strchr(options, option);
  if (found == nullptr) return OptionError(cursor, p, argument);
  if (found[1] != ':') {
    *cursor = p;
    *argument = nullptr;
    return option;
  }
  return ReadArgument(cursor, p, option, argument);
}

}  // namespace

char* ResetOptionScanner(char* commandLine) {
  AtWordStart = true;
  ReleaseArgumentBuffer();
  return commandLine;
}

int GetOption(char** cursor, const char* options, const char** argument) {
  char* p = *cursor;
  bool betweenWords = AtWordStart;
  AtWordStart = false;
  if (!betweenWords) {
    // Inside a cluster such as -ab: the next character is another option unless it ends it.
    if (*p == '\0') return EndOfOptions(cursor, p, argument);
    if (!IsBlank(*p)) return HandleOptionChar(cursor, p + 1, *p, options, argument);
  }
  for (;;) {
    p = SkipBlanks(p);
    if (*p != '-') return EndOfOptions(cursor, p, argument);
    if (p[1] == '-') return EndOfOptions(cursor, SkipBlanks(p + 2), argument);
    const char c = p[1];
    if (c == '\0') return EndOfOptions(cursor, p + 1, argument);
    p += 2;
    if (!IsBlank(c)) return HandleOptionChar(cursor, p, c, options, argument);
  }
}

namespace {

bool ReplaceWithCopy(char** slot, const char* text) {
  const size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (copy == nullptr) return false;
  std::memcpy(copy, text, size);
  std::free(*slot);
  *slot = copy;
  return true;
}

}  // namespace

bool ParseCommandLine(char* commandLine, StartupRequest* request) {
  request->generateDirectory = nullptr;
  request->checkDirectory = nullptr;
  request->summaryName = nullptr;
  char* cursor = ResetOptionScanner(commandLine);
  for (;;) {
    const char* argument = nullptr;
    const int option = GetOption(&cursor, "g:G:c:C:", &argument);
    if (option == 0) break;
    bool copied = false;
    if (option == 'g' || option == 'G') {
      copied = ReplaceWithCopy(&request->generateDirectory, argument);
    } else if (option == 'c' || option == 'C') {
      copied = ReplaceWithCopy(&request->checkDirectory, argument);
    }
    if (!copied) {
      // Release the scanner's buffer too: the scan stops here.
      ResetOptionScanner(cursor);
      FreeStartupRequest(request);
      return false;
    }
  }
  cursor = SkipBlanks(cursor);
  if (*cursor != '\0') request->summaryName = cursor;
  return true;
}

void FreeStartupRequest(StartupRequest* request) {
  std::free(request->generateDirectory);
  std::free(request->checkDirectory);
  request->generateDirectory = nullptr;
  request->checkDirectory = nullptr;
  request->summaryName = nullptr;
}
