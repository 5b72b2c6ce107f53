#include "common/code_pages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/utf8_text.h"

bool ProcessCodePageIsUtf8() { return GetACP() == CP_UTF8; }

UINT LegacyCodePage() {
  // GetACP answers 65001 under the manifest; the locale still names the system's own.
  static const UINT legacy = [] {
    char number[8] = "";
    GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, number, sizeof number);
    UINT codePage = static_cast<UINT>(std::strtoul(number, nullptr, 10));
    return codePage != 0 && codePage != CP_UTF8 ? codePage : 1252u;
  }();
  return legacy;
}

bool LegacyTextToUtf8(const char* text, size_t length, std::string* utf8) {
  const int inLength = static_cast<int>(length);
  int units = MultiByteToWideChar(LegacyCodePage(), MB_ERR_INVALID_CHARS, text, inLength,
                                  nullptr, 0);
  if (units <= 0) return false;
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(LegacyCodePage(), MB_ERR_INVALID_CHARS, text, inLength, &wide[0], units);
  int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return false;
  utf8->assign(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &(*utf8)[0], bytes, nullptr, nullptr);
  return true;
}

bool FileTextToProcessCodePage(const char* text, char* out, size_t outSize) {
  const size_t length = std::strlen(text);
  std::string converted;
  if (!ProcessCodePageIsUtf8() || IsValidUtf8(text, length)) {
    converted.assign(text, length);
  } else if (!LegacyTextToUtf8(text, length, &converted)) {
    return false;
  }
  if (converted.size() >= outSize) return false;
  std::memcpy(out, converted.c_str(), converted.size() + 1);
  return true;
}

int LocaleCaseCompare(const char* a, const char* b) {
  const std::wstring wideA = ProcessTextToWide(a, std::strlen(a));
  const std::wstring wideB = ProcessTextToWide(b, std::strlen(b));
  return lstrcmpiW(wideA.c_str(), wideB.c_str());
}

bool LocaleCaseMatches(const char* text, const std::wstring& wanted, bool partial) {
  const std::wstring wideText = ProcessTextToWide(text, std::strlen(text));
  if (!partial) return lstrcmpiW(wideText.c_str(), wanted.c_str()) == 0;
  const int length = static_cast<int>(wanted.size());
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wideText.c_str(),
                        std::min(length, static_cast<int>(wideText.size())), wanted.c_str(),
                        length) == CSTR_EQUAL;
}

std::wstring WidePath(const char* path) {
  std::wstring wide = ProcessTextToWide(path, std::strlen(path));
  const bool drivePath =
      wide.size() >= 3 && wide[1] == L':' && (wide[2] == L'\\' || wide[2] == L'/');
  if (wide.size() < MAX_PATH || !drivePath) return wide;
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return L"\\\\?\\" + wide;
}

bool WideToProcessText(const wchar_t* wide, char* out, size_t outSize) {
  // WC_ERR_INVALID_CHARS is documented with CP_UTF8 only, not with a CP_ACP that is UTF-8.
  const bool utf8 = ProcessCodePageIsUtf8();
  const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : 0;
  const int size = static_cast<int>(outSize);
  return outSize > 0 &&
         WideCharToMultiByte(codePage, flags, wide, -1, out, size, nullptr, nullptr) > 0;
}

void DropSplitCharacter(char* text) {
  if (ProcessCodePageIsUtf8()) text[Utf8WholeLength(text, std::strlen(text))] = '\0';
}

size_t ProcessTextUnits(const char* text) {
  const size_t bytes = std::strlen(text);
  return ProcessCodePageIsUtf8() ? Utf16Length(text, bytes) : bytes;
}

std::wstring ProcessTextToWide(const char* text, size_t length) {
  const int inLength = static_cast<int>(length);
  int units = MultiByteToWideChar(CP_ACP, 0, text, inLength, nullptr, 0);
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, inLength, &wide[0], units);
  return wide;
}
