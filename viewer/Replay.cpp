#include "Replay.h"

#include <fstream>
#include <sstream>

#include <SDL.h>

namespace {

void pushKey(Uint32 type, const std::string& name) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = SDL_GetKeyFromName(name.c_str());
    e.key.keysym.scancode = SDL_GetScancodeFromKey(e.key.keysym.sym);
    SDL_PushEvent(&e);
}

void pushText(const std::string& text) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    snprintf(e.text.text, sizeof e.text.text, "%s", text.c_str());
    SDL_PushEvent(&e);
}

void pushDrag(int button, int dx, int dy) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = static_cast<Uint8>(button);
    e.button.state = SDL_PRESSED;
    SDL_PushEvent(&e);
    e = SDL_Event{};
    e.type = SDL_MOUSEMOTION;
    e.motion.state = SDL_BUTTON(button);
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    SDL_PushEvent(&e);
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = static_cast<Uint8>(button);
    e.button.state = SDL_RELEASED;
    SDL_PushEvent(&e);
}

void pushDrop(const std::string& file) {
    SDL_Event e{};
    e.type = SDL_DROPFILE;
    e.drop.file = SDL_strdup(file.c_str());
    SDL_PushEvent(&e);
}

void pushWheel(int steps) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = steps;
    SDL_PushEvent(&e);
}

}  // namespace

bool Replay::load(const std::string& path, std::string* error) {
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') lines_.push_back(line);
    active_ = true;
    return true;
}

ReplayRequest Replay::step() {
    ReplayRequest request;
    if (orbitFrames_ > 0) {
        --orbitFrames_;
        pushDrag(1, orbitDx_, 0);
        return request;
    }
    if (wait_ > 0) {
        --wait_;
        return request;
    }
    while (!lines_.empty() && wait_ == 0 && orbitFrames_ == 0 && request.shotFile.empty() &&
           request.stateFile.empty()) {
        std::string line = lines_.front();
        lines_.pop_front();
        if (!runLine(line, &request)) fprintf(stderr, "kvxview: replay: cannot run '%s'\n", line.c_str());
        if (request.quit) break;
    }
    return request;
}

bool Replay::runLine(const std::string& line, ReplayRequest* request) {
    std::istringstream in(line);
    std::string verb, arg;
    in >> verb;
    if (verb == "key") {
        int count = 1;
        in >> arg;
        if (!(in >> count)) count = 1;
        for (int i = 0; i < count; ++i) pushKey(SDL_KEYDOWN, arg), pushKey(SDL_KEYUP, arg);
    } else if (verb == "down" || verb == "up") {
        in >> arg;
        pushKey(verb == "down" ? SDL_KEYDOWN : SDL_KEYUP, arg);
    } else if (verb == "text") {
        std::getline(in >> std::ws, arg);
        pushText(arg);
    } else if (verb == "drag") {
        int button = 1, dx = 0, dy = 0;
        in >> button >> dx >> dy;
        pushDrag(button, dx, dy);
    } else if (verb == "wheel") {
        int steps = 0;
        in >> steps;
        pushWheel(steps);
    } else if (verb == "drop") {
        std::getline(in >> std::ws, arg);
        pushDrop(arg);
    } else if (verb == "orbit") {
        in >> orbitFrames_ >> orbitDx_;
    } else if (verb == "frames") {
        in >> wait_;
    } else if (verb == "state") {
        in >> request->stateFile;
    } else if (verb == "shot") {
        in >> request->shotFile;
    } else if (verb == "quit") {
        request->quit = true;
    } else {
        return false;
    }
    return verb == "key" || !in.fail();
}
