#pragma once
// The program's single audio object: a catalogue of named sound samples, played at the sound
// volume, and two looping music slots that switch instantly, through silence or by a
// cross-fade, fading once per game tick.

#include <string>
#include <string_view>
#include <vector>

#include "engine/singleton.h"
#include "platform/bass/bass.h"

enum eMusicSwitch : int {
    kMusicSwitchInstant = 0,
    kMusicSwitchThroughSilence = 1,
    kMusicSwitchCrossFade = 2,
};

class CSoundManager : public tmSingleton<CSoundManager> {
public:
    // Reads the catalogue "\Sound\AllSounds.xml" below the program folder.
    CSoundManager();
    // The same below another data folder (with its trailing backslash).
    explicit CSoundManager(std::string dataFolder);
    ~CSoundManager();
    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    // Opens the default audio device, or the silent one when that fails.
    void Init(HWND window);

    // The sample of the first catalogue entry with the name (any case), loaded on first use;
    // 0 when no entry has the name or the file cannot be loaded.
    HSAMPLE FindSample(std::string_view name);
    // 0 when the name is unknown or the sample does not load.
    HCHANNEL PlaySound(std::string_view name);
    // Plays every named sound once, in order; unknown names are skipped.
    void PlaySounds(const std::vector<std::string>& names);
    HCHANNEL PlaySample(HSAMPLE sample);
    bool IsChannelValid(HCHANNEL channel) const;
    bool IsChannelPlaying(HCHANNEL channel) const;

    // fileName is relative to "\Music\" below the program folder; false when no stream could
    // be created (the music playing stays).
    bool StartMusic(std::string_view fileName, eMusicSwitch mode);
    // Slot A takes the effective music volume at once (window activation, options).
    void ApplyMusicVolume();
    // Once per game tick: the fades, then the "MusicStart" and "MusicStop" messages.
    void Tick();

    // The stream in music slot A (the main one) or B (the one being switched to); 0 when empty.
    HSTREAM SlotStream(bool slotB) const { return slotB ? m_slotB.stream : m_slotA.stream; }

    // 0 while muted or inactive, else the options' music or sound volume.
    static int EffectiveMusicVolume();
    static int EffectiveSoundVolume();
    // Splits at every "," and ";", dropping empty parts; the parts are not trimmed.
    static std::vector<std::string> SplitNames(std::string_view text);

private:
    struct tSoundEntry {
        std::string name;
        std::string fileName;
        HSAMPLE sample = 0;
        bool failureLogged = false;  // a file that does not load is reported once
    };

    struct tMusicSlot {
        HSTREAM stream = 0;
        float currentVolume = 100.0f;
        float targetVolume = 100.0f;
        float step = 0.0f;
        bool freeWhenReached = false;
        bool startWhenSilent = false;
    };

    void ReadCatalogue();
    tSoundEntry* FindEntry(std::string_view name);
    void LoadSample(tSoundEntry& entry);
    HSTREAM CreateMusicStream(const std::string& path);
    // True when the fade reached its target and freed the stream.
    bool FadeSlot(tMusicSlot& slot);
    void FadeSlots();
    static void ApplySlotVolume(const tMusicSlot& slot);
    static void FreeSlot(tMusicSlot& slot);
    void FadeOutSlotA();
    void HandleMusicStart(const std::string& argument);
    void StopMusic();

    std::string m_dataFolder;
    std::vector<tSoundEntry> m_catalogue;
    tMusicSlot m_slotA;
    tMusicSlot m_slotB;
};
