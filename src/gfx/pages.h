// pages.h - the page moves of modal screens and tools. Page 0 holds the
// picture; a modal screen or a shape in progress draws on page 1 over a
// copy of it.
//
// ModalPages copies the picture back over page 1 on every way out of a
// scope, so that page 1 equals page 0 again for the rubber band and the
// next screen; the work and visible pages stay as the screen left them.
// ShowPicture gives up what page 1 shows and makes page 0 the work and
// visible page. EndPageOneDrawing does the same after a drawing on page 1,
// first keeping that drawing in the picture when asked to.
#pragma once

#include "gfx/screen.h"

struct ModalPages {
  ModalPages() = default;
  ModalPages(const ModalPages&) = delete;
  ModalPages& operator=(const ModalPages&) = delete;
  ~ModalPages() { PCOPY(0, 1); }
};

inline void ShowPicture() {
  PCOPY(0, 1);
  set_pages(0, 0);
}

inline void EndPageOneDrawing(bool keep) {
  if (keep) {
    PCOPY(1, 0);
  } else {
    PCOPY(0, 1);
  }
  set_pages(0, 0);
}
