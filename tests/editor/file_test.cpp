// Saving, loading, the file menu, the unsaved-work prompt and the error
// messages, end to end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "editor_run.h"

namespace {

using Lines = std::vector<std::string>;
using Rows = std::vector<std::string>;

const std::string kLine1 = "line ( 2,  33)-( 12, 33),    7";
const std::string kLine2 = "line ( 12,  33)-( 22, 33),   7";

const Lines kDrawLine = {".", "RIGHT * 10", "."};
Lines SaveAs(const std::string& name) {
  return {"CTRL-S", "ENTER", "text \"" + name + "\"", "ENTER"};
}
Lines LoadFrom(const std::string& name) {
  return {"CTRL-S", "DOWN", "ENTER", "text \"" + name + "\"", "ENTER"};
}

const Lines kTypeHi = {"CTRL-T", ".", "text \"hi\"", "ENTER"};

}  // namespace

TEST(SaveTest, SavedFileEqualsTheJournalAndCountsAsSaved) {
  EditorRun run = RunEditor(FromMainLoop(Join({kDrawLine, SaveAs("PIC"), {"CTRL-X"}})));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Edit ended.\n");
  EXPECT_EQ(run.File("PIC"), CrLf({"SCREEN 8", kLine1}));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1}));
}

TEST(SaveTest, SavingTwiceReplacesTheFile) {
  EditorRun run = RunEditor(
      FromMainLoop(Join({kDrawLine, SaveAs("PIC"), kDrawLine, SaveAs("PIC"), {"CTRL-X"}})));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.File("PIC"), CrLf({"SCREEN 8", kLine1, kLine2}));
}

TEST(SaveTest, EscInTheSaveDialogLeavesNoFile) {
  EditorRun run = RunEditor(
      FromMainLoop(Join({kDrawLine, {"CTRL-S", "ENTER", "text \"PIC\"", "ESC"}, kDrawLine})));
  EXPECT_EQ(run.status, 3);
  EXPECT_FALSE(run.Exists("PIC"));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1, kLine2}));  // still appending
}

TEST(SaveTest, SavingOntoTheJournalItselfIsRefused) {
  EditorRun run = RunEditor(FromMainLoop(Join({kDrawLine,
                                               {"CTRL-S", "ENTER", "text \"image.img\"", "ENTER",
                                                "snap refused", "ENTER", "ESC", "CTRL-X"}})));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1}));
  auto px = run.Pixels("refused");
  EXPECT_TRUE(MessageBoxShown(px));
  EXPECT_EQ(LineExtent(px, 3).first, 126);  // number 64: three blanks, then "The"
  EXPECT_EQ(run.status, 3);                 // still unsaved: Ctrl-X asks
}

TEST(SaveTest, NamesWithControlBytesAreRefusedAndLettersBecomeUtf8) {
  EditorRun run = RunEditor(FromMainLoop(
      Join({kDrawLine,
            {"CTRL-S", "ENTER", "text \"A\"", "CODE 1", "ENTER", "snap refused", "ENTER"},
            {"text \"caf\xC3\xA9\"", "ENTER", "CTRL-X"}})));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(MessageBoxShown(run.Pixels("refused")));
  EXPECT_EQ(run.File("caf\xC3\xA9"), CrLf({"SCREEN 8", kLine1}));
}

