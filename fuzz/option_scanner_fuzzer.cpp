// The command-line scanner on any text: GetOption step by step and ParseCommandLine must both
// come back, stay inside the text, agree with each other, and leave nothing allocated (the leak
// sanitizer checks that). Arguments never exceed the 16383-character limit.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "app/options.h"
#include "fuzz/fuzz_check.h"

namespace {

const char kOptions[] = "g:G:c:C:";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A writable, zero-terminated copy of exactly the text's size: reading past the terminator is
// an overflow the address sanitizer reports.
struct CommandLine {
  explicit CommandLine(const std::string& text) : length(text.size()), bytes(new char[length + 1]) {
    std::memcpy(bytes.get(), text.c_str(), length + 1);
  }
  char* begin() const { return bytes.get(); }
  char* end() const { return bytes.get() + length; }
  size_t length;
  std::unique_ptr<char[]> bytes;
};

// What a scan with GetOption alone found: how it ended, whether an option outside g, G, c, C
// came first, the last directory of each kind, and the cursor where the scan ended.
struct StepwiseScan {
  bool endedWithoutError = false;
  bool otherOption = false;
  bool hasGenerate = false;
  bool hasCheck = false;
  std::string generate;
  std::string check;
  const char* end = nullptr;
};

// Calls GetOption until it ends, also past options that take no argument, so that clusters
// such as -xyg dir are scanned too.
StepwiseScan ScanStepByStep(const CommandLine& line, const char* options) {
  StepwiseScan scan;
  char* cursor = ResetOptionScanner(line.begin());
  FUZZ_CHECK(cursor == line.begin(), "the first cursor is not the text");
  // Each option moves the cursor on by at least one character, so this many calls are enough.
  for (size_t calls = 0;; ++calls) {
    FUZZ_CHECK(calls <= line.length + 1, "GetOption does not come to an end");
    const char* before = cursor;
    const char* argument = "not set";
    const int option = GetOption(&cursor, options, &argument);
    FUZZ_CHECK(cursor >= line.begin() && cursor <= line.end(), "cursor left the text");
    if (option == 0 || option == '?') {
      FUZZ_CHECK(argument == nullptr, "no argument expected at the end or on an error");
      scan.endedWithoutError = option == 0;
      scan.end = cursor;
      return scan;
    }
    FUZZ_CHECK(cursor > before, "an option did not move the cursor");
    const char* found = std::strchr(options, option);
    FUZZ_CHECK(found != nullptr, "option outside the option string");
    if (found[1] != ':') {
      FUZZ_CHECK(argument == nullptr, "argument for an option that takes none");
      scan.otherOption = true;
      continue;
    }
    FUZZ_CHECK(argument != nullptr, "option without its argument");
    const size_t length = std::strlen(argument);
    FUZZ_CHECK(length <= kMaxOptionArgument, "argument over the length limit");
    FUZZ_CHECK(length <= static_cast<size_t>(cursor - before), "argument longer than its text");
    if (option == 'g' || option == 'G') {
      scan.hasGenerate = true;
      scan.generate = argument;
    } else if (option == 'c' || option == 'C') {
      scan.hasCheck = true;
      scan.check = argument;
    } else {
      scan.otherOption = true;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The command line ends at its first zero byte.
  const std::string whole(reinterpret_cast<const char*>(data), size);
  const std::string text = whole.substr(0, whole.find('\0'));

  const CommandLine stepwiseLine(text);
  const StepwiseScan scan = ScanStepByStep(stepwiseLine, kOptions);
  // Letters without arguments, to scan clusters the program's own options cannot form.
  ScanStepByStep(CommandLine(text), "xyg:");

  const CommandLine line(text);
  StartupRequest request;
  const bool ok = ParseCommandLine(line.begin(), &request);
  FUZZ_CHECK(std::string(line.begin(), line.length) == text, "the command line was changed");
  // ParseCommandLine stops at the first option other than g, G, c, C: a usage error.
  FUZZ_CHECK(ok == (scan.endedWithoutError && !scan.otherOption),
             "ParseCommandLine and GetOption disagree on the usage");
  if (!ok) {
    FUZZ_CHECK(request.generateDirectory == nullptr && request.checkDirectory == nullptr &&
                   request.summaryName == nullptr,
               "a failed parse left something in the request");
    return 0;
  }
  FUZZ_CHECK((request.generateDirectory != nullptr) == scan.hasGenerate,
             "generate directory differs from the scan");
  FUZZ_CHECK((request.checkDirectory != nullptr) == scan.hasCheck,
             "check directory differs from the scan");
  if (request.generateDirectory != nullptr) {
    FUZZ_CHECK(std::strlen(request.generateDirectory) <= kMaxOptionArgument,
               "generate directory over the length limit");
    FUZZ_CHECK(request.generateDirectory == scan.generate, "generate directory is not the last");
  }
  if (request.checkDirectory != nullptr) {
    FUZZ_CHECK(std::strlen(request.checkDirectory) <= kMaxOptionArgument,
               "check directory over the length limit");
    FUZZ_CHECK(request.checkDirectory == scan.check, "check directory is not the last");
  }
  // The summary name is the rest of the line behind the options and their blanks.
  const size_t endOffset = static_cast<size_t>(scan.end - stepwiseLine.begin());
  const char* rest = line.begin() + endOffset;
  while (IsBlank(*rest)) ++rest;
  if (*rest == '\0') {
    FUZZ_CHECK(request.summaryName == nullptr, "summary name from nothing");
  } else {
    FUZZ_CHECK(request.summaryName == rest, "summary name is not the rest of the line");
    FUZZ_CHECK(std::strlen(request.summaryName) == static_cast<size_t>(line.end() - rest),
               "summary name does not run to the end of the line");
  }

  // A plain directory (no blank, no leading quote) given again on its own reads back unchanged.
  if (request.generateDirectory != nullptr && request.generateDirectory[0] != '\0' &&
      request.generateDirectory[0] != '"' && request.generateDirectory[0] != '\'' &&
      std::strpbrk(request.generateDirectory, " \t") == nullptr) {
    const CommandLine again(std::string("-g ") + request.generateDirectory);
    StartupRequest second;
    FUZZ_CHECK(ParseCommandLine(again.begin(), &second), "plain directory not accepted again");
    FUZZ_CHECK(second.generateDirectory != nullptr &&
                   std::strcmp(second.generateDirectory, request.generateDirectory) == 0,
               "plain directory did not read back");
    FUZZ_CHECK(second.summaryName == nullptr, "plain directory left a summary name");
    FreeStartupRequest(&second);
  }
  FreeStartupRequest(&request);
  FUZZ_CHECK(request.generateDirectory == nullptr && request.checkDirectory == nullptr &&
                 request.summaryName == nullptr,
             "freeing did not clear the request");
  return 0;
}
