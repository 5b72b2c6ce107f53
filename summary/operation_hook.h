// What the document's loops (adding files, verifying them, reading a summary) tell the window:
// a message for the user, which holds the loop until it has been answered, and the moments at
// which the screen may catch up with them; and what they ask it: how many files to read at once.
#ifndef VELMORA_SUMMARY_OPERATION_HOOK_H
#define VELMORA_SUMMARY_OPERATION_HOOK_H

struct OperationHook {
  void (*tellUser)(const char* text);  // an error the user must acknowledge
  void (*fileAdded)();                 // a walk or a choice of files added one
  void (*resultRecorded)();            // a verdict reached its entry
  int (*readersFor)(const char* path);  // files read at once under path (see ReaderCountFor)
};

// With none installed, messages and moments go unnoticed (the platform-free tools).
void InstallOperationHook(const OperationHook* hook);

void TellUser(const char* text);
void ReportFileAdded();
void ReportResultRecorded();
// How many files an operation under path reads at once: the window's answer; one with none
// installed.
int OperationReaders(const char* path);

#endif
