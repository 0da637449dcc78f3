#ifndef KVXVIEW_OPTIONS_H
#define KVXVIEW_OPTIONS_H

// The command line of kvxview: what to open and what to do with it.

#include <cstdio>
#include <string>
#include <vector>

// Exit codes of the program.
enum ExitCode { kExitOk = 0, kExitLoadFailed = 1, kExitUsage = 2 };

struct FrameRange {
    int first = 0;
    int last = 0;
    int step = 1;
};

struct Options {
    std::vector<std::string> files;
    int width = 1280;
    int height = 720;
    bool help = false;
    bool version = false;
    bool listBindings = false;
    bool info = false;
    bool json = false;
    std::string output;  // PNG file name; "{frame}" is replaced by the frame number
    int frame = -1;      // -1: the segment's first frame
    bool hasFrames = false;
    FrameRange frames;
    int camera = 0;          // file camera index; -1 the free camera
    std::string cameraName;  // or the file camera of this name, when not empty
    bool cameraGiven = false;
    bool light = false;  // the file's lights with shadows from the start
    bool wire = false;
    bool watch = false;
    std::vector<std::string> scripts;
    std::vector<std::string> commands;
    std::string replay;  // test hook: a file of input events to play
};

// Parses argv into options; on a usage error writes the message to error and
// returns false.
bool parseOptions(int argc, char** argv, Options* options, std::string* error);

void printUsage(FILE* out);
void printVersion(FILE* out);

#endif
