#ifndef DEMO_DATAFILES_H
#define DEMO_DATAFILES_H

#include <string>

namespace demo {

// Where the show's files are: "data\" in the program's directory (the working
// directory once the program has entered it), or an installed data directory.
const char* dataDirectory();
void setDataDirectory(const std::string& directory);
std::string dataFile(const char* name);

// Chooses the data directory: data/ beside the program, else installedDir, else
// share/korvex3d of the prefix the program is installed in.
// Enters the program's directory. False when neither holds the show's files.
bool findDataDirectory(const char* installedDir);

}  // namespace demo

#endif
