// The menu's start: the pictures folder as the desktop names it, and
// kov1 --pictures drawing in KOV1 there and going on with the last drawing.
#include "editor/pictures_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "editor_run.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(PicturesFolderTest, ReadsTheSettingAsTheDesktopDoes) {
  const std::string config = NewFolder();
  const std::string home = "/home/ann";
  struct Case {
    std::string file, folder;
  };
  const std::vector<Case> cases = {
      {"", "/home/ann/Pictures"},
      {"XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/home/ann/Bilder"},
      {"# XDG_PICTURES_DIR=\"$HOME/x\"\n  XDG_PICTURES_DIR = \"/srv/art/\"\n", "/srv/art"},
      {"XDG_PICTURES_DIR=\"$HOME/My \\\"best\\\" \\$x\"\n", "/home/ann/My \"best\" $x"},
      {"XDG_PICTURES_DIR=\"$HOME/a\"\nXDG_PICTURES_DIR=\"$HOME/b\"\n", "/home/ann/b"},
      {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIRS=\"/x\"\n", "/home/ann/Pictures"},
      // The home folder itself, and settings the desktop would not take.
      {"XDG_PICTURES_DIR=\"$HOME\"\n", "/home/ann/Pictures"},
      {"XDG_PICTURES_DIR=\"$HOME/\"\n", "/home/ann/Pictures"},
      {"XDG_PICTURES_DIR=\"/home/ann//\"\n", "/home/ann/Pictures"},
      {"XDG_PICTURES_DIR=\"Pictures\"\n", "/home/ann/Pictures"},
      {"XDG_PICTURES_DIR=\"$HOMEWORK/x\"\n", "/home/ann/Pictures"},
      {"XDG_PICTURES_DIR=$HOME/x\n", "/home/ann/Pictures"},
      {"XDG_PICTURES_DIR=\"/x\n", "/home/ann/Pictures"},
  };
  for (const Case& c : cases) {
    WriteFile(config + "/user-dirs.dirs", c.file);
    EXPECT_EQ(PicturesFolder(home, config), c.folder) << c.file;
  }
  fs::remove_all(config);
}

// A start from the menu works in Pictures/KOV1, made on first use, and
// leaves nothing in the home folder or the folder it was started in. The
// next start goes on with that drawing, without a name: no box, no
// image.img.N left behind, nothing unsaved.
TEST(PicturesFolderTest, TheMenuStartResumesTheLastDrawingInThePicturesFolder) {
  const std::string top = NewFolder();
  const std::string home = top + "/home", cwd = top + "/cwd";
  const std::string kov1 = home + "/Pictures/KOV1";
  fs::create_directories(home);
  fs::create_directories(cwd);
  const std::vector<std::string> env = {"HOME=" + home, "XDG_CONFIG_HOME"};
  const std::vector<std::string> args = {"--pictures"};

  EditorRun first = RunEditor(cwd, FromMainLoop({"CTRL-X"}), env, args);
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(Names(home), std::vector<std::string>{"Pictures"});
  EXPECT_EQ(Names(kov1), (std::vector<std::string>{"image.img"}));
  EXPECT_FALSE(first.Exists("image.img"));

  const std::string drawing = "SCREEN 8\r\nline ( 1,  2)-( 3, 2),       14\r\n";
  WriteFile(kov1 + "/image.img", drawing);
  EditorRun resumed =
      RunEditor(cwd, FromMainLoop({"snap resumed", "title name", "CTRL-X"}), env, args);
  EXPECT_EQ(resumed.status, 0) << resumed.err;
  EXPECT_EQ(resumed.out, "Edit ended.\n");
  EXPECT_EQ(Region(resumed.Pixels("resumed"), 0, 1, 5, 2),
            (std::vector<std::string>{"F....", "FEEE."}));
  EXPECT_EQ(resumed.File("name.txt"), "kov1 \xE2\x80\x94 2, 33\n");
  EXPECT_EQ(Names(kov1), (std::vector<std::string>{"image.img"}));
  std::ifstream journal(kov1 + "/image.img", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(journal), {}), drawing);
  EXPECT_EQ(Names(home), std::vector<std::string>{"Pictures"});
  fs::remove_all(top);
}
