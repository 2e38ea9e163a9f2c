// system.h - process-wide set-up and queries of the runtime.
#pragma once

#include <string>

// Sets the locale's character type from the environment (only that: the
// program's numbers never depend on the locale).
void runtime_init();
// The current directory ("" when it cannot be had).
std::string current_directory();
// Ends the process with a status, closing the files first.
[[noreturn]] void runtime_end(int status);
