#ifndef KVX_TEXTURE_TLIST_H
#define KVX_TEXTURE_TLIST_H

// A material list: a chain that starts with the built-in default material,
// numbers materials in the order they are added, and names the directory of
// their texture files.

#include <cstdint>
#include "core/Types.h"

class Material;

class TList {
public:
    static const int kDirectorySize = 256;

    Material* head;
    char baseDirectory[kDirectorySize];

    TList();
    ~TList();
    TList& operator=(const TList& o) = default;

    int addMaterial(Material* m);
    int delMaterial(const char* name);
    Material* seekMaterial(const char* name);
    Material* seekLastMaterial();
    Material* getPrevious(Material* m);
    void setBaseDirectory(const char* dir);
    int getMaterialID(const char* name);
    int getMaterialID(Material* m);
    Material* getMaterial(int id);

private:
    Color* defaultColor;  // the default material's colours, which the list owns
};

#endif
