#ifndef KVX_TESTS_PROGRAMS_H
#define KVX_TESTS_PROGRAMS_H

// Scratch files and programs run as a user runs them, for tests of programs and scripts.

#include <string>

namespace kvxtest {

// A path in the tests' temporary folder unique to this process and to name
// (ctest runs test programs side by side); nothing is made there.
std::string tempPath(const std::string& name);

// A folder of scratch files at tempPath(name), made on construction, removed with everything in it when
// the object goes.
class Scratch {
public:
    explicit Scratch(const std::string& name);
    ~Scratch();
    // The path of file in the folder; the folder itself (with a trailing '/') for "".
    std::string operator()(const std::string& file) const { return dir_ + "/" + file; }
    const std::string& dir() const { return dir_; }
    // Writes content to file in the folder; returns its path.
    std::string write(const std::string& file, const std::string& content) const;

private:
    std::string dir_;
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
};

// Makes dir the working directory for the object's life.
class InDirectory {
public:
    explicit InDirectory(const std::string& dir);
    ~InDirectory();

private:
    std::string previous_;
    InDirectory(const InDirectory&) = delete;
    InDirectory& operator=(const InDirectory&) = delete;
};

// The whole content of a file ("" when it cannot be read).
std::string readFile(const std::string& path);

// Runs a shell command; returns its exit code, or -1 when it was killed by a
// signal. Standard output and error are appended to output.
int runCommand(const std::string& command, std::string* output);

}  // namespace kvxtest

#endif
