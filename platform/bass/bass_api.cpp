// The BASS calls over one process-wide audio library state: the output device and the
// samples, channels and streams it hands out by handle. Every call takes the library's lock,
// so the feeding threads and the caller never race on the tables.

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/bass/audio_device.h"
#include "platform/bass/bass.h"
#include "platform/bass/music_stream.h"
#include "platform/bass/sample.h"
#include "platform/bass/sound_decoder.h"
#include "platform/bass/stream_statistics.h"
#include "platform/bass/user_stream_source.h"
#include "platform/win32/files.h"

namespace bass {

namespace {

constexpr int kDefaultDevice = -1;
constexpr int kSilentDevice = 0;
constexpr DWORD kOpenedDefaultDevice = 1;
// Rates OpenAL Soft resamples from without trouble.
constexpr DWORD kMinUserRate = 1000;
constexpr DWORD kMaxUserRate = 192000;

struct Library {
    std::mutex mutex;
    AudioDevice device;
    std::map<HSAMPLE, std::unique_ptr<Sample>> samples;
    std::map<HSTREAM, std::unique_ptr<MusicStream>> streams;
    DWORD lastHandle = 0;
    int error = BASS_OK;

    DWORD NewHandle() {
        ++lastHandle;
        if (lastHandle == 0) {
            lastHandle = 1;
        }
        return lastHandle;
    }

    BOOL Fail(int code) {
        error = code;
        return 0;
    }

    BOOL Succeed() {
        error = BASS_OK;
        return 1;
    }

    // The sample that currently owns a channel handle.
    Sample* SampleOfChannel(DWORD channel) {
        for (auto& [handle, sample] : samples) {
            if (sample->HasChannel(channel)) {
                return sample.get();
            }
        }
        return nullptr;
    }

    MusicStream* Stream(DWORD handle) {
        auto found = streams.find(handle);
        return found == streams.end() ? nullptr : found->second.get();
    }

    // A decoder for a sample or stream about to be created; null, with the error set, when the
    // device is not open or the data does not decode.
    std::unique_ptr<SoundDecoder> OpenForCreation(BOOL memory, const void* file, QWORD offset, QWORD length);

    HSTREAM AddStream(std::unique_ptr<PcmSource> source, HSTREAM handle, bool loop) {
        streams.emplace(handle, std::make_unique<MusicStream>(std::move(source), loop, device.IsAudible()));
        Succeed();
        return handle;
    }

    void ReleaseAll() {
        streams.clear();
        samples.clear();
    }
};

// The audio library is one per process, like the DLL it stands in for.
Library& TheLibrary() {
    static Library library;
    return library;
}

// Asked for by the environment, not by the window system: audio does not need a display.
bool HeadlessRun() {
    const char* value = std::getenv("ZUMBO_HEADLESS");
    return value && std::strcmp(value, "1") == 0;
}

// A decoder over the memory block, or over a range of the named file.
std::unique_ptr<SoundDecoder> OpenDecoder(BOOL memory, const void* file, QWORD offset, QWORD length) {
    if (!file) {
        return nullptr;
    }
    if (memory) {
        return SoundDecoder::Open(ByteSource::CopyOfMemory(file, static_cast<std::size_t>(length)));
    }
    const auto path = win32::ToHostPath(static_cast<const char*>(file));
    return SoundDecoder::Open(ByteSource::OpenFileRange(path, offset, length));
}

std::unique_ptr<SoundDecoder> Library::OpenForCreation(BOOL memory, const void* file, QWORD offset,
                                                       QWORD length) {
    if (!device.IsOpen()) {
        Fail(BASS_ERROR_INIT);
        return nullptr;
    }
    std::unique_ptr<SoundDecoder> decoder = OpenDecoder(memory, file, offset, length);
    if (!decoder) {
        Fail(BASS_ERROR_FILEFORM);
    }
    return decoder;
}

}  // namespace

std::chrono::nanoseconds StreamFeedCpuTime(HSTREAM stream) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    MusicStream* found = library.Stream(stream);
    return found ? found->FeedCpuTime() : std::chrono::nanoseconds{0};
}

}  // namespace bass

using bass::Library;
using bass::TheLibrary;

BOOL BASS_Init(int device, DWORD, DWORD, HWND, const void*) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (library.device.IsOpen()) {
        return library.Fail(BASS_ERROR_ALREADY);
    }
    if (device == bass::kSilentDevice) {
        library.device.OpenSilent();
        return library.Succeed();
    }
    // A headless run never opens an audio device.
    if (device != bass::kDefaultDevice || bass::HeadlessRun() || !library.device.OpenDefault()) {
        return library.Fail(BASS_ERROR_DEVICE);
    }
    return library.Succeed();
}

BOOL BASS_Start() {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    return library.device.IsOpen() ? library.Succeed() : library.Fail(BASS_ERROR_INIT);
}

BOOL BASS_Stop() {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (!library.device.IsOpen()) {
        return library.Fail(BASS_ERROR_INIT);
    }
    for (auto& [handle, stream] : library.streams) {
        stream->Stop();
    }
    for (auto& [handle, sample] : library.samples) {
        sample->StopAll();
    }
    return library.Succeed();
}

BOOL BASS_Free() {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (!library.device.IsOpen()) {
        return library.Fail(BASS_ERROR_INIT);
    }
    library.ReleaseAll();
    library.device.Close();
    return library.Succeed();
}

int BASS_ErrorGetCode() {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    return library.error;
}

