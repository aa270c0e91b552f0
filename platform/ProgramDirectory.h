#pragma once

#include <string>

// Directory of the running executable, symbolic links resolved, ending with
// "/". Language files, the software-information file and the logo live there.
// Empty in the unlikely case that the system cannot tell (for example when
// the executable has been deleted while running).
std::string ProgramDirectory();
