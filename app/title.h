// The window title ("Velmora - name   [n items]") and the Base Directory label, shown from the
// document's state: whenever the summary path or the Base Directory change, and when a count is
// due.
#ifndef VELMORA_APP_TITLE_H
#define VELMORA_APP_TITLE_H

// Follows the document's state from now on.
void InstallDocumentDisplay();
// Shows the title with the current item count (held while a long operation batches it).
void RefreshTitle();

#endif
