#include "Output.h"

void Output::wrote(const std::string& name, bool ok) { (ok ? files_ : failures_).push_back(name); }
