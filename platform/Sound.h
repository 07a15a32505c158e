// The programs' three short sounds ("MOVE", "MATE", "CHAT"), played to their end before the caller goes on,
// as the windows' handlers expect. Output goes to ALSA's default device, opened non-blocking, so a busy or
// missing device leaves the program silent instead of stuck; a machine without a sound card does
// everything else.
#pragma once
#include <QByteArray>
#include <QString>
#include <memory>

// Decoded PCM of one sound: interleaved samples as the WAV resource holds them.
struct SoundClip {
    int SampleRate = 0;
    int Channels = 0;
    int BitsPerSample = 0; // 8 (unsigned) or 16 (signed, little-endian)
    QByteArray Pcm;
};

// Where sounds go. The ALSA device is the default; tests install one that records what was played.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // Whether any wave output device exists.
    virtual bool Exists() = 0;
    // Plays the clip to its end; on any error it returns at once, silently.
    virtual void Play(const QString& Name, const SoundClip& Clip) = 0;
};

namespace Sound {
// Whether the system has at least one wave output device.
bool HasOutputDevice();
// Plays the named sound from the resources (":/sounds/<Name>.wav") synchronously; silent on any error.
void Play(const QString& Name);
// ALSA output on a named PCM ("default" is the system's device; "null" swallows the samples).
std::unique_ptr<SoundDevice> AlsaOutput(const char* PcmName);
// Replaces the output device (tests); a null device restores ALSA.
void SetDevice(std::unique_ptr<SoundDevice> Device);
// Decodes a WAV resource; false when it is missing or not PCM.
bool LoadClip(const QString& Name, SoundClip& Clip);
// Decodes WAV bytes (8- or 16-bit PCM, mono or stereo); false for anything else, leaving Clip unchanged.
bool DecodeClip(const QByteArray& Wav, SoundClip& Clip);
} // namespace Sound
