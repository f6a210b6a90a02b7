#include "sound/sound_manager.h"

#include <algorithm>
#include <cmath>

#include "app/debug_log.h"
#include "engine/global_options.h"
#include "engine/messages_broker.h"
#include "resource/group_file.h"
#include "resource/name_atom.h"
#include "resource/paths.h"
#include "resource/xml.h"
#include "resource/xml_cache.h"

namespace {

constexpr float kFadeStep = 1.5f;
constexpr DWORD kMaxSimultaneousPlaybacks = 10;
constexpr DWORD kFrequency = 44100;
constexpr int kDefaultDevice = -1;
constexpr int kNoSoundDevice = 0;
constexpr int kUnchangedFrequency = -1;
constexpr int kOriginalFrequency = 0;
constexpr int kUnchangedPan = -101;

}  // namespace

std::vector<std::string> CSoundManager::SplitNames(std::string_view text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of(",;", start), text.size());
        if (end > start) {
            parts.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

namespace {

bool ParseSwitchMode(std::string_view text, eMusicSwitch& mode) {
    constexpr std::pair<std::string_view, eMusicSwitch> kModes[] = {
        {"Instant", kMusicSwitchInstant},
        {"ThroughSilence", kMusicSwitchThroughSilence},
        {"CrossFade", kMusicSwitchCrossFade}};
    for (const auto& [name, value] : kModes) {
        if (EqualsIgnoringCase(text, name)) {
            mode = value;
            return true;
        }
    }
    return false;
}

}  // namespace

CSoundManager::CSoundManager() : CSoundManager(GetProgramFolder()) {}

CSoundManager::CSoundManager(std::string dataFolder) : m_dataFolder(std::move(dataFolder)) {
    ReadCatalogue();
}

CSoundManager::~CSoundManager() {
    FreeSlot(m_slotA);
    FreeSlot(m_slotB);
    BASS_Stop();
    BASS_Free();
    m_catalogue.clear();
}

int CSoundManager::EffectiveMusicVolume() {
    const CGlobalOptions& options = CGlobalOptions::Instance();
    return options.bMute || options.bInactive ? 0 : options.iMusicVolume;
}

int CSoundManager::EffectiveSoundVolume() {
    const CGlobalOptions& options = CGlobalOptions::Instance();
    return options.bMute || options.bInactive ? 0 : options.iSoundVolume;
}

void CSoundManager::ReadCatalogue() {
    const enXml* root = XmlCache::Instance().Load(m_dataFolder + "\\Sound\\AllSounds.xml");
    if (!root) {
        return;
    }
    CDebugLog& log = CDebugLog::Instance();
    if (!root->GetName()->Matches(*InternName("AllSounds"))) {
        log.LogLevel(1, "Warning: AllSounds.xml was not loaded -- root must be named\"AllSounds\".");
        return;
    }
    for (const enXml* element = root->FirstChild(); element; element = element->NextSibling()) {
        if (!element->GetName()->Matches(*InternName("Sound"))) {
            log.LogLevel(1, "Warning: AllSounds.xml\\AllSounds contains wrong tag: \"%s\".",
                         element->GetName()->Text().c_str());
            continue;
        }
        tSoundEntry entry;
        if (!element->GetAttributeString("Name", entry.name)) {
            log.LogLevel(1, "Warning: AllSounds.xml\\AllSounds\\Sound has no \"Name\" attribute.");
            continue;
        }
        if (!element->GetAttributeString("FileName", entry.fileName)) {
            log.LogLevel(1, "Warning: AllSounds.xml\\AllSounds\\Sound has no \"FileName\" attribute.");
            continue;
        }
        if (FindEntry(entry.name)) {
            log.LogLevel(
                1,
                "Warning: AllSounds.xml\\AllSounds\\Sound has duplicated \"Name\" attribute -- skipping "
                "(using first one).");
            continue;
        }
        m_catalogue.push_back(std::move(entry));
    }
}

CSoundManager::tSoundEntry* CSoundManager::FindEntry(std::string_view name) {
    auto found = std::find_if(m_catalogue.begin(), m_catalogue.end(), [name](const tSoundEntry& entry) {
        return EqualsIgnoringCase(entry.name, name);
    });
    return found == m_catalogue.end() ? nullptr : &*found;
}

void CSoundManager::Init(HWND window) {
    if (!BASS_Init(kDefaultDevice, kFrequency, 0, window, nullptr)) {
        BASS_Init(kNoSoundDevice, kFrequency, 0, window, nullptr);
    }
    BASS_Start();
    if (m_slotA.stream) {
        ApplyMusicVolume();
    }
}

void CSoundManager::LoadSample(tSoundEntry& entry) {
    CDebugLog& log = CDebugLog::Instance();
    const std::string path = m_dataFolder + "\\Sound\\" + entry.fileName;
    if (FileExists(path)) {
        entry.sample = BASS_SampleLoad(0, path.c_str(), 0, 0, kMaxSimultaneousPlaybacks, 0);
        if (entry.sample) {
            log.LogLevel(3, "Created Sound Sample from generic file: %s", path.c_str());
            return;
        }
    }
    std::vector<std::uint8_t> bytes;
    if (CGroupFile::Instance().ReadFile(path, bytes) && !bytes.empty()) {
        entry.sample = BASS_SampleLoad(1, bytes.data(), 0, static_cast<DWORD>(bytes.size()),
                                       kMaxSimultaneousPlaybacks, 0);
        if (entry.sample) {
            log.LogLevel(3, "Created Sound Sample from grouped file: %s", path.c_str());
            return;
        }
    }
    // Tried again at the next request, but reported only once.
    if (!entry.failureLogged) {
        log.LogLevel(1, "Failed to load Sound Sample from file: %s", path.c_str());
        entry.failureLogged = true;
    }
}

HSAMPLE CSoundManager::FindSample(std::string_view name) {
    tSoundEntry* entry = FindEntry(name);
    if (!entry) {
        return 0;
    }
    if (!entry->sample) {
        LoadSample(*entry);
    }
    return entry->sample;
}

HCHANNEL CSoundManager::PlaySound(std::string_view name) {
    const HSAMPLE sample = FindSample(name);
    return sample ? PlaySample(sample) : 0;
}

void CSoundManager::PlaySounds(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        PlaySound(name);
    }
}

