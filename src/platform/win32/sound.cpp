// sound.cpp -- the Windows backend's sound output: a waveOut stream of
// 16-bit stereo fed by a thread of its own, which renders the playing song
// into whichever block the device has finished with. The frame being heard
// is the device's own played position.
#include <atomic>
#include <vector>

#include "platform/sound_internal.h"
#include "platform/win32/win32_internal.h"

#include <mmsystem.h>

namespace {

const int kBlocks = 4;

// Owned by the sndBackend* calls; changed only while no feeder thread runs.
HWAVEOUT device = nullptr;
HANDLE blockDone = nullptr;  // signalled by the device whenever a block is done
int mixRate = kSndDefaultRate;
WAVEHDR headers[kBlocks];
std::vector<int16_t> blockSamples[kBlocks];
std::vector<float> mixBuffer;
SndSong *renderedSong = nullptr;
HANDLE feeder = nullptr;
std::atomic<bool> stopFeeding{false};

void fillBlock(int i) {
    size_t frames = blockSamples[i].size() / 2;
    songRender(renderedSong, mixRate, mixBuffer.data(), frames);
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
    renderedSong = nullptr;
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

bool prepareBlocks(int bufferMs) {
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

bool sndBackendOpen(int *rate, int bufferMs, const char **why) {
    mixRate = *rate;
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
        *why = "no waveOut device takes 16-bit stereo at this rate";
        device = nullptr;
        CloseHandle(blockDone);
        blockDone = nullptr;
        return false;
    }
    if (!prepareBlocks(bufferMs)) {
        releaseDevice();
        return false;
    }
    return true;
}

bool sndBackendStart(SndSong *song) {
    for (WAVEHDR &header : headers) header.dwFlags |= WHDR_DONE;
    renderedSong = song;
    stopFeeding.store(false);
    feeder = CreateThread(nullptr, 0, feed, nullptr, 0, nullptr);
    if (!feeder) renderedSong = nullptr;
    return feeder != nullptr;
}

void sndBackendStop() { stopPlaying(); }

bool sndBackendHeardFrame(uint64_t *frame) {
    MMTIME played = {};
    played.wType = TIME_SAMPLES;
    if (waveOutGetPosition(device, &played, sizeof played) != MMSYSERR_NOERROR || played.wType != TIME_SAMPLES)
        return false;
    *frame = played.u.sample;
    return true;
}

void sndBackendClose() { releaseDevice(); }

// The played position is the device's own: what it reports is being heard.
int64_t sndOutputLatencyNs() { return 0; }
