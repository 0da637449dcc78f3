// Console command lines: each input line goes through the interpreter in turn.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ConsoleFixture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvxfuzz::fixtureScene();
    kvxInitErrorLog(kvxLogToNowhere);
    Console console;
    kvxfuzz::setUpConsole(console);
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        console.command(text.substr(at, end - at).c_str());
        at = end + 1;
    }
    console.parse(nullptr);
    char* out = new char[Console::textSize + 1];
    console.getText(out);
    delete[] out;
    return 0;
}
