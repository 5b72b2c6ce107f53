// How the document's loops are shown while they run: their messages in error boxes, the
// screen caught up between files, the title's count every fifty files added.
#ifndef VELMORA_APP_OPERATION_DISPLAY_H
#define VELMORA_APP_OPERATION_DISPLAY_H

void InstallOperationDisplay();
// Starts the count of files added since the title last showed one, as an addition starts.
void RestartTitleCount();

#endif
