#ifndef KVXVIEW_INFO_REPORT_H
#define KVXVIEW_INFO_REPORT_H

// What a loaded file holds, as text for people or as one JSON object.

#include <cstdio>
#include <string>
#include <vector>

class OGroup;

struct LoadRecord {
    std::string file;
    int result = 0;                   // 0, or the engine's code
    std::vector<std::string> errors;  // what the engine logged, progress lines left out
};

// Splits the engine's log text into lines worth reporting.
std::vector<std::string> loggedErrors(const std::string& logText);

// group may be null when the load failed.
void writeInfoText(FILE* out, const LoadRecord& record, OGroup* group);
void writeInfoJson(FILE* out, const LoadRecord& record, OGroup* group);

#endif
