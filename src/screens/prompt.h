// prompt.h - "Do you want to save it now?" before work would be lost.
//
// The mode is passed by reference: kPromptExit or kPromptLoad on entry; the
// prompt sets it to kPromptDeclined for "Do not exit" / "Do not load".
//
// The ways out of the editor sit here, beside the prompt that guards them:
// EndEditor closes the files, leaves graphics and prints "Edit ended.";
// ExitRequest does that when nothing is unsaved and asks first otherwise.
#pragma once

#include "editorstate/editor.h"

enum : int { kPromptExit = 0, kPromptLoad = 1, kPromptDeclined = 2 };

void UnsavedPrompt(Editor& ed, int& mode);

// Ends the program as on Ctrl-X with nothing unsaved; the journal stays.
[[noreturn]] void EndEditor();
// Ctrl-X: ends the program, asking first when there is unsaved work;
// returns when the user chose not to exit.
void ExitRequest(Editor& ed);
