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
    // Copies o member-wise (textures and colours are shared); returns this material.
    Material& operator=(const Material& o) = default;

    // Sets the name, cut to 255 characters.
    void setName(const char* newName);
    // Sets the base texture (owned); returns 0.
    int addFirstTexture(Texture* t);
    // Sets the second texture (owned); returns 0.
    int addSecondTexture(Texture* t);
    // Sets the opacity map (owned); returns 0.
    int addOpacityTexture(Texture* t);
    // Sets the reflection map (owned); returns 0.
    int addReflectionTexture(Texture* t);
    // Refers to c as the ambient colour; returns 0.
    int addAmbientColor(Color* c);
    // Refers to c as the specular colour; returns 0.
    int addSpecularColor(Color* c);
    // Refers to c as the diffuse colour; returns 0.
    int addDiffuseColor(Color* c);
    // Fills the base texture's alpha channel from the opacity map, when both are loaded.
    void calcAlpha();
    // Makes a one-colour base texture from the diffuse colour; returns 0, or an error code without one.
    int makeTextureFromColor();

private:
    bool matchOpacitySize();
};

#endif
