// Registry of host variables and functions published to the console.

#include "console/Console.h"

#include <cctype>
#include <cinttypes>
#include <cstdint>
#include <cstring>

#include "console/ConsoleMessages.h"
#include "render/ErrorLog.h"

namespace {
const float kVarNotFound = -1.0f;
const float kVarNullRef = -2.0f;
const float kFuncNullPtr = -2.0f;

enum FuncTableIndex {
    kVoidFloat,
    kVoidInt,
    kVoidVoid,
    kIntFloat,
    kIntInt,
    kIntVoid,
    kFloatFloat,
    kFloatInt,
    kFloatVoid
};

const char* const kFuncListing[Console::numFuncTables] = {
    "    Void %s(Float)\n", "    Void %s(Int)\n",    "    Void %s(Void)\n", "    Int %s(Float)\n",  "    Int %s(Int)\n",
    "    Int %s(Void)\n",   "    Float %s(Float)\n", "    Float %s(Int)\n", "    Float %s(Void)\n",
};

char* upperCopy(const char* s) {
    if (!s) s = "";
    size_t n = strlen(s);
    char* copy = new char[n + 1];
    for (size_t i = 0; i < n; ++i) copy[i] = static_cast<char>(toupper(static_cast<unsigned char>(s[i])));
    copy[n] = '\0';
    return copy;
}

template <typename F>
void (*erase(F f))() {
    return reinterpret_cast<void (*)()>(f);
}

template <typename F>
F restore(void (*f)()) {
    return reinterpret_cast<F>(f);
}
}  // namespace

int Console::addFuncToTable(int table, void (*f)(), const char* name) {
    FuncTable& t = funcs[table];
    if (t.count >= maxFuncs) return kvxPutToErrorLog(kMsgFuncListFull, kCodeFuncListFull);
    t.func[t.count] = f;
    t.name[t.count] = upperCopy(name);
    ++t.count;
    return 0;
}

int Console::addFunc(KVXFuncVoidFloat f, const char* n) { return addFuncToTable(kVoidFloat, erase(f), n); }
int Console::addFunc(KVXFuncVoidInt f, const char* n) { return addFuncToTable(kVoidInt, erase(f), n); }
int Console::addFunc(KVXFuncVoidVoid f, const char* n) { return addFuncToTable(kVoidVoid, erase(f), n); }
int Console::addFunc(KVXFuncIntFloat f, const char* n) { return addFuncToTable(kIntFloat, erase(f), n); }
int Console::addFunc(KVXFuncIntInt f, const char* n) { return addFuncToTable(kIntInt, erase(f), n); }
int Console::addFunc(KVXFuncIntVoid f, const char* n) { return addFuncToTable(kIntVoid, erase(f), n); }
int Console::addFunc(KVXFuncFloatFloat f, const char* n) { return addFuncToTable(kFloatFloat, erase(f), n); }
int Console::addFunc(KVXFuncFloatInt f, const char* n) { return addFuncToTable(kFloatInt, erase(f), n); }
int Console::addFunc(KVXFuncFloatVoid f, const char* n) { return addFuncToTable(kFloatVoid, erase(f), n); }

int Console::addVar(void* ref) {
    char generated[32];
    snprintf(generated, sizeof generated, "VAR%d", numVars);
    return addVar(ref, generated);
}

int Console::addVar(void* ref, const char* name) {
    if (numVars >= maxVars) return kvxPutToErrorLog(kMsgVarListFull, kCodeVarListFull);
    varRef[numVars] = ref;
    varName[numVars] = upperCopy(name);
    ++numVars;
    return 0;
}

// Later registrations shadow earlier ones of the same name.
int Console::findVar(const char* name) const {
    if (!name) return -1;
    int found = -1;
    for (int i = 0; i < numVars; ++i)
        if (strcmp(varName[i], name) == 0) found = i;
    return found;
}

int Console::findFunc(int table, const char* name) const {
    if (!name) return -1;
    const FuncTable& t = funcs[table];
    int found = -1;
    for (int i = 0; i < t.count; ++i)
        if (strcmp(t.name[i], name) == 0) found = i;
    return found;
}

int Console::setEVar(const char* name, float value) {
    int i = findVar(name);
    if (i < 0) return static_cast<int>(kVarNotFound);
    if (!varRef[i]) return static_cast<int>(kVarNullRef);
    *static_cast<float*>(varRef[i]) = value;
    return static_cast<int>(value);
}

float Console::getEVar(const char* name) {
    int i = findVar(name);
    if (i < 0) return kVarNotFound;
    if (!varRef[i]) return kVarNullRef;
    return *static_cast<float*>(varRef[i]);
}

float Console::evalEFunc(const char* name, int i, float f) {
    for (int table = 0; table < numFuncTables; ++table) {
        int k = findFunc(table, name);
        if (k < 0) continue;
        void (*fn)() = funcs[table].func[k];
        if (!fn) return kFuncNullPtr;
        switch (table) {
            case kVoidFloat: restore<KVXFuncVoidFloat>(fn)(f); return 0.0f;
            case kVoidInt: restore<KVXFuncVoidInt>(fn)(i); return 0.0f;
            case kVoidVoid: restore<KVXFuncVoidVoid>(fn)(); return 0.0f;
            case kIntFloat: return static_cast<float>(restore<KVXFuncIntFloat>(fn)(f));
            case kIntInt: return static_cast<float>(restore<KVXFuncIntInt>(fn)(i));
            case kIntVoid: return static_cast<float>(restore<KVXFuncIntVoid>(fn)());
            case kFloatFloat: return restore<KVXFuncFloatFloat>(fn)(f);
            case kFloatInt: return restore<KVXFuncFloatInt>(fn)(i);
            default: return restore<KVXFuncFloatVoid>(fn)();
        }
    }
    return 0.0f;
}

void Console::listEVars() {
    addText("External Variable List:\n\n");
    for (int i = 0; i < numVars; ++i) {
        uintptr_t address = reinterpret_cast<uintptr_t>(varRef[i]);
        if (varRef[i])
            addTextf("0x%" PRIxPTR " - %s - %f\n", address, varName[i],
                     static_cast<double>(*static_cast<float*>(varRef[i])));
        else
            addTextf("0x%" PRIxPTR " - %s - NULL\n", address, varName[i]);
    }
    addTextf("\n%d variables\n\n", numVars);
}

void Console::listEFuncs() {
    addText("External Function List:\n\n");
    for (int table = 0; table < numFuncTables; ++table)
        for (int i = 0; i < funcs[table].count; ++i) addTextf(kFuncListing[table], funcs[table].name[i]);
}
