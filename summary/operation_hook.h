// What the document's loops (adding files, verifying them, reading a summary) tell the window:
// a message for the user, which holds the loop until it has been answered, and the moments at
// which the screen may catch up with them.
#ifndef VELMORA_SUMMARY_OPERATION_HOOK_H
#define VELMORA_SUMMARY_OPERATION_HOOK_H

struct OperationHook {
  void (*tellUser)(const char* text);  // an error the user must acknowledge
  void (*fileAdded)();                 // a walk or a choice of files added one
  void (*resultRecorded)();            // a verdict reached its entry
};

// With none installed, messages and moments go unnoticed (the platform-free tools).
void InstallOperationHook(const OperationHook* hook);

void TellUser(const char* text);
void ReportFileAdded();
void ReportResultRecorded();

#endif
