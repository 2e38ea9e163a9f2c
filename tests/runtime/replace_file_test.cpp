// Replacing a named file: which file a name with links stands for, what a
// refusal names, and the numbered file that takes its name only at commit.
#include "runtime/replace_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include "test_support.h"

namespace {

class ReplaceFile : public RuntimeFiles {
 protected:
  size_t Names() const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) ++n;
    return n;
  }
};

bool Replace(const std::string& name, const std::string& bytes, FileFailure* failure) {
  Replacement r;
  if (!replace_begin(name, &r, failure)) return false;
  if (write(r.fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    replace_abandon(&r);
    return false;
  }
  return replace_commit(&r, failure);
}

TEST_F(ReplaceFile, LinksAreFollowedFromTheirOwnFolders) {
  std::filesystem::create_directories(path("a/b"));
  write_raw("a/real", "old");
  // a/b/link -> ../real, and top -> a/b/link: both lead to a/real.
  ASSERT_EQ(symlink("../real", path("a/b/link").c_str()), 0);
  ASSERT_EQ(symlink("a/b/link", path("top").c_str()), 0);
  FileFailure failure;
  ASSERT_TRUE(Replace(path("top"), "new", &failure));
  EXPECT_EQ(read_raw("a/real"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(path("top")));
  // A link to nothing makes the file it names.
  ASSERT_EQ(symlink("made", path("dangling").c_str()), 0);
  ASSERT_TRUE(Replace(path("dangling"), "x", &failure));
  EXPECT_EQ(read_raw("made"), "x");
  // Links in a circle are refused with the name given.
  ASSERT_EQ(symlink("loop", path("loop").c_str()), 0);
  EXPECT_FALSE(Replace(path("loop"), "x", &failure));
  EXPECT_EQ(failure.subject.name, path("loop"));
  EXPECT_EQ(Names(), 5u);  // a, top, dangling, made, loop: no temporary file stays
}

TEST_F(ReplaceFile, RefusalsSayWhatTheNameIs) {
  std::filesystem::create_directory(path("folder"));
  ASSERT_EQ(mkfifo(path("fifo").c_str(), 0644), 0);
  FileFailure failure;
  EXPECT_FALSE(Replace(path("folder"), "x", &failure));
  EXPECT_EQ(failure.number, kErrPathFileAccess);
  EXPECT_EQ(failure.subject.fault, FileFault::Folder);
  EXPECT_FALSE(Replace(path("fifo"), "x", &failure));
  EXPECT_EQ(failure.subject.fault, FileFault::NotAFile);
  EXPECT_FALSE(Replace(path("none/x"), "x", &failure));
  EXPECT_EQ(failure.number, kErrPathNotFound);
}

// Through the numbered files: nothing reaches the name before the commit,
// and a file closed without one is thrown away.
TEST_F(ReplaceFile, TheNameGetsTheFileOnlyAtCommit) {
  write_raw("pic", "old\r\n");
  ASSERT_TRUE(file_open(2, path("pic"), FileMode::Replace, FileBuffering::Buffered));
  ASSERT_TRUE(file_print(2, "new"));
  ASSERT_TRUE(file_sync(2));
  EXPECT_EQ(read_raw("pic"), "old\r\n");
  ASSERT_TRUE(file_commit(2));
  EXPECT_FALSE(file_is_open(2));
  EXPECT_EQ(read_raw("pic"), "new\r\n");
  ASSERT_TRUE(file_open(2, path("pic"), FileMode::Replace));
  ASSERT_TRUE(file_print(2, "dropped"));
  file_close(2);
  EXPECT_EQ(read_raw("pic"), "new\r\n");
  EXPECT_EQ(Names(), 1u);
  EXPECT_EQ(raised_errors(), std::vector<int>{});
}

}  // namespace
