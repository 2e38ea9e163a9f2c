// scratch_folder.h - empty folders of a test's own under the temporary
// folder.
//
// NewScratchFolder makes one named tag-XXXXXX and leaves it to the caller.
// ScratchFolder makes one and removes it with everything in it when it goes;
// Enter() makes it the current folder until then (the current folder goes
// back to the temporary folder, since the scratch folder is removed).
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

inline std::filesystem::path NewScratchFolder(const std::string& tag) {
  std::string pattern = (std::filesystem::temp_directory_path() / (tag + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& tag) : dir_(NewScratchFolder(tag)) {}
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    if (entered_) std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(dir_, ignored);
  }

  void Enter() {
    std::filesystem::current_path(dir_);
    entered_ = true;
  }
  const std::filesystem::path& dir() const { return dir_; }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
  bool entered_ = false;
};
