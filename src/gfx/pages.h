// pages.h - the page moves of modal screens. Page 0 holds the picture; a
// modal screen draws on page 1 over a copy of it. On every way out,
// ModalPages copies the picture back over page 1, so that page 1 equals
// page 0 again for the rubber band and the next screen; the work and
// visible pages stay as the screen left them.
#pragma once

#include "gfx/screen.h"

struct ModalPages {
  ModalPages() = default;
  ModalPages(const ModalPages&) = delete;
  ModalPages& operator=(const ModalPages&) = delete;
  ~ModalPages() { PCOPY(0, 1); }
};
