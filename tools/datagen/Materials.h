#pragma once
// Shared material presets for the scene builders.
#include <string>

#include "Geometry.h"

// A textured material; selfIllum keeps faces turned from every light readable.
k3ds::Material& texturedMaterial(SceneBuilder& s, const std::string& name, const std::string& map, k3ds::Rgb diffuse,
                                 int selfIllum, float tile = 1);
// A textured material whose opacity map makes parts of it see-through.
k3ds::Material& glassMaterial(SceneBuilder& s, const std::string& name, const std::string& map,
                              const std::string& opacity, k3ds::Rgb diffuse);