HCHANNEL CSoundManager::PlaySample(HSAMPLE sample) {
    const HCHANNEL channel = BASS_SampleGetChannel(sample, 0);
    BASS_ChannelSetAttributes(channel, kUnchangedFrequency, EffectiveSoundVolume(), kUnchangedPan);
    BASS_ChannelPlay(channel, 0);
    return channel;
}

bool CSoundManager::IsChannelValid(HCHANNEL channel) const {
    DWORD frequency = 0;
    DWORD volume = 0;
    int pan = 0;
    return channel != 0 && BASS_ChannelGetAttributes(channel, &frequency, &volume, &pan);
}

bool CSoundManager::IsChannelPlaying(HCHANNEL channel) const {
    return BASS_ChannelIsActive(channel) == BASS_ACTIVE_PLAYING;
}

HSTREAM CSoundManager::CreateMusicStream(const std::string& path) {
    CDebugLog& log = CDebugLog::Instance();
    if (FileExists(path)) {
        if (const HSTREAM stream = BASS_StreamCreateFile(0, path.c_str(), 0, 0, BASS_SAMPLE_LOOP)) {
            log.LogLevel(3, "Created Music Stream from generic file: %s", path.c_str());
            return stream;
        }
    }
    const CGroupFile& group = CGroupFile::Instance();
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    // An empty entry would mean "to the end of the archive".
    if (group.IsOpen() && group.LocateFile(path, offset, size) && size > 0) {
        if (const HSTREAM stream =
                BASS_StreamCreateFile(0, group.Path().c_str(), offset, size, BASS_SAMPLE_LOOP)) {
            log.LogLevel(3, "Created Music Stream from grouped file: %s", path.c_str());
            return stream;
        }
    }
    log.LogLevel(2, "Failed to create music stream by file %s", path.c_str());
    return 0;
}

void CSoundManager::FreeSlot(tMusicSlot& slot) {
    if (slot.stream) {
        BASS_StreamFree(slot.stream);
    }
    slot = tMusicSlot{};
}

void CSoundManager::FadeOutSlotA() {
    m_slotA.targetVolume = 0.0f;
    m_slotA.step = -kFadeStep;
    m_slotA.freeWhenReached = true;
}

