#ifndef KVX_TEXTURE_MATERIAL_H
#define KVX_TEXTURE_MATERIAL_H

// Surface description of faces: up to four owned textures, three colours the
// material only refers to, transparency and the renderers' flags.

#include <cstdint>
#include "core/Types.h"

class Texture;

class Material {
public:
    static const int kNameSize = 256;

    char name[kNameSize];
    int32_t id;
    float selfIllumination;
    float transparency;
    Texture* firstTexture;
    Texture* secondTexture;
    Texture* opacityTexture;
    Texture* reflectionTexture;
    Color* ambient;
    Color* specular;
    Color* diffuse;
    Material* next;
    bool tiled;
    bool twoSided;
    bool wireframe;
    float wireSize;

    Material();
    ~Material();
    Material& operator=(const Material& o) = default;

    void setName(const char* newName);
    int addFirstTexture(Texture* t);
    int addSecondTexture(Texture* t);
    int addOpacityTexture(Texture* t);
    int addReflectionTexture(Texture* t);
    int addAmbientColor(Color* c);
    int addSpecularColor(Color* c);
    int addDiffuseColor(Color* c);
    void calcAlpha();
    int makeTextureFromColor();

private:
    bool matchOpacitySize();
};

#endif
