// The kind of digest a document holds, as the window shows and chooses it: Edit > Digest (one
// radio item per kind, usable while the list is empty), the digest column's title and width,
// and the kind a new summary takes, remembered in the settings file.
#ifndef VELMORA_APP_DIGEST_CHOICE_H
#define VELMORA_APP_DIGEST_CHOICE_H

#include "digest/digest_kind.h"

// The kind a new summary (New, -g, the first document) takes: the one last chosen, else MD5.
DigestKind RememberedDigestKind();

bool IsDigestCommand(int id);
// The kind an Edit > Digest item names.
DigestKind DigestKindOfCommand(int id);
// Edit > Digest: the document takes the kind, and new summaries take it from now on. Nothing
// happens while the list has entries or the kind cannot be computed here (the item is grey).
void ChooseDigestKind(int id);

// The window follows the document's kind: the checked item, the digest column's title
// ("SHA-256 Summary") and, unless the user set it, its width.
void RefreshDigestKindDisplay();

// A text naming the document's kind where format has %s ("The %s Summary has been modified.").
void FormatForDocumentKind(const char* format, char* out, unsigned outSize);

#endif