bool CSoundManager::StartMusic(std::string_view fileName, eMusicSwitch mode) {
    if (fileName.empty()) {
        CDebugLog::Instance().LogLevel(
            3, "Warning! Tried to creat Music Stream using empty filename. Skipping.");
        return true;
    }
    const HSTREAM stream = CreateMusicStream(m_dataFolder + "\\Music\\" + std::string(fileName));
    if (!stream) {
        return false;
    }
    if (m_slotB.stream) {
        // A switch still in progress: its fading-out stream goes at once.
        FreeSlot(m_slotA);
        m_slotA = m_slotB;
        m_slotB = tMusicSlot{};
    }
    const bool intoSlotA = m_slotA.stream == 0;
    tMusicSlot& slot = intoSlotA ? m_slotA : m_slotB;
    const float volume = static_cast<float>(EffectiveMusicVolume());
    if (mode == kMusicSwitchInstant) {
        FreeSlot(m_slotA);
        m_slotA.stream = stream;
        m_slotA.currentVolume = volume;
        m_slotA.targetVolume = volume;
        // Without this the first tick would sound at full volume even while muted.
        ApplySlotVolume(m_slotA);
        BASS_ChannelPlay(stream, 1);
        return true;
    }
    slot = tMusicSlot{};
    slot.stream = stream;
    slot.currentVolume = 0.0f;
    slot.targetVolume = volume;
    slot.step = kFadeStep;
    slot.startWhenSilent = mode == kMusicSwitchThroughSilence;
    if (mode == kMusicSwitchCrossFade || intoSlotA) {
        BASS_ChannelSetAttributes(stream, kOriginalFrequency, 0, kUnchangedPan);
        BASS_ChannelPlay(stream, 1);
    }
    if (!intoSlotA) {
        FadeOutSlotA();
    }
    return true;
}

void CSoundManager::ApplySlotVolume(const tMusicSlot& slot) {
    const CGlobalOptions& options = CGlobalOptions::Instance();
    const int volume = options.bMute || options.bInactive ? 0 : static_cast<int>(slot.currentVolume);
    BASS_ChannelSetAttributes(slot.stream, kOriginalFrequency, std::clamp(volume, 0, 100), kUnchangedPan);
}

void CSoundManager::ApplyMusicVolume() {
    m_slotA.currentVolume = static_cast<float>(EffectiveMusicVolume());
    if (m_slotA.stream) {
        ApplySlotVolume(m_slotA);
    }
}

bool CSoundManager::FadeSlot(tMusicSlot& slot) {
    bool freed = false;
    if (std::fabs(slot.step) > std::fabs(slot.currentVolume - slot.targetVolume)) {
        slot.currentVolume = slot.targetVolume;
        slot.step = 0.0f;
        if (slot.freeWhenReached) {
            BASS_StreamFree(slot.stream);
            slot.stream = 0;
            freed = true;
        }
    } else {
        slot.currentVolume += slot.step;
    }
    if (slot.stream) {
        ApplySlotVolume(slot);
    }
    return freed;
}

void CSoundManager::FadeSlots() {
    if (!m_slotA.stream) {
        return;
    }
    if (FadeSlot(m_slotA)) {
        m_slotA = m_slotB;
        m_slotB = tMusicSlot{};
        if (m_slotA.stream && m_slotA.startWhenSilent) {
            BASS_ChannelPlay(m_slotA.stream, 1);
        }
        FadeSlot(m_slotA);
    } else if (m_slotB.stream && !m_slotB.startWhenSilent) {
        FadeSlot(m_slotB);
    }
}

void CSoundManager::HandleMusicStart(const std::string& argument) {
    CDebugLog& log = CDebugLog::Instance();
    const std::vector<std::string> parts = SplitNames(argument);
    if (parts.size() != 2) {
        log.LogLevel(2, "MusicStart message takes two arguments only: path and switch type. Got %i.",
                     static_cast<int>(parts.size()));
        return;
    }
    eMusicSwitch mode = kMusicSwitchInstant;
    if (!ParseSwitchMode(parts[1], mode)) {
        log.LogLevel(2,
                     "Unknown MusicStart message argument \"%s\". You can use Instant, ThroughSilence or "
                     "CrossFade only.",
                     parts[1].c_str());
        return;
    }
    StartMusic(parts[0], mode);
}

void CSoundManager::StopMusic() {
    FreeSlot(m_slotA);
    FreeSlot(m_slotB);
}

void CSoundManager::Tick() {
    FadeSlots();
    for (const tMessage& message : CMessagesBroker::Instance().GetCurrentMessages()) {
        if (message.code == kMessageMusicStart) {
            HandleMusicStart(message.argument);
        } else if (message.code == kMessageMusicStop) {
            StopMusic();
        }
    }
}
