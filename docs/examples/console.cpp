// The console: the host registers a variable and a function under names, then drives
// them with commands as a user or a script would, and reads the console's text back.
#include <Korvex3D.h>
#include <cstdio>

static float speed = 1.0f;                        // registered variables are floats
static float twice(float x) { return 2.0f * x; }  // one of nine registered signatures

int main() {
    Console* console = new Console;  // needs no window; the engine logs into it once started
    console->addVar(&speed, "SPEED");
    console->addFunc(twice, "TWICE");
    console->parse("SET SPEED 3");
    console->parse("GET SPEED");
    console->parse("EVAL TWICE 21");
    console->parse("EVARLIST");
    printf("the host sees speed = %g\n", speed);

    static char text[Console::textSize];
    console->getText(text);
    fputs(text, stdout);  // each command and its answer
    bool set = speed == 3.0f;
    delete console;
    return set ? 0 : 1;
}
