// The dialog templates of the program under test, read from its own .exe
// (loaded as a data file): the driver expects exactly the controls the
// program is built with, with no copy of its resource script.
#pragma once

#include <string>

#include "tests/support/dialog_template.h"

namespace e2e {

// Reads the templates of `exe` once; later calls of ProgramTemplate use them.
// A missing file or template is a failure.
void LoadProgramTemplates(const std::string& exe);

// Template `id` of the program (LoadProgramTemplates must have run).
const support::DialogTemplate& ProgramTemplate(int id);

}  // namespace e2e
