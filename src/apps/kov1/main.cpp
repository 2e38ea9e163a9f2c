// KOV1: a keyboard-driven drawing editor whose drawings are QuickBASIC
// programs.
#include "backends/backends.h"
#include "editor/command_line.h"
#include "editor/editor_routines.h"
#include "editor/start_file.h"

int main(int argc, char** argv) {
  const CommandLine line = ReadCommandLine(argc, argv);
  const StartFile file = EnterFileFolder(line);
  register_standard_backends();
  Editor ed;
  const std::string kept = StartUp(ed, file.is_journal);
  LoadStartFile(ed, file, kept);
  MainLoop(ed);
}
