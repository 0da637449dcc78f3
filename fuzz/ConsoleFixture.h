#ifndef KVX_FUZZ_CONSOLEFIXTURE_H
#define KVX_FUZZ_CONSOLEFIXTURE_H

// A console as a host sets it up: a scene to act on, registered variables and one
// function of every signature. Runs in the scratch directory so that the file names
// a command line gives stay inside it; give libFuzzer absolute corpus paths.

#include <unistd.h>

#include "FuzzSupport.h"
#include "console/Console.h"
#include "scene/Scene.h"

namespace kvxfuzz {

namespace host {
inline float variable = 1.0f;
inline void voidFloat(float) {}
inline void voidInt(int) {}
inline void voidVoid() {}
inline int intFloat(float f) { return f > 0.0f ? 1 : 0; }
inline int intInt(int i) { return i & 0xFF; }
inline int intVoid() { return 7; }
inline float floatFloat(float f) { return f * 0.5f; }
inline float floatInt(int i) { return static_cast<float>(i & 0xFF); }
inline float floatVoid() { return 0.25f; }
}  // namespace host

// The scene lives for the process, like a host's; each input gets a fresh console.
inline Scene* fixtureScene() {
    static Scene* scene = [] {
        startEngine();
        if (chdir(scratchDir().c_str()) != 0) std::perror("chdir");
        return new Scene();
    }();
    return scene;
}

inline void setUpConsole(Console& c) {
    c.setScene(fixtureScene());
    c.addVar(&host::variable, "VAR1");
    c.addVar(nullptr, "NULLVAR");
    c.addFunc(host::voidFloat, "VF");
    c.addFunc(host::voidInt, "VI");
    c.addFunc(host::voidVoid, "VV");
    c.addFunc(host::intFloat, "IF");
    c.addFunc(host::intInt, "II");
    c.addFunc(host::intVoid, "IV");
    c.addFunc(host::floatFloat, "FF");
    c.addFunc(host::floatInt, "FI");
    c.addFunc(host::floatVoid, "FV");
}

}  // namespace kvxfuzz

#endif
