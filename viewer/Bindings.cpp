#include "Bindings.h"

const Binding kBindings[] = {
    {"Space", "pause or play the animation"},
    {"Left / Right", "step one frame back / forward"},
    {"Home / End", "first / last frame of the segment"},
    {"[ / ]", "halve / double the playing speed"},
    {"C", "next camera: the file's cameras, then the free camera"},
    {"Left drag", "orbit the free camera (look around in fly and walk mode)"},
    {"Middle drag", "pan the free camera"},
    {"Wheel", "zoom the free camera"},
    {"F", "fly mode on/off: W A S D move, Q E down/up, drag to look"},
    {"G", "walk mode on/off: W A S D walk with collision and gravity"},
    {"R", "reset the free camera to frame the scene"},
    {"L", "lighting: the file's lights with shadows / a light at the eye"},
    {"W", "wire overlay on/off (in orbit mode)"},
    {"T", "textures on/off"},
    {"B", "bounding boxes on/off"},
    {"N", "vertex normals on/off"},
    {"X", "axes and ground grid on/off"},
    {"H", "this help on/off"},
    {"` (back-quote)", "console on/off (Up/Down history, Tab completes, PageUp/PageDown scroll)"},
    {"F12", "screenshot ShotNNNN.jpg in the working directory"},
    {"PageUp / PageDown", "previous / next file of the command line"},
    {"Drop a file", "open it"},
    {"Escape", "close the console or help, else quit"},
};

const int kBindingCount = sizeof kBindings / sizeof kBindings[0];

void printBindings(FILE* out) {
    for (int i = 0; i < kBindingCount; ++i) fprintf(out, "  %-18s %s\n", kBindings[i].input, kBindings[i].action);
}
