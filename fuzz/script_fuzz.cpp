// Console scripts read from disk; a script may run itself by its own name.
#include <cstddef>
#include <cstdint>

#include "ConsoleFixture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvxfuzz::fixtureScene();
    kvxInitErrorLog(kvxLogToNowhere);
    std::string path = kvxfuzz::writeScratch("script.txt", data, size);
    Console console;
    kvxfuzz::setUpConsole(console);
    console.readScript(path.c_str());
    return 0;
}
