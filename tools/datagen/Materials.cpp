#include "Materials.h"

k3ds::Material& texturedMaterial(SceneBuilder& s, const std::string& name, const std::string& map, k3ds::Rgb diffuse,
                                 int selfIllum, float tile) {
    k3ds::Material& m = s.material(name);
    m.ambient = {diffuse.r * 0.3f, diffuse.g * 0.3f, diffuse.b * 0.3f};
    m.diffuse = diffuse;
    m.specular = {0.9f, 0.9f, 0.9f};
    m.selfIllumination = selfIllum;
    m.texture.file = map;
    m.texture.uScale = tile;
    m.texture.vScale = tile;
    return m;
}

k3ds::Material& glassMaterial(SceneBuilder& s, const std::string& name, const std::string& map,
                              const std::string& opacity, k3ds::Rgb diffuse) {
    k3ds::Material& m = texturedMaterial(s, name, map, diffuse, 60);
    m.opacity.file = opacity;
    m.twoSided = true;
    m.transparency = 50;
    return m;
}
