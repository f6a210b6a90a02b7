#pragma once
// The output: an OpenAL Soft device with its context, or none for the silent device, where
// channels keep their state and timing but nothing is heard.

namespace bass {

class AudioDevice {
public:
    AudioDevice() = default;
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // The system's default output; false when none opens.
    bool OpenDefault();
    void OpenSilent() { m_open = true; }
    void Close();

    bool IsOpen() const { return m_open; }
    bool IsAudible() const { return m_context != nullptr; }

private:
    void* m_device = nullptr;
    void* m_context = nullptr;
    bool m_open = false;
};

// An OpenAL source that plays straight to the listener, unaffected by distance; 0 when silent.
unsigned CreatePlainSource(bool audible);
void DeleteSource(unsigned source);
void SetSourceVolume(unsigned source, int volume);

}  // namespace bass
