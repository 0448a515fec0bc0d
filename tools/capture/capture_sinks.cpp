// capture_sinks.cpp -- where captured frames and sound go: PNG files and a
// WAV in a directory, or a video encoded by the ffmpeg program (H.264 from
// a pipe of raw frames, then muxed with the sound as AAC).
#include <GL/gl.h>
#include <png.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "capture.h"
#include "music/music.h"

namespace {

bool endsWith(const std::string &s, const char *suffix) {
    size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// A 16-bit stereo WAV header for `frames` frames.
void writeWavHeader(FILE *f, long frames) {
    auto u32 = [f](uint32_t v) { std::fwrite(&v, 4, 1, f); };
    auto u16 = [f](uint16_t v) { std::fwrite(&v, 2, 1, f); };
    uint32_t dataBytes = (uint32_t)frames * 4;
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(2);
    u32(kMixRate);
    u32(kMixRate * 4);
    u16(4);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(dataBytes);
}

bool writePng(const std::string &path, const unsigned char *rgb, int w, int h) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, f);
        png_set_compression_level(png, 1);
        png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < h; y++) png_write_row(png, rgb + (size_t)y * w * 3);
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0 && ok;
}

std::string audioPath(const CaptureSink &sink) {
    return (sink.kind == CaptureSink::kDirectory ? sink.out : sink.tempDir) + "/audio.wav";
}

