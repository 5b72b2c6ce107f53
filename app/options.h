// Command-line option scanner and the start-up request built from it.
#ifndef VELMORA_APP_OPTIONS_H
#define VELMORA_APP_OPTIONS_H

enum { kMaxOptionArgument = 16383 };

// Prepares a new scan of commandLine and returns it as the initial cursor.
char* ResetOptionScanner(char* commandLine);

// Returns the next option character, 0 at the end of the options (the cursor then rests on
// what follows them), or '?' on an error. For an option that takes an argument, *argument
// points to a buffer that the next call overwrites; otherwise it is null.
int GetOption(char** cursor, const char* options, const char** argument);

struct StartupRequest {
  char* generateDirectory;  // malloc copy of the last -g/-G argument, or null
  char* checkDirectory;     // malloc copy of the last -c/-C argument, or null
  const char* summaryName;  // the rest of the line, pointing into the command line, or null
};

// Scans "g:G:c:C:" and the summary name. False means a usage error; the request then holds
// nothing that needs freeing.
bool ParseCommandLine(char* commandLine, StartupRequest* request);
void FreeStartupRequest(StartupRequest* request);

#endif
