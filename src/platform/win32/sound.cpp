// sound.cpp -- the Windows backend's sound output: a waveOut stream of
// 16-bit stereo fed by a thread of its own, which renders the playing song
// into whichever block the device has finished with. The frame being heard
// is the device's own played position. A block the device refuses ends the
// show (sndOutputFailed): the feeder never touches the message queue.
#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/sound_internal.h"
#include "platform/win32/win32_internal.h"

#include <mmsystem.h>

namespace {

const int kBlocks = 4;
const int kFrameBytes = 4;  // 16-bit stereo

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
char openError[MAXERRORLENGTH + 32];  // owned by sndBackendOpen: why the device did not open

// Renders block i and hands it to the device; false when the device refuses it.
bool fillBlock(int i) {
    size_t frames = blockSamples[i].size() / 2;
    songRender(renderedSong, mixRate, mixBuffer.data(), frames);
    for (size_t s = 0; s < frames * 2; s++) {
        float v = mixBuffer[s] * 32767.0f;
        blockSamples[i][s] = (int16_t)(v > 32767.0f ? 32767 : v < -32768.0f ? -32768 : (int)v);
    }
    headers[i].dwFlags &= ~WHDR_DONE;
    if (waveOutWrite(device, &headers[i], sizeof headers[i]) == MMSYSERR_NOERROR) return true;
    headers[i].dwFlags |= WHDR_DONE;  // never queued, so the device will never mark it
    return false;
}

// Refills every block the device is done with (all of them at the start).
DWORD WINAPI feed(void *) {
    while (!stopFeeding.load()) {
        for (int i = 0; i < kBlocks && !stopFeeding.load(); i++) {
            if (!(headers[i].dwFlags & WHDR_DONE)) continue;
            if (!fillBlock(i)) {
                sndOutputFailed();  // the message pump ends the show
                return 1;
            }
        }
        WaitForSingleObject(blockDone, 50);
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
    format.nBlockAlign = kFrameBytes;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    blockDone = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!blockDone) return false;
    MMRESULT opened = waveOutOpen(&device, WAVE_MAPPER, &format, (DWORD_PTR)blockDone, 0, CALLBACK_EVENT);
    if (opened != MMSYSERR_NOERROR) {
        char text[MAXERRORLENGTH] = "";
        waveOutGetErrorTextA(opened, text, sizeof text);
        snprintf(openError, sizeof openError, "waveOut error %u%s%s", opened, *text ? ", " : "", text);
        *why = openError;
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

// Asked in samples; a device may answer in bytes instead.
bool sndBackendHeardFrame(uint64_t *frame) {
    MMTIME played = {};
    played.wType = TIME_SAMPLES;
    if (waveOutGetPosition(device, &played, sizeof played) != MMSYSERR_NOERROR) return false;
    if (played.wType == TIME_SAMPLES)
        *frame = played.u.sample;
    else if (played.wType == TIME_BYTES)
        *frame = played.u.cb / kFrameBytes;
    else
        return false;
    return true;
}

void sndBackendClose() { releaseDevice(); }

// The played position is the device's own: what it reports is being heard.
int64_t sndOutputLatencyNs() { return 0; }
