#include "LogText.h"

#include <vector>

std::string takeLogText(Console& console) {
    static std::vector<char> buffer(Console::textSize);
    int length = console.getText(buffer.data());
    return std::string(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
}
