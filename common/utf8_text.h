// UTF-8 rules for names: whether bytes are UTF-8 at all, and how many UTF-16 units (the
// characters Windows counts in its path limits) they make. Platform-free.
#ifndef VELMORA_COMMON_UTF8_TEXT_H
#define VELMORA_COMMON_UTF8_TEXT_H

#include <cstddef>

// Whether the bytes are well-formed UTF-8: no stray continuation byte, no cut sequence, no
// overlong form, no surrogate, nothing above U+10FFFF. ASCII text always is.
bool IsValidUtf8(const char* text, size_t length);

// The UTF-16 units of a well-formed UTF-8 text: one per character, two for a character
// outside the Basic Multilingual Plane (four bytes in UTF-8).
size_t Utf16Length(const char* text, size_t length);

// The length of the text without a last character that a cut left incomplete: a lead byte
// followed by fewer continuation bytes than it announces. Whole text is kept as it is.
size_t Utf8WholeLength(const char* text, size_t length);

// The UTF-8 form of a name of at most n UTF-16 units needs at most 3 * n bytes (a unit of the
// Basic Multilingual Plane takes up to three bytes, a pair of units four).
enum { kUtf8BytesPerUnit = 3 };

#endif
