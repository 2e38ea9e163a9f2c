// pages.h - the editor's page moves: every choice of work and visible page
// and every copy between pages outside the runtime goes through here.
//
// Page 0 holds the picture. Page 1 is scratch: a shape's rubber band,
// dialogs, menus, help pages, the colour chooser and the title draw on it,
// over a copy of the picture. Between keys the main loop draws on page 0
// and shows it, and page 1 equals page 0 (the main loop's pages); every way
// back to the main loop leaves them so.
//
// ShowPicture wipes page 1 with the picture and shows page 0: what page 1
// showed is given up. EndPageOneDrawing does the same after a drawing on
// page 1, first keeping that drawing in the picture when asked to.
// ModalPages wipes page 1 on every way out of a scope, so that page 1
// equals page 0 again for the rubber band and the next screen; the pages
// stay as the screen left them.
//
// A screen or shape that goes on after an error message holds the pages
// (HeldPages): the message then wipes page 1 and leaves the pages as they
// were; otherwise it shows page 0 (PagesAfterMessage).
#pragma once

// Page 1 becomes a copy of the picture.
void WipeScratch();
// Draw on page 0 and show it: the main loop's pages.
void ShowPicturePage();
// Draw on page 1 and show it.
void ShowScratchPage();
// Draw on page 1 while page 0 stays shown.
void DrawScratchUnseen();
// Draw on page 0 while page 1 stays shown.
void DrawPictureUnseen();

void ShowPicture();
void EndPageOneDrawing(bool keep);

struct ModalPages {
  ModalPages() = default;
  ModalPages(const ModalPages&) = delete;
  ModalPages& operator=(const ModalPages&) = delete;
  ~ModalPages() { WipeScratch(); }
};

// Holds the pages for the scope when `hold` is true.
struct HeldPages {
  explicit HeldPages(bool hold = true);
  HeldPages(const HeldPages&) = delete;
  HeldPages& operator=(const HeldPages&) = delete;
  ~HeldPages();
  bool held;
};

// After an error message: page 1 wiped, and page 0 shown unless the pages
// are held.
void PagesAfterMessage();

// True when the pages are the main loop's: work and visible page 0, and
// page 1 equal to page 0.
bool MainLoopPages();