// A device is no file to save in: it is refused with a message box that
// names it (Esc closes it), left alone, and the work stays unsaved.
TEST(SaveTest, ADeviceIsRefusedByNameAndTheWorkStaysUnsaved) {
  EditorRun run =
      RunEditor(FromMainLoop(Join({kDrawLine,
                                   {"CTRL-S", "ENTER", "text \"/dev/full\"", "ENTER", "snap full",
                                    "ESC", "ESC", "CTRL-X", "snap prompt"}})));
  auto px = run.Pixels("full");
  EXPECT_TRUE(MessageBoxShown(px));
  EXPECT_EQ(LineExtent(px, 4), std::make_pair(147, 207));  // "/DEV/FULL" after six blanks
  // Ctrl-X now asks before the work is lost.
  EXPECT_EQ(Region(run.Pixels("prompt"), 329, 149, 3, 3), (Rows{"77.", "77.", "..."}));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1}));
  struct stat st {};
  ASSERT_EQ(stat("/dev/full", &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(SaveTest, AnUncommonFailureShowsTheCatchAllBoxAndStartsOver) {
  // A link that leads round in a circle fails with the catch-all box.
  std::string dir = NewFolder();
  ASSERT_EQ(symlink("LOOP", (dir + "/LOOP").c_str()), 0);
  EditorRun run =
      RunEditor(dir, FromMainLoop(Join({kDrawLine,
                                        {"CTRL-S", "ENTER", "text \"LOOP\"", "ENTER", "snap box",
                                         "LEFT", "snap exit", "RIGHT", "snap ignore", "ENTER",
                                         "snap again", "text \"OK\"", "ENTER", "CTRL-X"}})));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.File("OK"), CrLf({"SCREEN 8", kLine1}));
  auto box = run.Pixels("box");
  // The corner of the box in 8 x 8 cells: code 218 at the top left.
  EXPECT_EQ(Region(box, 0, 3, 8, 3), (Rows{"........", "...FFFFF", "...FF..."}));
  // The marks: a spade at column 32 for Exit, a club at column 10 for Ignore.
  auto cell = [](const std::vector<unsigned char>& px, int col) {
    return Region(px, 8 * (col - 1), 72, 8, 8);
  };
  const Rows blank(8, "........");
  EXPECT_EQ(cell(box, 10), blank);
  // 53 cells wide: the corners stand in column 53 of rows 1 and 11, above
  // and below the sides, and column 54 stays empty (below the frame's top).
  for (int row : {1, 2, 11}) {
    EXPECT_NE(Region(box, 8 * 52, 8 * row - 7, 8, 7), Rows(7, "........")) << row;
    EXPECT_EQ(Region(box, 8 * 53, 8 * row - 7, 8, 7), Rows(7, "........")) << row;
  }
  EXPECT_NE(cell(run.Pixels("exit"), 32), blank);
  EXPECT_EQ(cell(run.Pixels("exit"), 10), blank);
  EXPECT_NE(cell(run.Pixels("ignore"), 10), blank);
  EXPECT_EQ(cell(run.Pixels("ignore"), 32), blank);
  // After Ignore the dialog starts over, drawn on page 1 over the picture.
  EXPECT_EQ(Region(run.Pixels("again"), 8, 20, 8, 1), (Rows{"FFFFFFFF"}));
}

TEST(SaveTest, ExitInTheCatchAllBoxEndsAtOnceKeepingTheJournal) {
  std::string dir = NewFolder();
  ASSERT_EQ(symlink("LOOP", (dir + "/LOOP").c_str()), 0);
  EditorRun run = RunEditor(
      dir, FromMainLoop(
               Join({kDrawLine, {"CTRL-S", "ENTER", "text \"LOOP\"", "ENTER", "LEFT", "ENTER"}})));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1}));
}

