#pragma once
// The output directory and the record of what was written into it.
#include <string>
#include <vector>

class Output {
public:
    explicit Output(std::string dir) : dir_(std::move(dir)) {}
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    // Records the result of writing one file; a failure is remembered.
    void wrote(const std::string& name, bool ok);
    bool ok() const { return failures_.empty(); }
    const std::vector<std::string>& files() const { return files_; }
    const std::vector<std::string>& failures() const { return failures_; }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
    std::vector<std::string> files_, failures_;
};
