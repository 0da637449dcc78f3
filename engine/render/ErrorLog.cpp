#include "render/ErrorLog.h"

#include <cstdlib>
#include <cstring>

#include "platform/FileSystem.h"
#include "platform/Window.h"

KVXError kvxError;

namespace {

const char* const kCaption = "KVX Error";
int lastCode = 0;
int (*consoleSink)(Console*, const char*) = nullptr;
const char* const kLineEnd = "\n";
// The line end, then the question.
const char* const kLineEndAndQuestion = "\n\nContinue?\n";

// Builds message + suffix in text. A message too long for the buffer is cut
// so that the suffix always survives intact.
void compose(char* text, const char* message, const char* suffix) {
    size_t room = kvxErrorTextSize - 1 - strlen(suffix);
    size_t length = message ? strnlen(message, room) : 0;
    if (length) memcpy(text, message, length);
    strcpy(text + length, suffix);
}

void writeToFile(const char* text) {
    kvxError.file = kvxOpenFile(kvxError.fileName, "at");
    if (!kvxError.file) return;
    fputs(text, kvxError.file);
    fclose(kvxError.file);
    kvxError.file = nullptr;  // closed: nobody may write through it any more
}

void showMessageBox(const char* text) {
    if (!kvxAskYesNo(kCaption, text)) std::exit(0);
}

}  // namespace

void kvxInitErrorLog(const char* fileName) {
    // A name that does not fit is refused rather than cut: a cut path names
    // another file, possibly in another folder.
    size_t length = fileName ? strnlen(fileName, kvxErrorFileNameSize) : 0;
    if (length >= (size_t)kvxErrorFileNameSize) length = 0;
    if (length) memcpy(kvxError.fileName, fileName, length);
    kvxError.fileName[length] = '\0';
    kvxError.mode = kvxLogToFile;
}

void kvxInitErrorLog(Console* console) {
    kvxError.mode = kvxLogToConsole;
    kvxError.console = console;
}

void kvxInitErrorLog(int mode) { kvxError.mode = mode; }

void kvxSetConsoleLogSink(int (*sink)(Console*, const char*)) { consoleSink = sink; }

int kvxLastLoggedCode() { return lastCode; }

int kvxPutToErrorLog(const char* message, int code) {
    lastCode = code;
    char text[kvxErrorTextSize];
    switch (kvxError.mode) {
        case kvxLogToFile:
            compose(text, message, kLineEnd);
            writeToFile(text);
            break;
        case kvxLogToMessageBox:
            compose(text, message, kLineEndAndQuestion);
            showMessageBox(text);
            break;
        case kvxLogToConsole:
            if (kvxError.console && consoleSink) {
                compose(text, message, kLineEnd);
                consoleSink(kvxError.console, text);
            }
            break;
        default: break;
    }
    return code;
}
