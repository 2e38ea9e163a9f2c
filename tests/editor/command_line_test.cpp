// The command line: the options, and a FILE opened in its own folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor_run.h"

namespace fs = std::filesystem;

namespace {

std::string Corpus(const std::string& name) {
  std::ifstream in(std::string(KOV1_CORPUS) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

const std::vector<std::string> kBoxCorner = {"....", "..77"};

}  // namespace

TEST(CommandLineTest, OptionsAnswerWithoutTouchingTheFolder) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out, err;  // out: its start only
  };
  const std::string usage = "usage: kov1 [--pictures] [FILE]\n       kov1 --help | --version\n";
  const Case cases[] = {
      {{"--help"}, 0, usage + "\n", ""},
      {{"some.bas", "--help"}, 0, usage + "\n", ""},
      {{"--version"}, 0, "kov1 1.00\n", ""},
      {{"--bogus"}, 2, "", "kov1: unknown option --bogus\n" + usage},
      {{"-h"}, 2, "", "kov1: unknown option -h\n" + usage},
      {{"a.bas", "b.bas"}, 2, "", "kov1: one FILE at most\n" + usage},
      {{""}, 2, "", "kov1: an empty FILE\n" + usage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0]);
    std::string dir = NewFolder();
    EditorRun run = RunEditor(dir, {}, {}, c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
    EXPECT_EQ(c.out.empty(), run.out.empty());
    EXPECT_EQ(run.err, c.err);
    EXPECT_TRUE(fs::is_empty(dir));
  }
}

// After "--" an argument is a FILE even when it looks like an option.
TEST(CommandLineTest, AfterTwoDashesAnOptionIsAFile) {
  std::string dir = NewFolder();
  WriteFile(dir + "/--help", "SCREEN 8\r\nline ( 1,  2)-( 3, 4),       7\r\n");
  EditorRun run = RunEditor(dir, FromMainLoop({"CTRL-X"}), {}, {"--", "--help"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.File("image.img"), run.File("--help"));
}

// `kov1 pics/NAME` and Load Image of NAME in pics give the same journal and
// picture, also after text is added (the subroutine block is written only
// when the loaded drawing lacks it); the editor works in pics, not where it
// was started, and a load leaves nothing unsaved.
TEST(CommandLineTest, FileIsLoadedInItsFolderAsLoadImageLoadsIt) {
  const std::vector<std::string> after = {"RIGHT",         "CTRL-T",      ".",      "text \"HI\"",
                                          "ENTER",         "snap editor", "CTRL-S", "ENTER",
                                          "text \"COPY\"", "ENTER",       "CTRL-X"};
  // The last one covers the cursor, whose five pixels must be read afresh.
  const std::pair<std::string, std::string> drawings[] = {
      {"TEXT.BAS", Corpus("saved_text_block.bas")},
      {"shapes.bas", Corpus("saved_shapes.bas")},
      {"odd", Corpus("odd_line_ends.bas")},
      {"under cursor.bas", "SCREEN 8\r\nline ( 1,  20)-( 20, 40),  4,bf\r\n"},
  };
  for (const auto& [name, bytes] : drawings) {
    SCOPED_TRACE(name);
    std::string top = NewFolder();
    fs::create_directory(top + "/pics");
    WriteFile(top + "/pics/" + name, bytes);
    std::vector<std::string> keys = StartKeys();
    keys.insert(keys.end(), after.begin(), after.end());
    EditorRun opened = RunEditor(top, keys, {}, {"pics/" + name});

    std::string other = NewFolder();
    WriteFile(other + "/" + name, bytes);
    keys = FromMainLoop({"CTRL-S", "DOWN", "ENTER", "text \"" + name + "\"", "ENTER"});
    keys.insert(keys.end(), after.begin(), after.end());
    EditorRun loaded = RunEditor(other, keys);

    EXPECT_EQ(opened.status, 0) << opened.err;
    EXPECT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_FALSE(opened.Exists("image.img"));
    EXPECT_EQ(opened.File("pics/image.img"), loaded.File("image.img"));
    EXPECT_EQ(opened.File("pics/COPY"), loaded.File("COPY"));
    EXPECT_NE(opened.File("pics/COPY"), "");
    EXPECT_EQ(opened.Pixels("editor"), loaded.Pixels("editor"));
    EXPECT_EQ(opened.out, "Edit ended.\n");
  }
}

TEST(CommandLineTest, TheJournalAsFileOpensTheEarlierDrawing) {
  std::string dir = NewFolder();
  const std::string earlier = "SCREEN 8\r\nline ( 1,  2)-( 3, 4),       7\r\n";
  WriteFile(dir + "/image.img", earlier);
  // No box says where it was kept, and no copy stays: it is opened anyway.
  EditorRun run = RunEditor(dir, FromMainLoop({"snap opened", "CTRL-X"}), {}, {dir + "/image.img"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Edit ended.\n");
  EXPECT_EQ(Region(run.Pixels("opened"), 98, 99, 4, 2), (std::vector<std::string>{"....", "...."}));
  EXPECT_FALSE(run.Exists("image.img.1"));
  EXPECT_EQ(run.File("image.img"), earlier);
}

// A FILE that cannot be loaded shows Load Image's message; the editor then
// goes on with an empty drawing in FILE's folder, or where it was started
// when that folder cannot be entered.
TEST(CommandLineTest, AFileThatCannotBeLoadedLeavesAnEmptyDrawing) {
  for (const std::string& folder : {std::string("pics"), std::string("nowhere")}) {
    SCOPED_TRACE(folder);
    std::string top = NewFolder();
    fs::create_directory(top + "/pics");
    EditorRun run = RunEditor(top, FromMainLoop({"snap message", "ENTER", "snap editor", "CTRL-X"}),
                              {}, {folder + "/missing.bas"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Edit ended.\n");
    EXPECT_EQ(Region(run.Pixels("message"), 98, 99, 4, 2), kBoxCorner);
    EXPECT_EQ(Region(run.Pixels("editor"), 98, 99, 4, 2),
              (std::vector<std::string>{"....", "...."}));
    const std::string journal = folder == "pics" ? "pics/image.img" : "image.img";
    EXPECT_EQ(run.File(journal), "SCREEN 8\r\n");
  }
}
