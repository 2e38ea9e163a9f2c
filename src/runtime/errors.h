// errors.h - handing failures of runtime operations to the program's handler.
//
// A failing operation calls raise_error(number) with a QuickBASIC error
// number; the current handler runs and, when it returns, the operation
// returns without effect and the program goes on. The program installs its
// handler with set_error_handler and may swap it (a handler that fails
// itself installs an inner one). Without a handler, failures are ignored.
#pragma once

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
  // Any other failure (a directory where a file was wanted, no permission,
  // a read-only file system): a number outside the six above.
  kErrPermissionDenied = 70,
  kErrDeviceIo = 57,
};

using ErrorHandler = void (*)(int number);

// Installs a handler and returns the previous one.
ErrorHandler set_error_handler(ErrorHandler handler);
ErrorHandler current_error_handler();
void raise_error(int number);

// The error number of an errno value from an operation on path.
int error_number_for_errno(int err, const char* path);
