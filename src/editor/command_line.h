// command_line.h - the program's arguments: kov1 [--pictures] [FILE],
// --help, --version.
//
// ReadCommandLine looks at the arguments before anything else runs.
// --help prints the usage and the keys in brief on standard output and ends
// with status 0; --version prints the name and version and ends with 0; an
// unknown option, a second FILE or an empty one print the usage on standard
// error and end with status 2. Those ways out touch no file and no folder.
// "--" ends the options, so a FILE may begin with "-". --pictures asks for
// the start of the desktop's menu (editor/start_file.h).
#pragma once

#include <string>

struct CommandLine {
  bool has_file = false;
  std::string file;  // as given, in the file system's bytes
  bool pictures = false;
};

CommandLine ReadCommandLine(int argc, char** argv);
