#include "runtime/replace_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "runtime/system.h"

namespace {

constexpr int kMostLinks = 40;            // as the kernel allows in a path
constexpr size_t kLongestTempBase = 200;  // keeps the temporary name within NAME_MAX

// The part of path up to and including its last slash; "" when it has none.
std::string folder_prefix(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string folder_of(const std::string& path) {
  const std::string prefix = folder_prefix(path);
  if (prefix.empty()) return ".";
  return prefix.size() == 1 ? prefix : prefix.substr(0, prefix.size() - 1);
}

// The file a name stands for once its symbolic links are followed; a link
// to nothing names the file it would make. False with errno set when the
// links go round.
bool follow_links(std::string path, std::string* target) {
  for (int hops = 0; hops < kMostLinks; ++hops) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *target = path;
      return true;
    }
    std::string link(PATH_MAX, '\0');
    const ssize_t n = readlink(path.c_str(), link.data(), link.size());
    if (n < 0) return false;
    link.resize(static_cast<size_t>(n));
    path = link.starts_with('/') ? link : folder_prefix(path) + link;
  }
  errno = ELOOP;
  return false;
}

mode_t new_file_mode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

FileFailure refusal(int number, const std::string& name, FileFault fault) {
  return {number, {name, false, fault}};
}

// Checks an existing target; false with *failure set when it is refused.
bool may_replace(const std::string& name, const struct stat& st, FileFailure* failure) {
  if (S_ISDIR(st.st_mode)) {
    *failure = refusal(kErrPathFileAccess, name, FileFault::Folder);
  } else if (!S_ISREG(st.st_mode)) {
    *failure = refusal(kErrPathFileAccess, name, FileFault::NotAFile);
  } else if (access(name.c_str(), W_OK) != 0) {
    *failure = file_failure(errno, name);
  } else {
    return true;
  }
  return false;
}

// Makes the temporary file; false with *failure set. A folder that does
// not let it be made is named as such.
bool make_temp(Replacement* r, FileFailure* failure) {
  const std::string folder = folder_of(r->target);
  const size_t slash = r->target.find_last_of('/');
  const std::string base = r->target.substr(slash == std::string::npos ? 0 : slash + 1);
  std::string temp = folder + "/." + base.substr(0, kLongestTempBase) + ".XXXXXX";
  r->fd = mkostemp(temp.data(), O_CLOEXEC);
  if (r->fd >= 0) {
    r->temp = std::move(temp);
    return true;
  }
  const int err = errno;
  *failure = file_failure(err, temp);
  const FileFault fault = file_fault_for_errno(err);
  if (fault == FileFault::NoPermission || fault == FileFault::ReadOnly) {
    // The folder by a name that means something in a message.
    const std::string here = folder == "." ? current_directory() : "";
    failure->subject = {here.empty() ? folder : here, true, fault};
  } else {
    failure->subject.name = r->name;
  }
  return false;
}

// Makes the rename itself last through a crash. Only a hint once the rename
// is done: the new file is in place either way.
void sync_folder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool replace_begin(const std::string& name, Replacement* r, FileFailure* failure) {
  *r = Replacement{};
  r->name = name;
  if (name.empty() || name.find('\0') != std::string::npos) {
    *failure = refusal(kErrBadFileName, name, FileFault::Other);
    return false;
  }
  if (!follow_links(name, &r->target)) {
    *failure = file_failure(errno, name);
    return false;
  }
  struct stat st {};
  if (stat(r->target.c_str(), &st) == 0) {
    if (!may_replace(name, st, failure)) return false;
    r->existed = true;
    r->mode = st.st_mode & 07777;
    r->uid = st.st_uid;
    r->gid = st.st_gid;
  } else if (errno != ENOENT) {
    *failure = file_failure(errno, name);
    return false;
  } else {
    r->mode = new_file_mode();
  }
  return make_temp(r, failure);
}

bool replace_commit(Replacement* r, FileFailure* failure) {
  // Owner and bits as the old file had them, where the file system keeps
  // them; one that cannot (a FAT disk) is no reason to lose the save.
  struct stat st {};
  if (r->existed && fstat(r->fd, &st) == 0 && (st.st_uid != r->uid || st.st_gid != r->gid)) {
    (void)!fchown(r->fd, r->uid, r->gid);
  }
  (void)!fchmod(r->fd, r->mode);
  int err = 0;
  // Pipes and devices cannot be synced, and the temporary file is neither.
  if (fsync(r->fd) != 0 && errno != EINVAL) err = errno;
  if (close(r->fd) != 0 && err == 0 && errno != EINTR) err = errno;
  r->fd = -1;
  if (err == 0 && std::rename(r->temp.c_str(), r->target.c_str()) != 0) err = errno;
  if (err != 0) {
    *failure = file_failure(err, r->name);
    replace_abandon(r);
    return false;
  }
  r->temp.clear();
  sync_folder(folder_of(r->target));
  return true;
}

void replace_abandon(Replacement* r) {
  if (r->fd >= 0) close(r->fd);
  r->fd = -1;
  if (!r->temp.empty()) unlink(r->temp.c_str());
  r->temp.clear();
}
