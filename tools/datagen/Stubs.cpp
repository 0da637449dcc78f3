#include "Generators.h"
void generateSceneTextures(Output&, const TextSetter&) {}
void generateTunnelTable(Output&) {}
void generateScenes(Output&) {}
void generateMusic(Output&) {}
