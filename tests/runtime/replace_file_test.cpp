// Which file a name with links stands for when it is replaced. (The
// replacement itself is held by the fault campaign, tests/faults.)
#include "runtime/replace_file.h"

#include <unistd.h>

#include <iterator>

#include "test_support.h"

namespace {

using ReplaceFile = RuntimeFiles;

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
  // a, top, dangling, made, loop: no temporary file stays.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 5);
}

}  // namespace
