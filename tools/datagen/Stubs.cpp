#include "Generators.h"
void generateMusic(Output&) {}
