// Which commands the document's state allows, and which commands busy mode greys.
#ifndef VELMORA_APP_COMMAND_STATE_H
#define VELMORA_APP_COMMAND_STATE_H

// What the enabling rules look at: the document and the list as they are now.
struct CommandFacts {
  bool baseDirectorySet;
  bool hasEntries;
  bool hasSelection;
  bool modified;
  bool kindAvailable[4];  // per kind of digest, in DigestKind's order: it can be computed here
};

struct CommandEnable {
  int id;
  bool enabled;
};

enum { kRefreshedCommandCount = 16, kBusyDisabledCommandCount = 21 };

// The commands that follow the document, in the order they are applied. New, Open, Exit,
// Help Contents, About and Stop are not among them: only busy mode changes those.
void ComputeCommandState(const CommandFacts& state, CommandEnable out[kRefreshedCommandCount]);

// Every fixed menu command except Stop, in the order busy mode walks them (backwards).
extern const int kBusyDisabledCommands[kBusyDisabledCommandCount];

#endif
