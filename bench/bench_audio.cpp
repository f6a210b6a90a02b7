// The audio feeding threads' CPU time while two music streams cross-fade, against decoding the
// same files with libsndfile alone (target: at most 1.2 times), and the longest game tick of
// the sound manager meanwhile (it must not wait on audio).
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/bass/bass.h"
#include "platform/bass/stream_statistics.h"
#include "platform/win32/files.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 44100;
constexpr double kFileSeconds = 4.0;
constexpr int kFadeTicks = 67;
constexpr auto kTick = std::chrono::microseconds(16667);

struct AudioFiles {
    fs::path folder;
    fs::path first;
    fs::path second;
};

// Two stereo Ogg Vorbis tunes, and OpenAL Soft writing to a file instead of a sound card.
const AudioFiles& Files() {
    static const AudioFiles files = [] {
        AudioFiles made;
        made.folder = fs::temp_directory_path() / ("zumbo-bench-audio-" + std::to_string(::getpid()));
        fs::create_directories(made.folder);
        made.first = made.folder / "first.ogg";
        made.second = made.folder / "second.ogg";
        const std::pair<fs::path, double> tunes[] = {{made.first, 440.0}, {made.second, 660.0}};
        for (const auto& [path, frequency] : tunes) {
            SF_INFO info{};
            info.samplerate = kRate;
            info.channels = 2;
            info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
            SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
            std::vector<double> frames(static_cast<std::size_t>(kFileSeconds * kRate) * 2);
            for (std::size_t i = 0; i < frames.size(); ++i) {
                frames[i] =
                    0.3 * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i / 2) / kRate);
            }
            sf_writef_double(file, frames.data(), static_cast<sf_count_t>(frames.size() / 2));
            sf_close(file);
        }
        const fs::path config = made.folder / "alsoft.conf";
        std::ofstream(config) << "drivers=wave\n[wave]\nfile=" << (made.folder / "out.wav").string() << "\n";
        setenv("ALSOFT_CONF", config.c_str(), 1);
        unsetenv("ZUMBO_HEADLESS");
        return made;
    }();
    return files;
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// CPU seconds to decode both files once with libsndfile alone.
double DecodeBoth() {
    const double start = ThreadCpuSeconds();
    std::vector<short> buffer(4096 * 2);
    for (const fs::path& path : {Files().first, Files().second}) {
        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        while (sf_readf_short(file, buffer.data(), 4096) > 0) {
        }
        sf_close(file);
    }
    return ThreadCpuSeconds() - start;
}

void BM_DecodeWithLibsndfileAlone(benchmark::State& state) {
    for (auto _ : state) {
        state.SetIterationTime(DecodeBoth());
    }
    state.counters["cpu_per_audio_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 2 * kFileSeconds,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeWithLibsndfileAlone)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CrossFadeTwoStreams(benchmark::State& state) {
    // The baseline, warm: the first decode also loads the codec.
    constexpr int kBaselineRuns = 5;
    DecodeBoth();
    double decodeSeconds = 0.0;
    for (int run = 0; run < kBaselineRuns; ++run) {
        decodeSeconds += DecodeBoth();
    }
    const double decodePerAudioSecond = decodeSeconds / (kBaselineRuns * 2 * kFileSeconds);
    double feedSeconds = 0.0;
    double playedSeconds = 0.0;
    double longestTick = 0.0;
    for (auto _ : state) {
        if (!BASS_Init(-1, kRate, 0, nullptr, nullptr)) {
            state.SkipWithError("no audio output");
            return;
        }
        const std::string first = win32::ToWindowsPath(Files().first);
        const std::string second = win32::ToWindowsPath(Files().second);
        const HSTREAM from = BASS_StreamCreateFile(0, first.c_str(), 0, 0, BASS_SAMPLE_LOOP);
        const HSTREAM to = BASS_StreamCreateFile(0, second.c_str(), 0, 0, BASS_SAMPLE_LOOP);
        BASS_ChannelPlay(from, 1);
        BASS_ChannelSetAttributes(to, 0, 0, -101);
        BASS_ChannelPlay(to, 1);
        const auto start = std::chrono::steady_clock::now();
        for (int tick = 1; tick <= kFadeTicks; ++tick) {
            const auto tickStart = std::chrono::steady_clock::now();
            const int volume = std::min(100, static_cast<int>(tick * 1.5));
            BASS_ChannelSetAttributes(from, 0, 100 - volume, -101);
            BASS_ChannelSetAttributes(to, 0, volume, -101);
            longestTick =
                std::max(longestTick,
                         std::chrono::duration<double>(std::chrono::steady_clock::now() - tickStart).count());
            std::this_thread::sleep_until(start + tick * kTick);
        }
        const double feed =
            std::chrono::duration<double>(bass::StreamFeedCpuTime(from) + bass::StreamFeedCpuTime(to))
                .count();
        state.SetIterationTime(feed);
        feedSeconds += feed;
        playedSeconds += 2 * std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        BASS_Free();
    }
    const double feedPerAudioSecond = feedSeconds / playedSeconds;
    state.counters["cpu_per_audio_second"] = feedPerAudioSecond;
    state.counters["ratio_to_libsndfile"] = feedPerAudioSecond / decodePerAudioSecond;
    state.counters["longest_tick_seconds"] = longestTick;
}
BENCHMARK(BM_CrossFadeTwoStreams)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
