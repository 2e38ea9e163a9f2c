// replace_file.h - writing a file that someone named, so that it is never
// lost: at every moment the name holds the old content or the new, whole.
//
// replace_begin makes a temporary file in the target's folder and returns it
// open for writing; replace_commit syncs it, gives it the target's owner and
// permission bits, renames it over the target and syncs the folder;
// replace_abandon removes it. A target that is a symbolic link is written
// through: the file it names is replaced and the link stays. (A hard link
// to the old file keeps the old content.) Nothing is ever written in place,
// so some targets are refused and left as they are: an existing one that is
// not a regular file, one that may not be written, and any in a folder
// where no temporary file can be made.
#pragma once

#include <sys/types.h>

#include <string>

#include "runtime/errors.h"

struct Replacement {
  std::string name;    // as given, for messages
  std::string target;  // the file that gets the new content (links followed)
  std::string temp;    // the temporary file beside it; "" when there is none
  int fd = -1;         // the temporary file, open for writing
  bool existed = false;
  mode_t mode = 0;  // the permission bits the new file gets
  uid_t uid = 0;    // the old file's owner and group, when it existed
  gid_t gid = 0;
};

// False with *failure set (nothing made) when the target is refused or no
// temporary file can be made.
bool replace_begin(const std::string& name, Replacement* r, FileFailure* failure);
// Puts the written temporary file in the target's place. False with
// *failure set when it could not be made whole on disk or renamed; the
// temporary file is then removed and the target is as it was. Either way
// the descriptor is closed.
bool replace_commit(Replacement* r, FileFailure* failure);
// Closes and removes the temporary file; the target stays as it was.
void replace_abandon(Replacement* r);
