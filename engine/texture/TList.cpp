#include "texture/TList.h"

#include <cstring>

#include "render/ErrorLog.h"
#include "texture/Material.h"
#include "texture/TextureMessages.h"

namespace {

const char kDefaultName[] = "KVXDefault";
const Color kDefaultColor = {0.5f, 0.0f, 0.2f, 1.0f};
const char kSeparator = '\\';

}  // namespace

TList::TList()
    : head(new Material), defaultColor(new Color(kDefaultColor)), keptColors(nullptr), keptCount(0), keptCapacity(0),
      extraHolders(0) {
    memset(baseDirectory, 0, sizeof(baseDirectory));
    head->setName(kDefaultName);
    head->addAmbientColor(defaultColor);
    head->addDiffuseColor(defaultColor);
    head->addSpecularColor(defaultColor);
}

TList::~TList() {
    Material* m = head;
    while (m != nullptr) {
        Material* following = m->next;
        delete m;
        m = following;
    }
    delete defaultColor;
    freeKeptColors();
}

TList& TList::operator=(const TList& o) {
    head = o.head;
    std::memcpy(baseDirectory, o.baseDirectory, sizeof(baseDirectory));
    defaultColor = o.defaultColor;
    return *this;
}

void TList::freeKeptColors() {
    for (int i = 0; i < keptCount; ++i) delete keptColors[i];
    delete[] keptColors;
    keptColors = nullptr;
    keptCount = keptCapacity = 0;
}

void TList::keepColor(Color* color) {
    if (color == nullptr) return;
    if (keptCount == keptCapacity) {
        const int32_t grown = keptCapacity == 0 ? 8 : keptCapacity * 2;
        Color** larger = new Color*[size_t(grown)];
        for (int i = 0; i < keptCount; ++i) larger[i] = keptColors[i];
        delete[] keptColors;
        keptColors = larger;
        keptCapacity = grown;
    }
    keptColors[keptCount++] = color;
}

void TList::addHolder() { ++extraHolders; }

bool TList::releaseHolder() {
    if (extraHolders == 0) return true;
    --extraHolders;
    return false;
}

int TList::addMaterial(Material* m) {
    if (m == nullptr) return kvxPutToErrorLog(kMsgNotFound, kCodeNotFound);
    Material* last = seekLastMaterial();
    last->next = m;
    m->id = last->id + 1;
    return 0;
}

int TList::delMaterial(const char* name) {
    Material* m = seekMaterial(name);
    if (m == nullptr) return kvxPutToErrorLog(kMsgNotFound, kCodeNotFound);
    Material* previous = getPrevious(m);
    if (previous == nullptr) return kvxPutToErrorLog(kMsgDeleteDefault, kCodeDeleteDefault);
    previous->next = m->next;
    delete m;
    return 0;
}

Material* TList::seekMaterial(const char* name) {
    if (name == nullptr) return nullptr;
    for (Material* m = head; m != nullptr; m = m->next) {
        if (strcmp(m->name, name) == 0) return m;
    }
    return nullptr;
}

Material* TList::seekLastMaterial() {
    Material* m = head;
    while (m->next != nullptr) m = m->next;
    return m;
}

Material* TList::getPrevious(Material* m) {
    for (Material* p = head; p != nullptr; p = p->next) {
        if (p->next == m && m != nullptr) return p;
    }
    return nullptr;
}

void TList::setBaseDirectory(const char* dir) {
    if (dir == nullptr) return;
    size_t n = strlen(dir);
    if (n == 0) {  // the current directory: no separator to add
        baseDirectory[0] = '\0';
        return;
    }
    bool addSeparator = dir[n - 1] != kSeparator;
    if (n + (addSeparator ? 1 : 0) >= static_cast<size_t>(kDirectorySize)) {
        baseDirectory[0] = '\0';
        kvxPutToErrorLog(kMsgPathTooLong, kCodePathTooLong);
        return;
    }
    memcpy(baseDirectory, dir, n);
    if (addSeparator) baseDirectory[n++] = kSeparator;
    baseDirectory[n] = '\0';
}

int TList::getMaterialID(const char* name) { return getMaterialID(seekMaterial(name)); }

int TList::getMaterialID(Material* m) {
    if (m == nullptr) return kvxPutToErrorLog(kMsgNotFound, kCodeNotFound);
    return m->id;
}

Material* TList::getMaterial(int id) {
    for (Material* m = head; m != nullptr; m = m->next) {
        if (m->id == id) return m;
    }
    return nullptr;
}
