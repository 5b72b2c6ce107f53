// While a long operation runs, the list and the status bar are drawn in batches: under some
// systems drawing them after every file or text change costs far more than reading the files.
// They are repainted at least every kScreenRefreshInterval ms, between files and between the
// chunks of a long file, and at the end.
#ifndef VELMORA_APP_SCREEN_REFRESH_H
#define VELMORA_APP_SCREEN_REFRESH_H

enum { kScreenRefreshInterval = 100 };

void BeginBatchedRedraw();
// Outside a batch, draws the list at once (the behaviour of a single change).
void RefreshScreenIfDue();
void EndBatchedRedraw();

#endif