bool onPath(const char *program) {
    const char *path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    for (size_t start = 0; start <= dirs.size();) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        if (access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Opens the video's path for writing without truncating it; a file made
// only for the check is removed again.
bool canWriteFile(const std::string &path) {
    bool existed = access(path.c_str(), F_OK) == 0;
    FILE *f = std::fopen(path.c_str(), "ab");
    if (!f) return false;
    std::fclose(f);
    if (!existed) std::remove(path.c_str());
    return true;
}

bool startVideo(CaptureSink &sink) {
    if (!onPath("ffmpeg")) {
        std::fprintf(stderr, "kaveld-capture: writing %s needs ffmpeg, which is not on the PATH\n", sink.out.c_str());
        return false;
    }
    if (!canWriteFile(sink.out)) {
        std::fprintf(stderr, "kaveld-capture: cannot write to %s: %s\n", sink.out.c_str(), std::strerror(errno));
        return false;
    }
    sink.tempDir = makeTemporaryFolder("kaveld-capture");
    if (sink.tempDir.empty()) {
        std::fprintf(stderr, "kaveld-capture: cannot make a temporary folder: %s\n", std::strerror(errno));
        return false;
    }
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", sink.width, sink.height);
    sink.encoder = startProgram({"ffmpeg",
                                 "-nostdin",
                                 "-loglevel",
                                 "error",
                                 "-y",
                                 "-f",
                                 "rawvideo",
                                 "-pix_fmt",
                                 "rgb24",
                                 "-s",
                                 size,
                                 "-r",
                                 std::to_string(sink.fps),
                                 "-i",
                                 "-",
                                 "-vf",
                                 "pad=ceil(iw/2)*2:ceil(ih/2)*2",
                                 "-c:v",
                                 "libx264",
                                 "-preset",
                                 "veryfast",
                                 "-crf",
                                 "18",
                                 "-pix_fmt",
                                 "yuv420p",
                                 sink.tempDir + "/video.mkv"},
                                &sink.video);
    if (sink.encoder < 0) std::fprintf(stderr, "kaveld-capture: cannot start ffmpeg: %s\n", std::strerror(errno));
    return sink.encoder >= 0 && sink.video;
}

// The encoded video and the sound into one file: muxed beside the path and
// renamed to it once whole, so that nothing unfinished is ever at the path.
bool muxVideo(const CaptureSink &sink) {
    std::string partial = sink.out + ".kaveld-" + std::to_string(getpid()) + ".partial";
    pid_t mux = startProgram(
        {"ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", sink.tempDir + "/video.mkv", "-i", audioPath(sink),
         "-c:v", "copy", "-c:a", "aac", "-b:a", "192k", "-f", endsWith(sink.out, ".mp4") ? "mp4" : "matroska", partial},
        nullptr);
    bool ok = waitProgram(mux) && rename(partial.c_str(), sink.out.c_str()) == 0;
    if (!ok) std::remove(partial.c_str());
    return ok;
}

}  // namespace

bool openSink(CaptureSink &sink, const CaptureOptions &options) {
    sink.out = options.out;
    sink.width = options.width;
    sink.height = options.height;
    sink.fps = options.fps;
    sink.pixels.resize((size_t)sink.width * sink.height * 3);
    sink.row.resize((size_t)sink.width * 3);
    if (options.out.empty()) return true;
    if (endsWith(options.out, ".mp4") || endsWith(options.out, ".mkv")) {
        sink.kind = CaptureSink::kVideo;
        if (!startVideo(sink)) return false;
    } else {
        sink.kind = CaptureSink::kDirectory;
        mkdir(options.out.c_str(), 0777);
        struct stat st;
        if (stat(options.out.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            std::fprintf(stderr, "kaveld-capture: cannot write to %s: not a directory I can make\n", sink.out.c_str());
            return false;
        }
    }
    sink.audio = std::fopen(audioPath(sink).c_str(), "wb");
    if (!sink.audio) {
        std::fprintf(stderr, "kaveld-capture: cannot write %s: %s\n", audioPath(sink).c_str(), std::strerror(errno));
        return false;
    }
    writeWavHeader(sink.audio, 0);
    return true;
}

bool writeFrame(CaptureSink &sink, const char *name) {
    if (sink.kind == CaptureSink::kNone) return true;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, sink.width, sink.height, GL_RGB, GL_UNSIGNED_BYTE, sink.pixels.data());
    size_t stride = (size_t)sink.width * 3;
    for (int y = 0; y < sink.height / 2; y++) {  // GL rows run bottom to top
        unsigned char *a = &sink.pixels[y * stride], *b = &sink.pixels[(sink.height - 1 - y) * stride];
        std::memcpy(sink.row.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, sink.row.data(), stride);
    }
    if (sink.kind == CaptureSink::kVideo)
        return std::fwrite(sink.pixels.data(), 1, sink.pixels.size(), sink.video) == sink.pixels.size();
    return writePng(sink.out + "/" + name, sink.pixels.data(), sink.width, sink.height);
}

void writeAudio(CaptureSink &sink, const float *samples, size_t frames) {
    if (!sink.audio) return;
    int16_t buffer[2048];
    for (size_t done = 0; done < frames * 2;) {
        size_t n = std::min(frames * 2 - done, sizeof buffer / sizeof buffer[0]);
        for (size_t i = 0; i < n; i++) {
            float v = std::max(-1.0f, std::min(1.0f, samples[done + i]));
            buffer[i] = (int16_t)(v * 32767.0f);
        }
        std::fwrite(buffer, 2, n, sink.audio);
        done += n;
    }
    sink.audioFrames += (long)frames;
}

bool finishSink(CaptureSink &sink) {
    bool ok = true;
    if (sink.audio) {
        std::fseek(sink.audio, 0, SEEK_SET);
        writeWavHeader(sink.audio, sink.audioFrames);
        ok = std::fclose(sink.audio) == 0;
        sink.audio = nullptr;
    }
    if (sink.kind == CaptureSink::kVideo && sink.video) {
        ok = std::fclose(sink.video) == 0 && ok;  // the encoder's input ends here
        sink.video = nullptr;
        ok = waitProgram(sink.encoder) && ok && muxVideo(sink);
        sink.encoder = -1;
        removeTemporaryFolder(sink.tempDir);
    }
    return ok;
}

void abandonSink(CaptureSink &sink) {
    if (sink.kind != CaptureSink::kVideo) {
        finishSink(sink);
        return;
    }
    if (sink.video) std::fclose(sink.video);
    if (sink.encoder > 0) kill(sink.encoder, SIGTERM);  // what it has encoded is dropped anyway
    waitProgram(sink.encoder);
    if (sink.audio) std::fclose(sink.audio);
    sink.video = sink.audio = nullptr;
    sink.encoder = -1;
    removeTemporaryFolder(sink.tempDir);
}
