#ifndef KVXVIEW_CONSOLE_VIEW_H
#define KVXVIEW_CONSOLE_VIEW_H

// The engine console shown over the top half of the window: its text (the
// engine's log included), an input line with history and completion of
// command names.

#include <deque>
#include <string>
#include <vector>

#include <SDL.h>

class Console;
class Hud;

class ConsoleView {
public:
    explicit ConsoleView(Console& console) : console_(console) {}

    bool isOpen() const { return open_; }
    void toggle();
    void close();

    // Moves what the console wrote since the last call into the view.
    void pullText();
    void clear() { lines_.clear(); }
    // Keys and typed text while the view is open; true when used.
    bool handleKey(const SDL_Keysym& key);
    void handleText(const char* text);
    // Runs a line as if typed.
    void run(const std::string& line);

    void draw(Hud& hud, int width, int height) const;
    // The newest lines, oldest first.
    std::vector<std::string> lastLines(size_t count) const;

private:
    void complete();
    void recall(int direction);
    void append(const std::string& text);

    Console& console_;
    bool open_ = false;
    std::deque<std::string> lines_;
    std::string partial_;  // an unfinished last line
    std::string input_;
    std::vector<std::string> history_;
    int historyPos_ = 0;
    int scroll_ = 0;  // lines scrolled back from the newest
};

// The file of the console's last LOAD3DS as it stands on disk (the console
// upper-cases its lines), or "" when the console has loaded none.
std::string consoleLoadedFile(const Console& console);
// Notes each scene load that the console completes (LOAD3DS, RELOAD3DS): the
// new group may stand at the address of the one it replaced.
void noteConsoleLoads(Console& console);
// True once after each completed console load.
bool consoleLoadCompleted();

#endif