TEST(LoadTest, HandWrittenDrawingLoadsAndBecomesTheJournal) {
  std::string dir = NewFolder();
  const Lines drawing = {
      "screen 8",
      "line ( 10,  20)-( 30, 25),  4",
      "Line(40,20)-(50,30),2,B",
      "LINE(60,20)-(70,30),3,BF",
      "circle ( 100,  40),          5,            6, , , 1",
      "PrintFlarp$ = \"ab\"",
      "wx = 8",
      "Fcolor = 4",
      "wy = 100",
      "gosub Dprint",
      "GoTo EndAbc",
      "line ( 200,  20)-( 300, 25),  4",
  };
  std::string lf;
  for (const std::string& line : drawing) lf += line + "\n";
  WriteFile(dir + "/HAND", lf);
  EditorRun run = RunEditor(
      dir, FromMainLoop(Join({LoadFrom("HAND"), {"snap box", "ENTER", "snap loaded"}, kTypeHi})));
  // The block that the file cut short is closed, the user is told, and a
  // text drawn later runs after it, with no second block.
  EXPECT_TRUE(
      ShowsLineOf(run.Pixels("box"), 3, "      The text subroutine of this drawing was cut"));
  EXPECT_EQ(run.File("image.img"), CrLf(Join({drawing,
                                              {"EndAbc:", "PrintFlarp$ = \"HI\"", "Fcolor =  7",
                                               "wy =  33", "wx =  2", "gosub Dprint"}})));
  auto px = run.Pixels("loaded");
  EXPECT_EQ(Region(px, 10, 20, 3, 2), (Rows{"44.", "..4"}));
  EXPECT_EQ(Region(px, 40, 20, 3, 3), (Rows{"222", "2..", "2.."}));
  EXPECT_EQ(Region(px, 60, 20, 2, 2), (Rows{"33", "33"}));
  EXPECT_EQ(Region(px, 104, 40, 3, 1), (Rows{".6."}));
  // "AB" at (8, 100) in colour 4: the top of the A and the top bar of the B.
  EXPECT_EQ(Region(px, 8, 100, 12, 1), (Rows{"..4....4444."}));
  EXPECT_EQ(Region(px, 200, 20, 3, 1), (Rows{"..."}));  // inside the unended block
  EXPECT_EQ(Region(px, 0, 193, 2, 1), (Rows{"FF"}));    // the border drawn again
  EXPECT_FALSE(run.Exists("image.img.load"));
}

// A fill that reached the screen's edges leaves nothing under the frame:
// the help line's rows are as the live editor shows them.
TEST(LoadTest, TheHelpLineIsDrawnOnClearedRows) {
  std::string dir = NewFolder();
  WriteFile(dir + "/FILLED", "SCREEN 8\r\npaint (5,5),4\r\n");
  EditorRun run = RunEditor(dir, FromMainLoop(Join({LoadFrom("FILLED"), {"snap loaded"}})));
  EXPECT_EQ(Region(run.Pixels("loaded"), 0, 192, 6, 8),
            (Rows{"F44444", "FFFFFF", "......", ".7...7", ".7...7", ".7...7", ".7...7", "..777."}));
}

TEST(LoadTest, ASavedDrawingLoadedAndSavedAgainIsIdentical) {
  std::string dir = NewFolder();
  RunEditor(dir, FromMainLoop(Join(
                     {kDrawLine, {"CTRL-E", ".", "RIGHT * 3", "."}, SaveAs("ONE"), {"CTRL-X"}})));
  // The first run's journal is kept at the start of the second: one more box.
  EditorRun run =
      RunEditor(dir, FromMainLoop(Join({{"ENTER"}, LoadFrom("ONE"), SaveAs("TWO"), {"CTRL-X"}})));
  EXPECT_EQ(run.status, 0) << run.err;
  ASSERT_FALSE(run.File("ONE").empty());
  EXPECT_EQ(run.File("TWO"), run.File("ONE"));
}

TEST(LoadTest, AMissingFileChangesNothing) {
  EditorRun run =
      RunEditor(FromMainLoop(Join({kDrawLine,
                                   {"snap before"},
                                   LoadFrom("NOPE"),
                                   {"RIGHT", "ENTER", "snap box", "ENTER", "snap after"}})));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1}));
  auto box = run.Pixels("box");
  EXPECT_TRUE(MessageBoxShown(box));
  EXPECT_EQ(LineExtent(box, 6), std::make_pair(147, 177));  // number 53: "      name."
  EXPECT_EQ(run.Pixels("after"), run.Pixels("before"));
}

TEST(LoadTest, LoadingTheJournalItselfWorks) {
  EditorRun run = RunEditor(
      FromMainLoop(Join({kDrawLine, SaveAs("PIC"), LoadFrom("image.img"), {"snap loaded"}})));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1}));
  EXPECT_EQ(Region(run.Pixels("loaded"), 2, 33, 3, 1), (Rows{"777"}));
}

