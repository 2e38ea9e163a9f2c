// errors.h - handing failures of runtime operations to the program's handler.
//
// A failing operation calls raise_error(number) with a QuickBASIC error
// number; the current handler runs and, when it returns, the operation
// returns without effect and the program goes on. The program installs its
// handler with set_error_handler and may swap it (a handler that fails
// itself installs an inner one). Without a handler, failures are ignored.
// A failure of a file operation also names its subject, the file or folder
// it was about and why, which the handler reads with error_subject().
#pragma once

#include <string>

// The error numbers the program has messages for.
enum : int {
  kErrIllegalFunctionCall = 5,
  kErrFileNotFound = 53,
  kErrDiskFull = 61,
  kErrBadFileName = 64,
  kErrTooManyFiles = 67,
  kErrDiskNotReady = 71,
  kErrPathNotFound = 76,
  // Misuse of a file number: none open, the wrong direction, already open.
  kErrBadFileNumber = 52,
  kErrBadFileMode = 54,
  kErrFileAlreadyOpen = 55,
  // No permission, or a read-only file system.
  kErrPermissionDenied = 70,
  // A folder, device or pipe where a file was wanted.
  kErrPathFileAccess = 75,
  kErrDeviceIo = 57,
};

// Why a file operation failed, where the words for it differ.
enum class FileFault {
  Other,
  NoPermission,  // the permission bits forbid it
  ReadOnly,      // the file system is mounted read-only
  Folder,        // a folder where a file was wanted
  NotAFile,      // a device, FIFO or socket where a file was wanted
};

struct ErrorSubject {
  std::string name;     // the file or folder, as the program named it; "" when none
  bool folder = false;  // name is the folder in which a new file could not be made
  FileFault fault = FileFault::Other;
};

// A failure as a file operation reports it.
struct FileFailure {
  int number = 0;
  ErrorSubject subject;
};

using ErrorHandler = void (*)(int number);

// Installs a handler and returns the previous one.
ErrorHandler set_error_handler(ErrorHandler handler);
ErrorHandler current_error_handler();
void raise_error(int number);
void raise_error(const FileFailure& failure);
// The subject of the failure being handled; empty outside a handler and for
// failures without one.
const ErrorSubject& error_subject();

// The error number of an errno value from an operation on path.
int error_number_for_errno(int err, const char* path);
FileFault file_fault_for_errno(int err);
// Both, with path as the subject.
FileFailure file_failure(int err, const std::string& path);
