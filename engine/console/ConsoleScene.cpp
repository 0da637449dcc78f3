// Console commands that act on the assigned scene and its first group.
// Placeholder until the scene container lands: every scene command is a no-op.

#include "console/Console.h"

#include "render/ErrorLog.h"

OGroup* Console::firstGroup() const { return nullptr; }
void Console::relightFirstGroup() {}
void Console::selectInFirstGroup(Selection, int) {}
void Console::clearFirstGroup() {}
int Console::loadScene(const char*, const char*, const char*, bool) {
    if (!scene) return kvxPutToErrorLog("Scene used in functioncall is NULL!", 25);
    return 0;
}
void Console::SceneInfo() {}
