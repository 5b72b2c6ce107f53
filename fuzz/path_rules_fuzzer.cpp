// The path rules on any base and path. Input: one byte that picks an extra output size for
// JoinPath, then the base, a zero byte, and the path (which also serves as the name to join);
// anything after a second zero byte is ignored. Every rule writes into a heap buffer of exactly
// its documented size, so a write or read past it is an overflow the address sanitizer reports,
// and every result is compared with a plain model of the rule.
//
// Round trip: RelativeName(base, JoinPath(base, name)) gives back ToSlashes(name) whenever the
// join into kMaxPath bytes was not cut. No further condition is needed: JoinPath adds a
// separator exactly when IsUnderBase expects one (a base that is non-empty and does not end in
// a separator), so an empty base, a one-character base, a base ending in a separator or a colon,
// an empty name and a name with leading separators all come back whole; and a join that fits
// kMaxPath bytes has a base short enough for IsUnderBase. Into the tree walk's larger output the
// round trip also needs the base and the name to be shorter than kPathTextSize each, since
// IsUnderBase takes no longer base and the relative part is cut to kPathTextSize - 1 bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "common/paths.h"
#include "fuzz/fuzz_check.h"

namespace {

const size_t kTreeWalkPath = kPathTextSize + 8;  // the directory tree walk's joins

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFolded(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

std::string Slashed(std::string text) {
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  return text;
}

// A heap block of exactly size bytes, optionally holding text.
struct Buffer {
  explicit Buffer(size_t size) : size(size), bytes(new char[size]) {
    std::memset(bytes.get(), 'X', size);  // shows whether a rule wrote at all
  }
  explicit Buffer(const std::string& text) : Buffer(text.size() + 1) {
    std::memcpy(bytes.get(), text.c_str(), text.size() + 1);
  }
  char* get() const { return bytes.get(); }
  // The text, after checking that it is terminated inside the block.
  std::string Text(const char* what) const {
    const size_t length = strnlen(bytes.get(), size);
    FUZZ_CHECK(length < size, what);
    return std::string(bytes.get(), length);
  }
  size_t size;
  std::unique_ptr<char[]> bytes;
};

// The model of IsUnderBase: the relative part, or false.
bool ModelUnderBase(const std::string& base, const std::string& path, std::string* relative) {
  const size_t b = base.size();
  if (path.size() < b) return false;
  if (path.size() == b) {
    if (!EqualFolded(path, base)) return false;
    *relative = "";
    return true;
  }
  if (b >= kPathTextSize) return false;  // no path the system holds has a longer base
  if (!EqualFolded(path.substr(0, b), base)) return false;
  size_t start = b;
  if (b > 0 && !IsSeparator(base[b - 1])) {
    if (!IsSeparator(path[b])) return false;
    ++start;
  }
  *relative = path.substr(start, kPathTextSize - 1);
  return true;
}

// IsUnderBase with and without output, and RelativeName, against the model. Returns
// RelativeName's answer and output.
bool CheckUnderBase(const std::string& base, const std::string& path, std::string* name) {
  const Buffer baseText(base);
  const Buffer pathText(path);
  std::string expected;
  const bool under = ModelUnderBase(base, path, &expected);

  FUZZ_CHECK(IsUnderBase(baseText.get(), pathText.get(), nullptr) == under,
             "IsUnderBase without output differs from the model");
  Buffer relative(kPathTextSize);
  FUZZ_CHECK(IsUnderBase(baseText.get(), pathText.get(), relative.get()) == under,
             "IsUnderBase differs from the model");
  if (under) {
    FUZZ_CHECK(relative.Text("relative part not terminated") == expected,
               "relative part differs from the model");
  } else {
    FUZZ_CHECK(relative.get()[0] == 'X', "relative part written for a path not under the base");
  }

  Buffer output(kPathTextSize);
  const bool named = RelativeName(baseText.get(), pathText.get(), output.get());
  FUZZ_CHECK(named == under, "RelativeName differs from IsUnderBase");
  *name = output.Text("relative name not terminated");
  FUZZ_CHECK(*name == (under ? Slashed(expected) : std::string()),
             "relative name differs from the model");
  FUZZ_CHECK(base == baseText.get() && path == pathText.get(), "an input was changed");
  return named;
}

// JoinPath into exactly outputSize bytes, against the model. Returns the joined text.
std::string CheckJoin(const std::string& directory, const std::string& name, size_t outputSize,
                      bool* whole) {
  std::string full = directory;
  if (!full.empty() && !IsSeparator(full.back())) full += '\\';
  full += name;
  const Buffer directoryText(directory);
  const Buffer nameText(name);
  Buffer output(outputSize);
  *whole = JoinPath(directoryText.get(), nameText.get(), output.get(), outputSize);
  FUZZ_CHECK(*whole == (full.size() < outputSize), "JoinPath's answer on cutting is wrong");
  const std::string joined = output.Text("joined path not terminated");
  FUZZ_CHECK(joined == full.substr(0, outputSize - 1), "joined path differs from the model");
  return joined;
}

void CheckTextRules(const std::string& path) {
  const size_t last = path.find_last_of("\\/:");

  const Buffer forBaseName(path);
  const char* baseName = BaseName(forBaseName.get());
  const size_t expectedStart = last == std::string::npos ? 0 : last + 1;
  FUZZ_CHECK(baseName == forBaseName.get() + expectedStart, "BaseName at the wrong place");

  Buffer directory(path);
  DirectoryOfPath(directory.get());
  std::string expectedDirectory = path;
  if (last != std::string::npos) {
    const bool keep = last == 0 || path[last] == ':' || path[last - 1] == ':';
    expectedDirectory = path.substr(0, keep ? last + 1 : last);
  }
  FUZZ_CHECK(directory.Text("directory not terminated") == expectedDirectory,
             "DirectoryOfPath differs from the model");

  Buffer slashed(path);
  ToSlashes(slashed.get());
  FUZZ_CHECK(slashed.Text("slashed text not terminated") == Slashed(path),
             "ToSlashes differs from the model");

  Buffer stripped(path);
  StripQuotes(stripped.get());
  const bool quoted = path.size() >= 3 && path.front() == '"' && path.back() == '"';
  FUZZ_CHECK(stripped.Text("stripped text not terminated") ==
                 (quoted ? path.substr(1, path.size() - 2) : path),
             "StripQuotes differs from the model");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t smallOutput = static_cast<size_t>(data[0]) + 1;  // 1 to 256 bytes
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t split = rest.find('\0');
  const std::string base = rest.substr(0, split);
  std::string path;
  if (split != std::string::npos) {
    path = rest.substr(split + 1);
    path = path.substr(0, path.find('\0'));
  }

  std::string relative;
  CheckUnderBase(base, path, &relative);
  CheckTextRules(base);
  CheckTextRules(path);

  const std::string& name = path;
  bool whole = false;
  const std::string joined = CheckJoin(base, name, kMaxPath, &whole);
  const bool named = CheckUnderBase(base, joined, &relative);
  if (whole) {
    FUZZ_CHECK(named, "an uncut join is not under its own base");
    FUZZ_CHECK(relative == Slashed(name), "the relative name of an uncut join is not the name");
  }

  const std::string walked = CheckJoin(base, name, kTreeWalkPath, &whole);
  const bool walkedNamed = CheckUnderBase(base, walked, &relative);
  if (whole && base.size() < kPathTextSize && name.size() < kPathTextSize) {
    FUZZ_CHECK(walkedNamed, "a tree-walk join is not under its own base");
    FUZZ_CHECK(relative == Slashed(name), "the relative name of a tree-walk join is not the name");
  }

  const std::string cut = CheckJoin(base, name, smallOutput, &whole);
  CheckUnderBase(base, cut, &relative);
  return 0;
}