TEST(LoadTest, UnsavedWorkAsksFirstAndDoNotLoadKeepsIt) {
  std::string dir = NewFolder();
  WriteFile(dir + "/OTHER", "SCREEN 8\r\nline ( 300,  100)-( 310, 100),  5\r\n");
  // Right twice: "Do not load".
  EditorRun run = RunEditor(dir, FromMainLoop(Join({kDrawLine,
                                                    LoadFrom("OTHER"),
                                                    {"RIGHT", "RIGHT", "ENTER", "ESC"},
                                                    LoadFrom("OTHER"),
                                                    {"ESC", "snap kept"}})));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1}));
  EXPECT_EQ(Region(run.Pixels("kept"), 300, 100, 2, 1), (Rows{".."}));
}

TEST(LoadTest, NoInThePromptLoadsAtOnce) {
  std::string dir = NewFolder();
  WriteFile(dir + "/OTHER", "SCREEN 8\r\nline ( 300,  100)-( 310, 100),  5\r\n");
  EditorRun run = RunEditor(
      dir, FromMainLoop(Join({kDrawLine, LoadFrom("OTHER"), {"RIGHT", "ENTER", "snap loaded"}})));
  EXPECT_EQ(run.File("image.img"), run.File("OTHER"));
  EXPECT_EQ(Region(run.Pixels("loaded"), 300, 100, 2, 1), (Rows{"55"}));
}

TEST(LoadTest, YesSavesFirstThenLoads) {
  std::string dir = NewFolder();
  WriteFile(dir + "/OTHER", "SCREEN 8\r\nline ( 300,  100)-( 310, 100),  5\r\n");
  EditorRun run = RunEditor(
      dir, FromMainLoop(Join({kDrawLine, LoadFrom("OTHER"), {"ENTER", "text \"MINE\"", "ENTER"}})));
  EXPECT_EQ(run.File("MINE"), CrLf({"SCREEN 8", kLine1}));
  EXPECT_EQ(run.File("image.img"), run.File("OTHER"));
}

TEST(LoadTest, YesWithTheSaveAbandonedDoesNotLoad) {
  std::string dir = NewFolder();
  WriteFile(dir + "/OTHER", "SCREEN 8\r\nline ( 300,  100)-( 310, 100),  5\r\n");
  EditorRun run =
      RunEditor(dir, FromMainLoop(Join({kDrawLine, LoadFrom("OTHER"), {"ENTER", "ESC", "ESC"}})));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1}));
}

TEST(PromptTest, ExitPromptKeyPaths) {
  // Left on Yes and Right on "Do not exit" change nothing; "Do not exit"
  // and ESC both go back to drawing.
  EditorRun run =
      RunEditor(FromMainLoop(Join({kDrawLine,
                                   {"CTRL-X", "LEFT", "RIGHT", "RIGHT", "RIGHT", "x", "ENTER",
                                    "CTRL-X", "ESC", "snap back", "CTRL-X", "RIGHT", "ENTER"}})));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Edit ended.\n");
  EXPECT_FALSE(run.Exists("image.img"));  // "No" deletes the journal
  EXPECT_EQ(Region(run.Pixels("back"), 2, 33, 3, 1), (Rows{"777"}));
}

TEST(PromptTest, YesSavesThenEnds) {
  EditorRun run =
      RunEditor(FromMainLoop(Join({kDrawLine, {"CLOSE", "ENTER", "text \"PIC\"", "ENTER"}})));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.File("PIC"), CrLf({"SCREEN 8", kLine1}));
  EXPECT_FALSE(run.Exists("image.img"));
}

TEST(PromptTest, YesWithoutASaveKeepsTheEditorRunning) {
  EditorRun run = RunEditor(FromMainLoop(Join({kDrawLine, {"CTRL-X", "ENTER", "ESC"}, kDrawLine})));
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine1, kLine2}));
}

