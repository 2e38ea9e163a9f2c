// test_support.h - a scratch folder and a recording error handler for the
// runtime tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/errors.h"
#include "runtime/files.h"
#include "scratch_folder.h"

inline std::vector<int>& raised_errors() {
  static std::vector<int> errors;
  return errors;
}

inline void record_error(int number) {
  raised_errors().push_back(number);
}

// Each test gets an empty folder, a recording handler and no open files.
class RuntimeFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    raised_errors().clear();
    previous_ = set_error_handler(record_error);
  }
  void TearDown() override {
    file_close_all();
    set_error_handler(previous_);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  void write_raw(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  std::string read_raw(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  ScratchFolder scratch_{"kov1-rt"};
  const std::filesystem::path dir_ = scratch_.dir();
  ErrorHandler previous_ = nullptr;
};
