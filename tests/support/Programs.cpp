#include "Programs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kvxtest {

std::string tempPath(const std::string& name) { return testing::TempDir() + name + "_" + std::to_string(getpid()); }

Scratch::Scratch(const std::string& name) : dir_(tempPath(name)) { mkdir(dir_.c_str(), 0755); }

Scratch::~Scratch() {
    std::string out;
    runCommand("rm -rf '" + dir_ + "'", &out);
}

std::string Scratch::write(const std::string& file, const std::string& content) const {
    std::string path = (*this)(file);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

InDirectory::InDirectory(const std::string& dir) {
    char* previous = getcwd(nullptr, 0);
    previous_ = previous ? previous : "/";
    free(previous);
    if (chdir(dir.c_str()) != 0) ADD_FAILURE() << "cannot enter " << dir;
}

InDirectory::~InDirectory() {
    if (chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous_;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int runCommand(const std::string& command, std::string* output) {
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char line[512];
    while (fgets(line, sizeof(line), p)) *output += line;
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace kvxtest