TEST(MenuTest, ArrowsWrapAndEscReturnsToThePicture) {
  EditorRun run = RunEditor(FromMainLoop(Join(
      {kDrawLine,
       {"snap before", "CTRL-S", "UP", "snap new", "DOWN", "snap save", "ESC", "snap after"}})));
  // The highlighted item: white text on black at its row.
  // The last column of an item's last cell box: black when highlighted.
  EXPECT_EQ(Region(run.Pixels("new"), 175, 110, 1, 17), Rows(17, "7"));
  EXPECT_EQ(Region(run.Pixels("new"), 175, 130, 1, 7), Rows(7, "."));
  EXPECT_EQ(Region(run.Pixels("save"), 175, 110, 1, 7), Rows(7, "."));
  EXPECT_EQ(run.Pixels("after"), run.Pixels("before"));
}

TEST(MenuTest, CtrlXInTheMenuAsksAndDrawsTheMenuAgain) {
  EditorRun run = RunEditor(FromMainLoop(
      Join({kDrawLine, {"CTRL-S", "DOWN", "CTRL-X", "RIGHT", "RIGHT", "ENTER", "snap menu"}})));
  auto px = run.Pixels("menu");
  EXPECT_EQ(Region(px, 175, 110, 1, 7), Rows(7, "."));  // "Save Image" selected again
  EXPECT_EQ(Region(px, 175, 120, 1, 7), Rows(7, "7"));
}

TEST(MenuTest, NewImageStartsAJournalThatStillRuns) {
  EditorRun run =
      RunEditor(FromMainLoop(Join({kDrawLine, {"CTRL-S", "UP", "ENTER", "snap new"}, kDrawLine})));
  EXPECT_EQ(run.File("image.img"), CrLf({"SCREEN 8", kLine2}));
  auto px = run.Pixels("new");
  EXPECT_EQ(Region(px, 2, 33, 3, 1), (Rows{"..."}));
  EXPECT_EQ(Region(px, 0, 193, 2, 1), (Rows{"FF"}));
}

TEST(StartupFileTest, AStaleLoadFileIsRemoved) {
  std::string dir = NewFolder();
  WriteFile(dir + "/image.img.load", "half a drawing");
  EditorRun run = RunEditor(dir, FromMainLoop({"CTRL-X"}));
  EXPECT_EQ(run.status, 0);
  EXPECT_FALSE(run.Exists("image.img.load"));
}

namespace {

// How many times the journal holds the first line of the text subroutine.
int BlockCount(const std::string& journal) {
  int n = 0;
  for (size_t at = journal.find("GoTo EndAbc\r\n"); at != std::string::npos;
       at = journal.find("GoTo EndAbc\r\n", at + 1)) {
    ++n;
  }
  return n;
}

}  // namespace

TEST(MenuTest, NewImageWritesTheBlockAgainForTheNextText) {
  EditorRun run = RunEditor(FromMainLoop(Join({kTypeHi, {"CTRL-S", "UP", "ENTER"}, kTypeHi})));
  std::string journal = run.File("image.img");
  EXPECT_EQ(journal.compare(0, 10, "SCREEN 8\r\n"), 0);
  EXPECT_EQ(BlockCount(journal), 1);  // the journal after New Image has its own block
  EXPECT_NE(journal.find("PrintFlarp$ = \"HI\""), std::string::npos);
}

TEST(LoadTest, AfterALoadTheBlockIsWrittenExactlyWhenTheFileLackedIt) {
  std::string dir = NewFolder();
  WriteFile(dir + "/PLAIN", "SCREEN 8\r\nline ( 300,  100)-( 310, 100),  5\r\n");
  EditorRun plain = RunEditor(dir, FromMainLoop(Join({LoadFrom("PLAIN"), kTypeHi})));
  EXPECT_EQ(BlockCount(plain.File("image.img")), 1);

  // A drawing that holds the block (saved after a text) gets no second one.
  std::string dir2 = NewFolder();
  RunEditor(dir2, FromMainLoop(Join({kTypeHi, SaveAs("TEXT"), {"CTRL-X"}})));
  EditorRun with_block =
      RunEditor(dir2, FromMainLoop(Join({{"ENTER"}, LoadFrom("TEXT"), kTypeHi})));
  EXPECT_EQ(BlockCount(with_block.File("TEXT")), 1);
  EXPECT_EQ(BlockCount(with_block.File("image.img")), 1);
}

