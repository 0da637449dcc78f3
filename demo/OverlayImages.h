#ifndef DEMO_OVERLAY_IMAGES_H
#define DEMO_OVERLAY_IMAGES_H

#include "Korvex3D.h"

namespace demo {

// The three ways the show turns image files from its data directory into materials.
void loadPlainImage(Material* m, const char* file);
void loadImageWithAlpha(Material* m, const char* file);
void loadImageWithMask(Material* m, const char* file, const char* maskFile);

}  // namespace demo

#endif
