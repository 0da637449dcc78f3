#ifndef KVX_CONSOLE_CONSOLE_H
#define KVX_CONSOLE_CONSOLE_H

// The engine console: a bounded text buffer the host reads, two request flags,
// the scene that scene commands act on, a registry of host variables and
// functions, and the command interpreter with its scripts.

#include <cstdio>

class Scene;
class OGroup;
class String;

// The nine external function signatures, in registry table order.
typedef void (*KVXFuncVoidFloat)(float);
typedef void (*KVXFuncVoidInt)(int);
typedef void (*KVXFuncVoidVoid)();
typedef int (*KVXFuncIntFloat)(float);
typedef int (*KVXFuncIntInt)(int);
typedef int (*KVXFuncIntVoid)();
typedef float (*KVXFuncFloatFloat)(float);
typedef float (*KVXFuncFloatInt)(int);
typedef float (*KVXFuncFloatVoid)();

// A loading progress callback, given the fraction done from 0 to 1.
typedef void (*KVXProgressFunc)(float);

class Console {
public:
    static constexpr int maxVars = 1024;
    static constexpr int maxFuncs = 64;
    static constexpr int numFuncTables = 9;
    static constexpr int textSize = 512000;
    static constexpr int lineSize = 256;     // command line incl. terminator
    static constexpr int maxScriptDepth = 16;

    // One function table; pointers are kept type-erased and cast back to the
    // table's own signature when called.
    struct FuncTable {
        void (*func[maxFuncs])();
        char* name[maxFuncs];
        int count;
    };

    // Registry of external variables and functions.
    void* varRef[maxVars];
    char* varName[maxVars];
    int numVars;
    FuncTable funcs[numFuncTables];

    char lastLoad[lineSize];
    KVXProgressFunc progressFunc;
    char* text;
    int textLength;
    Scene* scene;
    bool exitFlag;
    bool clearFlag;
    int scriptDepth;

    Console();
    ~Console();

    // Output text and requests.
    int setScene(Scene* s);
    int addProgressFunc(KVXProgressFunc f);
    int addText(const char* t);
    int getText(char* out);
    bool exitRequest();
    bool clearRequest();

    // Command interpreter and scripts.
    int parse(const char* line);
    int command(const char* line);
    int readScript(const char* filename);
    String readln(FILE* f);
    void dir(const char* pattern);
    void SceneInfo();

    // Registry of external variables and functions.
    int addFunc(KVXFuncVoidFloat f, const char* name);
    int addFunc(KVXFuncVoidInt f, const char* name);
    int addFunc(KVXFuncVoidVoid f, const char* name);
    int addFunc(KVXFuncIntFloat f, const char* name);
    int addFunc(KVXFuncIntInt f, const char* name);
    int addFunc(KVXFuncIntVoid f, const char* name);
    int addFunc(KVXFuncFloatFloat f, const char* name);
    int addFunc(KVXFuncFloatInt f, const char* name);
    int addFunc(KVXFuncFloatVoid f, const char* name);
    int addVar(void* ref);
    int addVar(void* ref, const char* name);
    int setEVar(const char* name, float value);
    float getEVar(const char* name);
    float evalEFunc(const char* name, int i, float f);
    void listEVars();
    void listEFuncs();

    // printf-style append under the same bound as addText: all or nothing.
    int addTextf(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    struct CommandLine;
    enum Selection { selectTList, selectPathList, selectCamera };

    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    int addFuncToTable(int table, void (*f)(), const char* name);
    int findVar(const char* name) const;
    int findFunc(int table, const char* name) const;

    int runCommand(int index, const CommandLine& cl);
    void help(const char* topic);
    void mem();
    void setCommand(const char* name, float value);
    void getCommand(const char* name);

    // Scene commands act on the first group of the assigned scene.
    OGroup* firstGroup() const;
    void relightFirstGroup();
    void selectInFirstGroup(Selection what, int n);
    void clearFirstGroup();
    int loadScene(const char* name, const char* matdir, const char* upperLine, bool reload);
};

#endif