// A failed load keeps the undo history; a load begins it anew.
TEST(LoadTest, UndoReachesBackToTheLastLoadOnly) {
  std::string dir = NewFolder();
  WriteFile(dir + "/OTHER", "SCREEN 8\r\nline ( 300,  100)-( 310, 100),  5\r\n");
  EditorRun run = RunEditor(
      dir, FromMainLoop(Join({kDrawLine,
                              LoadFrom("NOPE"),
                              {"RIGHT", "ENTER", "ENTER", "CTRL-Z"},
                              {"copy image.img undone", "CTRL-Y", "copy image.img redone"},
                              LoadFrom("OTHER"),
                              {"RIGHT", "ENTER", "CTRL-Z", "snap loaded"}})));
  EXPECT_EQ(run.File("undone"), CrLf({"SCREEN 8"}));
  EXPECT_EQ(run.File("redone"), CrLf({"SCREEN 8", kLine1}));
  EXPECT_EQ(run.File("image.img"), run.File("OTHER"));
  EXPECT_EQ(Region(run.Pixels("loaded"), 300, 100, 2, 1), (Rows{"55"}));
}

// New Image is one action: Ctrl-Z brings back the journal's bytes, the
// picture, the name, the block's mark (no second block) and Saved; Ctrl-Y
// clears them again; the actions before it stay within reach.
TEST(MenuTest, NewImageIsUndoneAndRedoneExactly) {
  const Lines kNewImage = {"CTRL-S", "UP", "ENTER"};
  EditorRun run = RunEditor(FromMainLoop(Join({
      kTypeHi,
      {"CTRL-L"},
      kDrawLine,
      SaveAs("A"),
      {"copy image.img before", "snap before"},
      kNewImage,
      {"CTRL-Z", "copy image.img undone", "snap undone", "title undone"},
      {"CTRL-Y", "copy image.img redone", "snap redone", "title redone"},
      {"CTRL-Z", "CTRL-Z", "copy image.img line_undone", "CTRL-Y"},
      kTypeHi,
  })));
  const std::string before = run.File("before");
  EXPECT_TRUE(run.File("undone") == before);
  EXPECT_TRUE(run.Pixels("undone") == run.Pixels("before"));
  EXPECT_EQ(run.File("redone"), CrLf({"SCREEN 8"}));
  EXPECT_EQ(Region(run.Pixels("redone"), 2, 33, 8, 1), (Rows{"........"}));
  const std::string dash = " \xE2\x80\x94 ";
  EXPECT_EQ(run.File("undone.txt"), "kov1" + dash + "A" + dash + "12, 33\n");
  EXPECT_EQ(run.File("redone.txt"), "kov1" + dash + "12, 33\n");
  EXPECT_TRUE(run.File("line_undone") == before.substr(0, before.size() - kLine1.size() - 2));
  EXPECT_TRUE(run.File("image.img") == before + CrLf({"PrintFlarp$ = \"HI\"", "Fcolor =  7",
                                                      "wy =  33", "wx =  12", "gosub Dprint"}));

  // Saved comes back as it was: saved work ends at Ctrl-X, unsaved asks.
  for (bool saved : {true, false}) {
    Lines keys = kDrawLine;
    if (saved) keys = Join({keys, SaveAs("A")});
    EditorRun exit = RunEditor(FromMainLoop(Join({keys, kNewImage, {"CTRL-Z", "CTRL-X"}})));
    EXPECT_EQ(exit.status, saved ? 0 : 3) << saved;
  }
}
