// prompt.h - "Do you want to save it now?" before work would be lost.
//
// The mode is passed by reference: kPromptExit or kPromptLoad on entry; the
// prompt sets it to kPromptDeclined for "Do not exit" / "Do not load".
#pragma once

#include "editor/editor.h"

enum : int { kPromptExit = 0, kPromptLoad = 1, kPromptDeclined = 2 };

void UnsavedPrompt(Editor& ed, int& mode);
