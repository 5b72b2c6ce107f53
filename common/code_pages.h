// The code pages of the program's byte strings. With the manifest's activeCodePage, Windows 10
// (1903) and later give the process UTF-8 as its ANSI code page; earlier systems keep the
// locale's code page, and there the program behaves as it always has.
#ifndef VELMORA_COMMON_CODE_PAGES_H
#define VELMORA_COMMON_CODE_PAGES_H

#include <windows.h>

#include <cstddef>
#include <string>

// Whether the process's ANSI code page, that of every path and name in the program, is UTF-8.
bool ProcessCodePageIsUtf8();

// The system's legacy ANSI code page (1252 on a Western system): what earlier versions of the
// program, and other Windows tools, wrote names in.
UINT LegacyCodePage();

// Text of the legacy code page as UTF-8; false when it holds bytes that code page does not
// define.
bool LegacyTextToUtf8(const char* text, size_t length, std::string* utf8);

// A text read from a file, in the process code page: kept as it is when it is UTF-8 or the
// process code page is not; otherwise read as legacy code page text and converted. False,
// with out untouched, when it cannot be converted or would not fit in outSize bytes.
bool FileTextToProcessCodePage(const char* text, char* out, size_t outSize);

// The UTF-16 form of a text of the process code page ("" when it cannot be converted).
std::wstring ProcessTextToWide(const char* text, size_t length);

// The UTF-16 form of a path for the wide file functions: past the plain form's limit of
// MAX_PATH - 1 characters, an absolute drive path takes the literal form "\\?\D:\...", which
// the system takes at any length.
std::wstring WidePath(const char* path);

// A UTF-16 text in the process code page, into out (outSize bytes). False when it does not fit,
// or, where that code page is UTF-8, when it cannot be carried (an unpaired surrogate): never a
// different text. Elsewhere characters the code page lacks become '?', as the ANSI functions do.
bool WideToProcessText(const wchar_t* wide, char* out, size_t outSize);

// After a copy that had to be cut: drops the bytes of a character that the cut split, where the
// process code page is UTF-8 (a legacy code page's text stays as it always was).
void DropSplitCharacter(char* text);

// The length of a text of the process code page as Windows counts it in its limits: UTF-16
// units where the code page is UTF-8, bytes elsewhere (as before).
size_t ProcessTextUnits(const char* text);

// The locale's case-insensitive order of two texts of the process code page (<0, 0, >0), or of
// their first prefixLength characters each with a prefix length. Through the wide functions:
// the ANSI ones may convert with the locale's code page, not the process's.
int LocaleCaseCompare(const char* a, const char* b);
// Whether text equals (or, with partial, starts with) a wide text, letter case aside: the wide
// text is converted once by a caller that compares it with many.
bool LocaleCaseMatches(const char* text, const std::wstring& wanted, bool partial);

#endif
