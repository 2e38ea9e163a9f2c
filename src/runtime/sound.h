// sound.h - tones through the sound device.
//
// PlayTone sounds a square wave of freq hertz for ticks of 50 ms and returns
// when it has ended; without a sound device the time passes in silence. 0
// ticks and a virtual clock return at once. BEEP is 1000 Hz for 250 ms.
// Nothing of the sound library reaches standard error.
#pragma once

void PlayTone(int freq, int ticks);
void play_tone_ms(int freq, int ms);
void BEEP();
