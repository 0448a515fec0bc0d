// platform_testing.h -- the seams the tests, benchmarks and fuzzers use to
// drive the platform where a real machine would not: failures injected into
// named steps, message boxes captured, the song's order and the player's
// version fixed, the sound output's clock set back, the presents timed on a
// clock of the test's own, a button's mark read
// back. Not part of the contract; a program that includes this links
// platform_testing.cpp (library kaveld_platform_testing), and the shipped
// programs never do.
#pragma once

#include "platform/pacer.h"
#include "platform/platform.h"

// Fails the next n calls of a step, by name ("RegisterClass",
// "CreateOptionsWindow", "CreateButton", "CreateWindow", "ChangeDisplayMode",
// "GetDc", "ChoosePixelFormat", "SetPixelFormat", "CreateContext",
// "MakeCurrent", "DeleteContext", "SndInit", "SndPosition": the output cannot
// tell what is being heard). Every backend honours them.
void Sys_InjectFailure(const char *step, int count);
// Message boxes go to this hook instead of the screen while it is set.
typedef void (*PlatformMessageBoxHook)(PlatformWindow owner, const char *text, const char *caption);
void Sys_SetMessageBoxHook(PlatformMessageBoxHook hook);
// The version Snd_GetVersion reports from now on; 0 puts back the player's own.
void Snd_OverrideVersion(float version);
// While on, Snd_GetOrder reports `order` for every song, a null one included;
// off goes back to the song's own order.
void Snd_OverrideOrder(bool on, int order);
// From now on the sound output reports the frame it hears `frames` earlier
// than it does (never before the song's start), as a device whose clock went
// back would, or a position read across a buffer's wrap; 0 puts back its own.
void Snd_SetOutputClockBack(uint64_t frames);
// From now on the presents are paced on this clock (its sleeps included)
// instead of the system's, from the next time the pacer starts (the display's
// GL opening, or a swap interval asked for); null puts back the system's.
void Sys_SetPresentClock(const PacerClock *clock);
// The mark a check box or radio button shows (false for anything else).
bool Sys_GetButtonCheck(PlatformWindow button);
