// sound_waveout.cpp -- sound output for the Windows backend: a waveOut
// stream of 16-bit stereo fed by a thread of its own, which renders the
// playing song into whichever block the device has finished with. The order
// being heard comes from the device's own played position.
#include <atomic>
#include <cstring>
#include <vector>

#include "platform/sound_internal.h"
#include "platform/win32/win32_internal.h"

#include <mmsystem.h>

namespace {

const int kBlocks = 4;
const int kDefaultBufferMs = 100;

// Owned here; changed only while no feeder thread runs.
int bufferMs = kDefaultBufferMs;
HWAVEOUT device = nullptr;
HANDLE blockDone = nullptr;  // signalled by the device whenever a block is done
int mixRate = kSndDefaultRate;
WAVEHDR headers[kBlocks];
std::vector<int16_t> blockSamples[kBlocks];
std::vector<float> mixBuffer;
SndSong *playingSong = nullptr;
HANDLE feeder = nullptr;
std::atomic<bool> stopFeeding{false};

void fillBlock(int i) {
    size_t frames = blockSamples[i].size() / 2;
    songRender(playingSong, mixRate, mixBuffer.data(), frames);
    for (size_t s = 0; s < frames * 2; s++) {
        float v = mixBuffer[s] * 32767.0f;
        blockSamples[i][s] = (int16_t)(v > 32767.0f ? 32767 : v < -32768.0f ? -32768 : (int)v);
    }
    headers[i].dwFlags &= ~WHDR_DONE;
    waveOutWrite(device, &headers[i], sizeof headers[i]);
}

DWORD WINAPI feed(void *) {
    for (int i = 0; i < kBlocks; i++) fillBlock(i);
    while (!stopFeeding.load()) {
        WaitForSingleObject(blockDone, 50);
        for (int i = 0; i < kBlocks && !stopFeeding.load(); i++)
            if (headers[i].dwFlags & WHDR_DONE) fillBlock(i);
    }
    return 0;
}

// Stops the feeder and takes every block back from the device.
void stopPlaying() {
    if (feeder) {
        stopFeeding.store(true);
        WaitForSingleObject(feeder, INFINITE);
        CloseHandle(feeder);
        feeder = nullptr;
    }
    if (device) waveOutReset(device);  // returns every block; the position starts again at 0
    playingSong = nullptr;
}

void releaseDevice() {
    stopPlaying();
    if (!device) return;
    for (WAVEHDR &header : headers)
        if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device, &header, sizeof header);
    waveOutClose(device);
    device = nullptr;
    CloseHandle(blockDone);
    blockDone = nullptr;
}

bool prepareBlocks() {
    size_t frames = (size_t)mixRate * bufferMs / 1000 / kBlocks;
    if (frames < 64) frames = 64;
    mixBuffer.assign(frames * 2, 0.0f);
    for (int i = 0; i < kBlocks; i++) {
        blockSamples[i].assign(frames * 2, 0);
        headers[i] = WAVEHDR{};
        headers[i].lpData = (LPSTR)blockSamples[i].data();
        headers[i].dwBufferLength = (DWORD)(frames * 2 * sizeof(int16_t));
        if (waveOutPrepareHeader(device, &headers[i], sizeof headers[i]) != MMSYSERR_NOERROR) return false;
        headers[i].dwFlags |= WHDR_DONE;  // free for the feeder
    }
    return true;
}

}  // namespace

void Snd_SetBufferSize(int milliseconds) { bufferMs = milliseconds > 0 ? milliseconds : kDefaultBufferMs; }

bool Snd_Init(int rate, int, int) {
    if (device) return true;
    if (sysShouldFail("SndInit")) return false;
    mixRate = rate > 0 ? rate : kSndDefaultRate;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = (DWORD)mixRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    blockDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!blockDone) return false;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, (DWORD_PTR)blockDone, 0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        device = nullptr;
        CloseHandle(blockDone);
        blockDone = nullptr;
        return false;
    }
    if (!prepareBlocks()) {
        releaseDevice();
        return false;
    }
    return true;
}

bool Snd_PlaySong(SndSong *song) {
    if (!song || !device) return false;
    stopPlaying();
    for (WAVEHDR &header : headers) header.dwFlags |= WHDR_DONE;
    songRewind(song);
    playingSong = song;
    stopFeeding.store(false);
    feeder = CreateThread(nullptr, 0, feed, nullptr, 0, nullptr);
    if (!feeder) playingSong = nullptr;
    return feeder != nullptr;
}

int Snd_GetOrder(SndSong *song) {
    int order;
    if (songOrderOverride(&order)) return order;
    if (!song) return -1;
    if (song != playingSong) return songLastOrder(song);  // not rendering: safe to read
    MMTIME played = {};
    played.wType = TIME_SAMPLES;
    if (waveOutGetPosition(device, &played, sizeof played) != MMSYSERR_NOERROR || played.wType != TIME_SAMPLES)
        return songOrderAt(song, 0);
    return songOrderAt(song, played.u.sample);
}

void Snd_FreeSong(SndSong *song) {
    if (!song) return;
    if (song == playingSong) stopPlaying();
    songDestroy(song);
}

void Snd_Close() { releaseDevice(); }

size_t Snd_RenderOffline(float *out, size_t frames) {
    if (out) std::memset(out, 0, frames * 2 * sizeof(float));
    return 0;
}
