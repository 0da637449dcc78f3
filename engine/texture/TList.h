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

    // A list holding only the default material.
    TList();
    // Deletes the materials.
    ~TList();
    // Copies o member-wise (the materials are shared); the colours each list
    // keeps and its holders stay its own. Returns this list.
    TList& operator=(const TList& o);

    // Appends m (owned) and numbers it; returns 0, or an error code when m is null.
    int addMaterial(Material* m);
    // Deletes the material of that name; returns 0, or an error code when there is none or it is the default.
    int delMaterial(const char* name);
    // Returns the material of that name, or null.
    Material* seekMaterial(const char* name);
    // Returns the last material.
    Material* seekLastMaterial();
    // Returns the material before m, or null.
    Material* getPrevious(Material* m);
    // Sets the directory of the texture files.
    void setBaseDirectory(const char* dir);
    // Returns the number of the material of that name, or an error code.
    int getMaterialID(const char* name);
    // Returns the number of m, or an error code when m is null.
    int getMaterialID(Material* m);
    // Returns the material numbered id, or null.
    Material* getMaterial(int id);

    // Keeps color, made for one of the list's materials, until the list is destroyed.
    void keepColor(Color* color);
    // Another group holds the list as well.
    void addHolder();
    // One holder lets go; true when it was the last, and the list is the caller's to delete.
    bool releaseHolder();

private:
    void freeKeptColors();

    Color* defaultColor;  // the default material's colours, which the list owns
    Color** keptColors;   // owned: keptCount of keptCapacity
    int32_t keptCount;
    int32_t keptCapacity;
    int32_t extraHolders;  // holders beyond the first
};

#endif
