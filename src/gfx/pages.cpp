// The editor's page moves and the one record of who holds the pages.
#include "gfx/pages.h"

#include <cstddef>
#include <cstring>

#include "gfx/screen.h"

namespace {

int g_holders = 0;  // HeldPages scopes open

}  // namespace

void WipeScratch() {
  PCOPY(0, 1);
}

void ShowPicturePage() {
  set_pages(0, 0);
}

void ShowScratchPage() {
  set_pages(1, 1);
}

void DrawScratchUnseen() {
  set_pages(1, 0);
}

void DrawPictureUnseen() {
  set_pages(0, 1);
}

void ShowPicture() {
  WipeScratch();
  ShowPicturePage();
}

void EndPageOneDrawing(bool keep) {
  if (keep) {
    PCOPY(1, 0);
  } else {
    WipeScratch();
  }
  ShowPicturePage();
}

HeldPages::HeldPages(bool hold) : held(hold) {
  if (held) ++g_holders;
}

HeldPages::~HeldPages() {
  if (held) --g_holders;
}

void PagesAfterMessage() {
  WipeScratch();
  if (g_holders == 0) ShowPicturePage();
}

bool MainLoopPages() {
  const GfxScreen* s = gfx_screen();
  if (s == nullptr || draw_context()->work_page != 0 || s->visible_page != 0) return false;
  const size_t bytes = static_cast<size_t>(s->pitch) * static_cast<size_t>(s->height);
  return std::memcmp(s->pages[0], s->pages[1], bytes) == 0;
}
