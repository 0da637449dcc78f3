#pragma once
// Every generator writes its files into the output and records them there.
#include "Output.h"

class TextSetter;

void generateOverlayImages(Output& out, const TextSetter& text);
void generateSceneTextures(Output& out, const TextSetter& text);
void generateTunnelTable(Output& out);
void generateScenes(Output& out);
void generateMusic(Output& out);
// The desktop icon, written only when asked for by name.
void generateIcon(Output& out);
