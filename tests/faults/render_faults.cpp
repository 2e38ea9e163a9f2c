// kov1-render's output against faults: targets that are no plain file, the
// drawing itself, standard output, a kill at every step of the write, a
// full disk and a folder that may not be written. An OUT that was there is
// the old picture or the new one, whole, and a refusal leaves it alone.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "fault_harness.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kDrawing = "SCREEN 8\r\nline ( 10,  20)-( 100, 50),  7\r\n";
const std::string kOldPicture = "not a picture yet";

struct Rendered {
  int status = -1;
  std::string out, err;
};

// Runs kov1-render in dir with the arguments; stdout goes to out_path when
// one is given.
Rendered Render(const std::string& dir, const Lines& args, const Launch& launch = {},
                const std::string& out_path = "") {
  Lines argv = {KOV1_RENDER_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::string out = out_path.empty() ? dir + ".out" : out_path, err = dir + ".err";
  Rendered r;
  r.status = RunProgram(argv, dir, {}, launch, out, err);
  r.out = out_path.empty() ? ReadFile(out) : "";
  r.err = ReadFile(err);
  return r;
}

bool IsPng(const std::string& bytes) {
  return bytes.starts_with("\x89PNG\r\n\x1A\n");
}

// What stands at the name itself, links not followed.
fs::file_type TypeAt(const std::string& path) {
  return fs::symlink_status(path).type();
}

}  // namespace

TEST(RenderFaults, OnlyPlainFilesAreReplacedAndNeverTheDrawing) {
  const std::string dir = NewFolder();
  WriteFile(dir + "/IN.BAS", kDrawing);
  ASSERT_EQ(mkfifo((dir + "/FIFO").c_str(), 0644), 0);
  ASSERT_EQ(mkdir((dir + "/DIR").c_str(), 0755), 0);
  ASSERT_EQ(symlink("IN.BAS", (dir + "/AGAIN.BAS").c_str()), 0);
  WriteFile(dir + "/REAL.png", kOldPicture);
  ASSERT_EQ(symlink("REAL.png", (dir + "/LINK.png").c_str()), 0);
  Launch bounded;
  bounded.kill_after_us = 20'000'000;  // a FIFO must not make it wait
  std::vector<std::pair<std::string, fs::file_type>> refused = {{"FIFO", fs::file_type::fifo},
                                                                {"DIR", fs::file_type::directory}};
  if (NeedDeviceNodes().empty()) {
    ASSERT_EQ(mknod((dir + "/NULL").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    refused.emplace_back("NULL", fs::file_type::character);
  }
  for (const auto& [name, type] : refused) {
    const Rendered r = Render(dir, {"IN.BAS", name}, bounded);
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_TRUE(r.err.starts_with("kov1-render: " + name + ": ")) << r.err;
    EXPECT_EQ(TypeAt(dir + "/" + name), type) << name;
  }
  for (const char* same : {"IN.BAS", "AGAIN.BAS"}) {
    const Rendered r = Render(dir, {"IN.BAS", same});
    EXPECT_EQ(r.status, 1) << same;
    EXPECT_EQ(ReadFile(dir + "/IN.BAS"), kDrawing);
  }
  EXPECT_EQ(Render(dir, {"IN.BAS", "LINK.png"}).status, 0);
  EXPECT_EQ(TypeAt(dir + "/LINK.png"), fs::file_type::symlink);
  EXPECT_TRUE(IsPng(ReadFile(dir + "/REAL.png")));
  // "-" is standard output, byte for byte the file's picture.
  const Rendered piped = Render(dir, {"IN.BAS", "-"});
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(piped.out == ReadFile(dir + "/REAL.png"));
  EXPECT_EQ(Render(dir, {"IN.BAS", "-"}, {}, "/dev/full").status, 1);
  Lines names = {"AGAIN.BAS", "DIR", "FIFO", "IN.BAS", "LINK.png", "REAL.png"};
  if (refused.size() == 3) names.insert(names.begin() + 5, "NULL");
  EXPECT_EQ(FolderNames(dir), names);
}

TEST(RenderFaults, AKillAtAnyStepLeavesTheOldPictureOrTheNew) {
  REQUIRE(NeedStrace());
  const std::string dir = NewFolder(), drawing = Drawing(2000);
  WriteFile(dir + "/IN.BAS", drawing);
  WriteFile(dir + "/OUT.png", kOldPicture);
  const std::string trace = dir + ".trace";
  ASSERT_EQ(Render(dir, {"IN.BAS", "OUT.png"}, Traced(trace)).status, 0);
  const std::string picture = ReadFile(dir + "/OUT.png");
  ASSERT_TRUE(IsPng(picture));
  const std::vector<Step> steps = StepsFrom(trace, "OUT.png");
  ASSERT_GT(steps.size(), 5u);
  int old_kept = 0;
  for (const Step& step : steps) {
    WriteFile(dir + "/OUT.png", kOldPicture);
    EXPECT_EQ(Render(dir, {"IN.BAS", "OUT.png"}, KillAt(step)).status, 128 + SIGKILL) << step.line;
    const std::string out = ReadFile(dir + "/OUT.png");
    EXPECT_TRUE(out == kOldPicture || out == picture) << "killed at " << step.line;
    old_kept += out == kOldPicture ? 1 : 0;
  }
  EXPECT_GT(old_kept, 0);
}

TEST(RenderFaults, AFullDiskLeavesTheOldPicture) {
  REQUIRE(NeedMounts());
  const std::string dir = SmallDisk(64 << 10);
  WriteFile(dir + "/IN.BAS", kDrawing);
  WriteFile(dir + "/OUT.png", kOldPicture);
  FillDisk(dir, 0);
  const Rendered r = Render(dir, {"IN.BAS", "OUT.png"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kov1-render: OUT.png: no room on the disk, or past the file-size limit\n");
  EXPECT_EQ(ReadFile(dir + "/OUT.png"), kOldPicture);
  EXPECT_EQ(FolderNames(dir), (Lines{"FILLER", "IN.BAS", "OUT.png"}));
}

// A writable picture in a folder that may not be written is refused,
// naming the folder: it is never written in place.
TEST(RenderFaults, AFolderThatMayNotBeWrittenIsNamed) {
  REQUIRE(NeedOtherUser());
  const std::string dir = NewFolder();
  ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
  WriteFile(dir + "/IN.BAS", kDrawing);
  WriteFile(dir + "/OUT.png", kOldPicture);
  ASSERT_EQ(chmod((dir + "/OUT.png").c_str(), 0666), 0);
  Launch nobody;
  nobody.uid = kNobody;
  const Rendered r = Render(dir, {"IN.BAS", "OUT.png"}, nobody);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "kov1-render: OUT.png: permission denied: no new file can be made in the folder " +
                dir + "\n");
  EXPECT_EQ(ReadFile(dir + "/OUT.png"), kOldPicture);
}
