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
    static constexpr int lineSize = 256;  // command line incl. terminator
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

    // An empty console with no scene.
    Console();
    // Frees the text and the registered names.
    ~Console();

    // Output text and requests.
    // Makes scene commands act on s; returns 0, or an error code when s is null.
    int setScene(Scene* s);
    // Sets the callback that LOAD3DS reports its progress to; returns 0.
    int addProgressFunc(KVXProgressFunc f);
    // Appends t to the text, or nothing when it does not fit; returns 0.
    int addText(const char* t);
    // Copies the text into out (textSize bytes), when out is not null, and empties it; returns its length.
    int getText(char* out);
    // True once after the EXIT command.
    bool exitRequest();
    // True once after the CLS command.
    bool clearRequest();

    // Command interpreter and scripts.
    // Runs one command line and appends it and its answer to the text; returns 0, or an error code.
    int parse(const char* line);
    // The same as parse.
    int command(const char* line);
    // Runs the command lines of a script file; returns 0, or an error code when it cannot be read.
    int readScript(const char* filename);
    // Returns the next line of f without its line end.
    String readln(FILE* f);
    // Appends the names of the files matching pattern to the text.
    void dir(const char* pattern);
    // Appends a description of the scene's first group to the text.
    void SceneInfo();

    // Registry of external variables and functions.
    // Registers f under name (upper-cased) for EVAL; returns 0, or an error code when its table is full.
    int addFunc(KVXFuncVoidFloat f, const char* name);
    // Registers f under name (upper-cased) for EVAL; returns 0, or an error code when its table is full.
    int addFunc(KVXFuncVoidInt f, const char* name);
    // Registers f under name (upper-cased) for EVAL; returns 0, or an error code when its table is full.
    int addFunc(KVXFuncVoidVoid f, const char* name);
    // Registers f under name (upper-cased) for EVAL; returns 0, or an error code when its table is full.
    int addFunc(KVXFuncIntFloat f, const char* name);
    // Registers f under name (upper-cased) for EVAL; returns 0, or an error code when its table is full.
    int addFunc(KVXFuncIntInt f, const char* name);
    // Registers f under name (upper-cased) for EVAL; returns 0, or an error code when its table is full.
    int addFunc(KVXFuncIntVoid f, const char* name);
    // Registers f under name (upper-cased) for EVAL; returns 0, or an error code when its table is full.
    int addFunc(KVXFuncFloatFloat f, const char* name);
    // Registers f under name (upper-cased) for EVAL; returns 0, or an error code when its table is full.
    int addFunc(KVXFuncFloatInt f, const char* name);
    // Registers f under name (upper-cased) for EVAL; returns 0, or an error code when its table is full.
    int addFunc(KVXFuncFloatVoid f, const char* name);
    // Registers the float at ref as VARn, n its number; returns 0, or an error code when the registry is full.
    int addVar(void* ref);
    // Registers the float at ref under name (upper-cased) for SET and GET; returns 0, or an error code when
    // the registry is full.
    int addVar(void* ref, const char* name);
    // Sets the registered variable name to value; returns the value as an int, or a negative code when it is
    // missing.
    int setEVar(const char* name, float value);
    // Returns the value of the registered variable name, or a negative code when it is missing.
    float getEVar(const char* name);
    // Calls the registered function name with i or f as its signature takes; returns its result (0 for void),
    // or a negative code when it is missing.
    float evalEFunc(const char* name, int i, float f);
    // Appends the registered variables with their values to the text.
    void listEVars();
    // Appends the registered functions to the text.
    void listEFuncs();

    // printf-style append under the same bound as addText: all or nothing.
    int addTextf(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    // Scripts run under the current outermost script, bounded by readScript.
    int scriptsRun;

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