DWORD BASS_GetDevice() {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (!library.device.IsOpen()) {
        library.Fail(BASS_ERROR_INIT);
        return static_cast<DWORD>(-1);
    }
    library.Succeed();
    return library.device.IsAudible() ? bass::kOpenedDefaultDevice : bass::kSilentDevice;
}

HSAMPLE BASS_SampleLoad(BOOL memory, const void* file, QWORD offset, DWORD length, DWORD maxPlaybacks,
                        DWORD) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (maxPlaybacks < 1) {
        return library.Fail(BASS_ERROR_ILLPARAM);
    }
    std::unique_ptr<bass::SoundDecoder> decoder = library.OpenForCreation(memory, file, offset, length);
    if (!decoder) {
        return 0;
    }
    auto sample = std::make_unique<bass::Sample>(*decoder, maxPlaybacks, library.device.IsAudible());
    if (!sample->IsLoaded()) {
        return library.Fail(BASS_ERROR_FILEFORM);
    }
    const HSAMPLE handle = library.NewHandle();
    library.samples.emplace(handle, std::move(sample));
    library.Succeed();
    return handle;
}

BOOL BASS_SampleFree(HSAMPLE sample) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    return library.samples.erase(sample) ? library.Succeed() : library.Fail(BASS_ERROR_HANDLE);
}

HCHANNEL BASS_SampleGetChannel(HSAMPLE sample, BOOL onlyNew) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    auto found = library.samples.find(sample);
    if (found == library.samples.end()) {
        return library.Fail(BASS_ERROR_HANDLE);
    }
    const HCHANNEL channel = found->second->TakeChannel(library.NewHandle(), onlyNew != 0);
    if (channel == 0) {
        return library.Fail(BASS_ERROR_MEM);
    }
    library.Succeed();
    return channel;
}

HSTREAM BASS_StreamCreateFile(BOOL memory, const void* file, QWORD offset, QWORD length, DWORD flags) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    std::unique_ptr<bass::SoundDecoder> decoder = library.OpenForCreation(memory, file, offset, length);
    if (!decoder) {
        return 0;
    }
    return library.AddStream(std::move(decoder), library.NewHandle(), (flags & BASS_SAMPLE_LOOP) != 0);
}

HSTREAM BASS_StreamCreate(DWORD frequency, DWORD channels, DWORD, STREAMPROC* procedure, void* user) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (!library.device.IsOpen()) {
        return library.Fail(BASS_ERROR_INIT);
    }
    if (!procedure || frequency < bass::kMinUserRate || frequency > bass::kMaxUserRate) {
        return library.Fail(BASS_ERROR_ILLPARAM);
    }
    if (channels != 1 && channels != 2) {
        return library.Fail(BASS_ERROR_FORMAT);
    }
    const HSTREAM handle = library.NewHandle();
    return library.AddStream(
        std::make_unique<bass::UserStreamSource>(handle, static_cast<int>(frequency),
                                                 static_cast<int>(channels), procedure, user),
        handle, false);
}

BOOL BASS_StreamFree(HSTREAM stream) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    return library.streams.erase(stream) ? library.Succeed() : library.Fail(BASS_ERROR_HANDLE);
}

BOOL BASS_ChannelPlay(DWORD channel, BOOL restart) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (bass::MusicStream* stream = library.Stream(channel)) {
        stream->Play(restart != 0);
        return library.Succeed();
    }
    bass::Sample* sample = library.SampleOfChannel(channel);
    return sample && sample->Play(channel, restart != 0) ? library.Succeed()
                                                         : library.Fail(BASS_ERROR_HANDLE);
}

BOOL BASS_ChannelStop(DWORD channel) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (bass::MusicStream* stream = library.Stream(channel)) {
        stream->Stop();
        return library.Succeed();
    }
    bass::Sample* sample = library.SampleOfChannel(channel);
    return sample && sample->Stop(channel) ? library.Succeed() : library.Fail(BASS_ERROR_HANDLE);
}

BOOL BASS_ChannelSetAttributes(DWORD channel, int, int volume, int) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (volume < -1 || volume > 100) {
        return library.Fail(BASS_ERROR_ILLPARAM);
    }
    bass::MusicStream* stream = library.Stream(channel);
    bass::Sample* sample = stream ? nullptr : library.SampleOfChannel(channel);
    if (!stream && !sample) {
        return library.Fail(BASS_ERROR_HANDLE);
    }
    if (volume >= 0) {
        stream ? stream->SetVolume(volume) : static_cast<void>(sample->SetVolume(channel, volume));
    }
    return library.Succeed();
}

BOOL BASS_ChannelGetAttributes(DWORD channel, DWORD* frequency, DWORD* volume, int* pan) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    bass::MusicStream* stream = library.Stream(channel);
    bass::Sample* sample = stream ? nullptr : library.SampleOfChannel(channel);
    if (!stream && !sample) {
        return library.Fail(BASS_ERROR_HANDLE);
    }
    if (frequency) {
        *frequency = static_cast<DWORD>(stream ? stream->Rate() : sample->Rate());
    }
    if (volume) {
        *volume = static_cast<DWORD>(stream ? stream->Volume() : sample->Volume(channel));
    }
    if (pan) {
        *pan = 0;
    }
    return library.Succeed();
}

DWORD BASS_ChannelIsActive(DWORD channel) {
    Library& library = TheLibrary();
    std::lock_guard lock(library.mutex);
    if (bass::MusicStream* stream = library.Stream(channel)) {
        return stream->IsPlaying() ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
    }
    bass::Sample* sample = library.SampleOfChannel(channel);
    return sample && sample->IsPlaying(channel) ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
}
