#include "runtime/errors.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace {

ErrorHandler g_handler = nullptr;
const ErrorSubject kNoSubject;
const ErrorSubject* g_subject = &kNoSubject;

// True when the folder that would hold path exists.
bool parent_folder_exists(const char* path) {
  const std::string_view name = path ? path : "";
  const size_t slash = name.find_last_of('/');
  const std::string folder(slash == std::string_view::npos
                               ? std::string_view(".")
                               : name.substr(0, slash == 0 ? 1 : slash));
  struct stat st {};
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

ErrorHandler set_error_handler(ErrorHandler handler) {
  const ErrorHandler previous = g_handler;
  g_handler = handler;
  return previous;
}

ErrorHandler current_error_handler() {
  return g_handler;
}

void raise_error(int number) {
  raise_error(FileFailure{number, {}});
}

void raise_error(const FileFailure& failure) {
  if (!g_handler) return;
  // A failure inside the handler has its own subject until it is handled.
  const ErrorSubject* outer = g_subject;
  g_subject = &failure.subject;
  g_handler(failure.number);
  g_subject = outer;
}

const ErrorSubject& error_subject() {
  return *g_subject;
}

int error_number_for_errno(int err, const char* path) {
  switch (err) {
    case ENOENT:
      return parent_folder_exists(path) ? kErrFileNotFound : kErrPathNotFound;
    case ENOTDIR:
      return kErrPathNotFound;
    case ENAMETOOLONG:
      return kErrBadFileName;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:  // past the process's file-size limit: as full for this program
      return kErrDiskFull;
    case EMFILE:
    case ENFILE:
      return kErrTooManyFiles;
    case ENXIO:
    case ENODEV:
    case EIO:
    case ENOMEDIUM:
      return kErrDiskNotReady;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
      return kErrPermissionDenied;
    case EISDIR:
      return kErrPathFileAccess;
    default:
      return kErrDeviceIo;
  }
}

FileFault file_fault_for_errno(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
      return FileFault::NoPermission;
    case EROFS:
      return FileFault::ReadOnly;
    case EISDIR:
      return FileFault::Folder;
    default:
      return FileFault::Other;
  }
}

FileFailure file_failure(int err, const std::string& path) {
  return {error_number_for_errno(err, path.c_str()), {path, false, file_fault_for_errno(err)}};
}
