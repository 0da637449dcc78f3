#include "ConsoleView.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include <Korvex3D.h>

#include "Hud.h"
#include "LogText.h"

namespace {

const size_t kMaxLines = 2000;
const size_t kMaxInput = Console::lineSize - 1;
const char* const kCommandNames[] = {"ACTIVECAMERA", "ACTIVEPLIST", "ACTIVETLIST", "CLEAR3DS",   "CLS",     "DIR",
                                     "EFUNCLIST",    "EVAL",        "EVARLIST",    "EXECSCRIPT", "EXIT",    "FOV",
                                     "GAMMA",        "GET",         "HELP",        "INFO",       "LOAD3DS", "MEM",
                                     "RELOAD3DS",    "SCENEINFO",   "SET"};
const float kMargin = 8;
const float kCharWidth = 8.5f;  // wide enough for upper-case text

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

void ConsoleView::toggle() {
    open_ = !open_;
    if (open_)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

void ConsoleView::close() {
    if (open_) toggle();
}

void ConsoleView::append(const std::string& text) {
    partial_ += text;
    size_t start = 0, nl;
    while ((nl = partial_.find('\n', start)) != std::string::npos) {
        lines_.push_back(partial_.substr(start, nl - start));
        start = nl + 1;
    }
    partial_.erase(0, start);
    while (lines_.size() > kMaxLines) lines_.pop_front();
}

void ConsoleView::pullText() {
    std::string text = takeLogText(console_);
    if (!text.empty()) append(text);
}

void ConsoleView::run(const std::string& line) {
    if (!partial_.empty()) append("\n");  // SCENEINFO ends without a newline
    console_.command(line.c_str());
    pullText();
    if (!partial_.empty()) append("\n");
    if (!line.empty() && (history_.empty() || history_.back() != line)) history_.push_back(line);
    historyPos_ = static_cast<int>(history_.size());
    scroll_ = 0;
}

void ConsoleView::recall(int direction) {
    if (history_.empty()) return;
    historyPos_ = std::max(0, std::min(static_cast<int>(history_.size()), historyPos_ + direction));
    input_ = historyPos_ < static_cast<int>(history_.size()) ? history_[historyPos_] : "";
}

// Completes the command word: a single match whole, several to their common
// beginning, with the candidates listed.
void ConsoleView::complete() {
    if (input_.find(' ') != std::string::npos) return;
    std::string word = upper(input_);
    std::vector<std::string> matches;
    for (const char* name : kCommandNames)
        if (std::string(name).compare(0, word.size(), word) == 0) matches.push_back(name);
    if (matches.empty()) return;
    if (matches.size() == 1) {
        input_ = matches[0] + " ";
        return;
    }
    std::string common = matches[0];
    for (const std::string& m : matches)
        while (m.compare(0, common.size(), common) != 0) common.pop_back();
    input_ = common;
    std::string list;
    for (const std::string& m : matches) list += m + "  ";
    append(list + "\n");
}

bool ConsoleView::handleKey(const SDL_Keysym& key) {
    switch (key.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER: {
            std::string line = input_;
            input_.clear();
            run(line);
            return true;
        }
        case SDLK_BACKSPACE:
            if (!input_.empty()) input_.pop_back();
            return true;
        case SDLK_TAB: complete(); return true;
        case SDLK_UP: recall(-1); return true;
        case SDLK_DOWN: recall(1); return true;
        case SDLK_PAGEUP: scroll_ = std::min(scroll_ + 10, static_cast<int>(lines_.size())); return true;
        case SDLK_PAGEDOWN: scroll_ = std::max(scroll_ - 10, 0); return true;
        case SDLK_ESCAPE:
        case SDLK_BACKQUOTE: close(); return true;
        default: return false;
    }
}

void ConsoleView::handleText(const char* text) {
    for (const char* p = text; *p; ++p)
        if (*p != '`' && input_.size() < kMaxInput) input_ += *p;
}

std::vector<std::string> ConsoleView::lastLines(size_t count) const {
    size_t n = std::min(count, lines_.size());
    return std::vector<std::string>(lines_.end() - n, lines_.end());
}

// Long lines wrap at the window's width; the newest rows sit above the input line.
void ConsoleView::draw(Hud& hud, int width, int height) const {
    float bottom = height * 0.5f;
    hud.panel(0, 0, static_cast<float>(width), bottom, 0.82f);
    size_t rows = static_cast<size_t>(std::max(1, static_cast<int>(bottom / Hud::kLineHeight) - 2));
    size_t columns = static_cast<size_t>(std::max(8.0f, (width - 2 * kMargin) / kCharWidth));
    std::vector<std::string> shown;
    for (int i = static_cast<int>(lines_.size()) - scroll_ - 1; i >= 0 && shown.size() < rows; --i) {
        const std::string& line = lines_[i];
        size_t pieces = std::max<size_t>(1, (line.size() + columns - 1) / columns);
        for (size_t p = pieces; p-- > 0 && shown.size() < rows;) shown.push_back(line.substr(p * columns, columns));
    }
    float y = 4;
    for (size_t i = shown.size(); i-- > 0; y += Hud::kLineHeight) hud.text(kMargin, y, shown[i], 0.85f, 0.9f, 0.85f);
    float inputY = bottom - Hud::kLineHeight - 6;
    hud.text(kMargin, inputY, "> " + input_ + "_", 1.0f, 0.95f, 0.6f);
}

std::string consoleLoadedFile(const Console& console) {
    char name[kvxMaxPathLength] = {}, real[kvxMaxPathLength];
    if (sscanf(console.lastLoad, "%*s %4095s", name) != 1) return "";
    return kvxResolvePath(name, real, sizeof real, false) ? real : name;
}

namespace {
bool consoleLoaded = false;
void noteProgress(float fraction) {
    if (fraction >= 1.0f) consoleLoaded = true;
}
}  // namespace

void noteConsoleLoads(Console& console) { console.addProgressFunc(noteProgress); }

bool consoleLoadCompleted() {
    bool loaded = consoleLoaded;
    consoleLoaded = false;
    return loaded;
}
