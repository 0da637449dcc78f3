#ifndef KVX_RENDER_ERRORLOG_H
#define KVX_RENDER_ERRORLOG_H

// The engine's one message log. Every message, failure or information line,
// goes through kvxPutToErrorLog, which returns the code it was given so that
// a failing operation can log and return in one step.

#include <cstdio>

class Console;

// Destinations of kvxError.mode.
const int kvxLogToFile = 0;
const int kvxLogToMessageBox = 1;
const int kvxLogToConsole = 2;
const int kvxLogToNowhere = 3;

const int kvxErrorFileNameSize = 64;  // including the terminator
const int kvxErrorTextSize = 1024;    // message plus what the log appends

// Where the log goes: its mode, file name or console.
struct KVXError {
    FILE* file;  // stream of a file write in progress; null between messages
    int mode;
    char fileName[kvxErrorFileNameSize];
    Console* console;  // not owned
};

// The engine's log settings.
extern KVXError kvxError;

// Log file. A name longer than 63 characters is refused: messages are then
// lost as with a file that cannot be opened. The file is not touched here.
void kvxInitErrorLog(const char* fileName);
// Logs into console.
void kvxInitErrorLog(Console* console);
// Logs to one of the kvxLogTo... destinations.
void kvxInitErrorLog(int mode);

// How a line reaches a console; the console code registers it, so the log
// needs nothing of the console but its address.
void kvxSetConsoleLogSink(int (*sink)(Console* console, const char* line));

// Writes message with its code to the log; returns code.
int kvxPutToErrorLog(const char* message, int code);
// The code of the last message logged, whatever its destination; 0 before any.
// A host that receives only a null or false from an operation reads the cause here.
int kvxLastLoggedCode();

#endif
