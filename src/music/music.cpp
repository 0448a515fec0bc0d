// music.cpp -- the song and the show's clock: checks the sound library,
// opens output, loads and starts the module, polls the order being heard
// once per frame, steps the closing volume fade, and frees it all at exit.
#include "music/music.h"

#include "driver/quit.h"

SndSong *songHandle = nullptr;
int32_t musicOrder = 0;
int32_t masterVolume = kFullVolume;

// Every step runs whatever failed before it. The song is the show's clock:
// a module that does not load is a failed start like a missing mesh.
void startMusic(const char *path) {
    float version = Snd_GetVersion();
    if (version < 3.3f) {
        Sys_ReportFailure("the sound library is version %.2f; 3.3 or later is needed", (double)version);
        quitRequests++;
    }
    Snd_SetBufferSize(100);
    if (!Snd_Init(kMixRate, 32, 0)) quitRequests++;  // the sound output names itself
    songHandle = Snd_LoadSong(path);
    if (!songHandle) {
        Sys_ReportFailure("cannot load the music module %s", path);
        quitRequests++;
    }
    Snd_PlaySong(songHandle);
}

void pollMusicPosition() { musicOrder = Snd_GetOrder(songHandle); }

// Hands the current volume first, so the calls give 256, 255, ..., 1, 0, 0, ...
void stepMusicFadeOut() {
    Snd_SetMasterVolume(songHandle, masterVolume);
    if (masterVolume != 0) masterVolume--;
}

// The handle is cleared once freed, so nothing can reach a freed song.
void stopMusic() {
    Snd_FreeSong(songHandle);
    songHandle = nullptr;
    Snd_Close();
}
