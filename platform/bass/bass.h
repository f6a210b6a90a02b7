#pragma once
// The BASS 2.x audio library as the engine uses it: samples with several simultaneous
// playbacks, looping streams from a file or a range of a file, per-channel volume 0 to 100 and
// valid/playing queries. Names, handle types and values keep BASS's own.

#include <cstdint>

#include "platform/win32/types.h"

using BOOL = int;
using QWORD = std::uint64_t;
using HSAMPLE = DWORD;
using HSTREAM = DWORD;
using HCHANNEL = DWORD;

constexpr DWORD BASS_SAMPLE_LOOP = 4;

// A user stream's procedure writes up to length bytes of 16-bit samples into buffer and
// returns how many it wrote, with BASS_STREAMPROC_END set once its data has ended.
using STREAMPROC = DWORD(HSTREAM handle, void* buffer, DWORD length, void* user);
constexpr DWORD BASS_STREAMPROC_END = 0x80000000;

// Results of BASS_ChannelIsActive.
constexpr DWORD BASS_ACTIVE_STOPPED = 0;
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_STALLED = 2;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

// Error codes of BASS_ErrorGetCode.
constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_MEM = 1;
constexpr int BASS_ERROR_FILEOPEN = 2;
constexpr int BASS_ERROR_DRIVER = 3;
constexpr int BASS_ERROR_HANDLE = 5;
constexpr int BASS_ERROR_FORMAT = 6;
constexpr int BASS_ERROR_INIT = 8;
constexpr int BASS_ERROR_ALREADY = 14;
constexpr int BASS_ERROR_ILLPARAM = 20;
constexpr int BASS_ERROR_DEVICE = 23;
constexpr int BASS_ERROR_FILEFORM = 41;
constexpr int BASS_ERROR_UNKNOWN = -1;

// Device -1 is the default output, device 0 the silent one that keeps every later call valid.
BOOL BASS_Init(int device, DWORD frequency, DWORD flags, HWND window, const void* classId);
BOOL BASS_Start();
BOOL BASS_Stop();
// Frees every sample, stream and channel and closes the device.
BOOL BASS_Free();
int BASS_ErrorGetCode();
// The open device: 0 for the silent one, 1 for the default output; -1 when none is open.
DWORD BASS_GetDevice();

// From memory: file points at the bytes, offset is ignored and length is their count. From a
// file: file is the path, and offset and length (0: up to the end) select a range of it.
HSAMPLE BASS_SampleLoad(BOOL memory, const void* file, QWORD offset, DWORD length, DWORD maxPlaybacks,
                        DWORD flags);
BOOL BASS_SampleFree(HSAMPLE sample);
// A channel of the sample; when all are busy the one playing longest is taken over, unless
// onlyNew is set.
HCHANNEL BASS_SampleGetChannel(HSAMPLE sample, BOOL onlyNew);

// The stream decodes on a thread of its own; BASS_SAMPLE_LOOP loops it without a gap.
HSTREAM BASS_StreamCreateFile(BOOL memory, const void* file, QWORD offset, QWORD length, DWORD flags);
// A stream of 1 or 2 channels whose samples the procedure supplies, called on the stream's
// thread. Playing it again with restart only drops what is buffered: it has no start to go
// back to.
HSTREAM BASS_StreamCreate(DWORD frequency, DWORD channels, DWORD flags, STREAMPROC* procedure, void* user);
// Once this returns, the stream's procedure is no longer called.
BOOL BASS_StreamFree(HSTREAM stream);

BOOL BASS_ChannelPlay(DWORD channel, BOOL restart);
BOOL BASS_ChannelStop(DWORD channel);
// frequency 0 means the original rate, -1 unchanged; volume 0 to 100 (-1 unchanged); pan -100
// to 100 (-101 unchanged).
BOOL BASS_ChannelSetAttributes(DWORD channel, int frequency, int volume, int pan);
BOOL BASS_ChannelGetAttributes(DWORD channel, DWORD* frequency, DWORD* volume, int* pan);
DWORD BASS_ChannelIsActive(DWORD channel);
