#include "platform/bass/audio_device.h"

#include <AL/al.h>
#include <AL/alc.h>

namespace bass {

AudioDevice::~AudioDevice() {
    Close();
}

bool AudioDevice::OpenDefault() {
    ALCdevice* device = alcOpenDevice(nullptr);
    if (!device) {
        return false;
    }
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || !alcMakeContextCurrent(context)) {
        if (context) {
            alcDestroyContext(context);
        }
        alcCloseDevice(device);
        return false;
    }
    m_device = device;
    m_context = context;
    m_open = true;
    return true;
}

void AudioDevice::Close() {
    if (m_context) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(static_cast<ALCcontext*>(m_context));
        alcCloseDevice(static_cast<ALCdevice*>(m_device));
    }
    m_context = nullptr;
    m_device = nullptr;
    m_open = false;
}

unsigned CreatePlainSource(bool audible) {
    if (!audible) {
        return 0;
    }
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        return 0;
    }
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    return source;
}

void DeleteSource(unsigned source) {
    if (source != 0) {
        ALuint name = source;
        alSourceStop(name);
        alSourcei(name, AL_BUFFER, 0);
        alDeleteSources(1, &name);
    }
}

void SetSourceVolume(unsigned source, int volume) {
    if (source != 0) {
        alSourcef(source, AL_GAIN, static_cast<float>(volume) / 100.0f);
    }
}

}  // namespace bass
