#ifndef KVX_CONSOLE_CONSOLEMESSAGES_H
#define KVX_CONSOLE_CONSOLEMESSAGES_H

// Log texts and codes of the console. Each text has one code, except that a
// script that is missing or nested too deep is refused with the same code.

const char* const kMsgParseFailed = "KVX Console parser failed to parse commandline!";
const int kCodeParseFailed = 18;
const char* const kMsgMissingParams = "Missing parameters! Parse failed!";
const int kCodeMissingParams = 21;
const char* const kMsgVarListFull = "VarList is full (Console) create another Console or increase number of maxVars";
const int kCodeVarListFull = 22;
const char* const kMsgSceneNull = "Scene used in functioncall is NULL!";
const int kCodeSceneNull = 25;
const char* const kMsgFuncListFull =
    "FuncList(n) is full (Console) create another Console or increase number of maxFuncs(n)";
const int kCodeFuncListFull = 29;
const char* const kMsgScriptNotFound = "Script file not found!";
const char* const kMsgScriptTooDeep = "Script nesting too deep! Script not run!";
const int kCodeScriptNotFound = 31;
const char* const kMsgOutOfRange = "Invalid value (value out of range)!";
const int kCodeOutOfRange = 52;

#endif
