// Sounds: the embedded clips in their documented formats, what reaches the output device, and WAV bytes
// that are not what they claim.
#include "Sound.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct Played {
    QString Name;
    SoundClip Clip;
};

class RecordingDevice : public SoundDevice {
public:
    RecordingDevice(bool exists, std::vector<Played>& log) : DeviceExists(exists), Log(log) {}
    bool Exists() override { return DeviceExists; }
    void Play(const QString& Name, const SoundClip& Clip) override { Log.push_back({Name, Clip}); }

    bool DeviceExists;
    std::vector<Played>& Log;
};

class SoundOutput : public ::testing::Test {
protected:
    void Install(bool exists) { Sound::SetDevice(std::make_unique<RecordingDevice>(exists, played)); }
    void TearDown() override { Sound::SetDevice(nullptr); }

    std::vector<Played> played;
};

double DurationMs(const SoundClip& c) {
    const int frameBytes = c.Channels * c.BitsPerSample / 8;
    return 1000.0 * static_cast<double>(c.Pcm.size() / frameBytes) / c.SampleRate;
}

// Samples scaled to -1..1, whatever the width.
std::vector<double> Samples(const SoundClip& c) {
    std::vector<double> s;
    if (c.BitsPerSample == 8) {
        for (char b : c.Pcm) s.push_back((static_cast<unsigned char>(b) - 128) / 128.0);
    } else {
        for (qsizetype i = 0; i + 1 < c.Pcm.size(); i += 2)
            s.push_back(qFromLittleEndian<qint16>(c.Pcm.constData() + i) / 32768.0);
    }
    return s;
}

// A RIFF/WAVE file: format tag, channels, rate, bits, then the data chunk as given.
QByteArray Wav(quint16 formatTag, quint16 channels, quint32 rate, quint16 bits, const QByteArray& data,
               quint32 claimedDataSize = 0) {
    auto u16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    auto u32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    const quint32 dataSize = claimedDataSize ? claimedDataSize : static_cast<quint32>(data.size());
    const quint16 block = static_cast<quint16>(channels * bits / 8);
    QByteArray w = "RIFF" + u32(36 + dataSize) + "WAVEfmt " + u32(16) + u16(formatTag) + u16(channels) +
                   u32(rate) + u32(rate * block) + u16(block) + u16(bits) + "data" + u32(dataSize);
    return w + data;
}

} // namespace

TEST(SoundClips, ComeInTheirDocumentedFormatsAndLengths) {
    struct Expected {
        const char* Name;
        int Bits;
        double Ms;
    };
    for (const Expected& e :
         {Expected{"MOVE", 16, 260}, Expected{"MATE", 8, 540}, Expected{"CHAT", 8, 100}}) {
        SoundClip clip;
        ASSERT_TRUE(Sound::LoadClip(QString::fromLatin1(e.Name), clip)) << e.Name;
        EXPECT_EQ(clip.Channels, 1) << e.Name;
        EXPECT_EQ(clip.BitsPerSample, e.Bits) << e.Name;
        EXPECT_EQ(clip.SampleRate, 22050) << e.Name;
        EXPECT_NEAR(DurationMs(clip), e.Ms, 10) << e.Name;
    }
}

TEST(SoundClips, StartAndEndQuietlyAndNeverClip) {
    for (const char* name : {"MOVE", "MATE", "CHAT"}) {
        SoundClip clip;
        ASSERT_TRUE(Sound::LoadClip(QString::fromLatin1(name), clip));
        const std::vector<double> s = Samples(clip);
        ASSERT_GT(s.size(), 100u);
        double peak = 0;
        for (double v : s) peak = std::max(peak, std::abs(v));
        EXPECT_GT(peak, 0.3) << name << " is too quiet to hear";
        EXPECT_LT(peak, 0.95) << name << " reaches full scale";
        EXPECT_LT(std::abs(s.front()), 0.02) << name << " starts with a click";
        EXPECT_LT(std::abs(s.back()), 0.02) << name << " stops with a click";
    }
}

TEST(SoundClips, AnUnknownNameLoadsNothing) {
    SoundClip clip;
    EXPECT_FALSE(Sound::LoadClip(QStringLiteral("BEEP"), clip));
    EXPECT_FALSE(Sound::LoadClip(QStringLiteral("../sounds/MOVE"), clip));
    EXPECT_TRUE(clip.Pcm.isEmpty());
}

TEST_F(SoundOutput, PlayHandsTheNamedClipToTheDevice) {
    Install(true);
    Sound::Play(QStringLiteral("MATE"));
    Sound::Play(QStringLiteral("MOVE"));
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0].Name, QStringLiteral("MATE"));
    EXPECT_EQ(played[1].Name, QStringLiteral("MOVE"));
    SoundClip mate;
    ASSERT_TRUE(Sound::LoadClip(QStringLiteral("MATE"), mate));
    EXPECT_EQ(played[0].Clip.Pcm, mate.Pcm);
    EXPECT_EQ(played[1].Clip.BitsPerSample, 16);
}

TEST_F(SoundOutput, AnUnknownSoundReachesNoDevice) {
    Install(true);
    Sound::Play(QStringLiteral("BEEP"));
    Sound::Play(QString());
    EXPECT_TRUE(played.empty());
}

TEST_F(SoundOutput, TheDeviceAnswersWhetherOneExists) {
    Install(false);
    EXPECT_FALSE(Sound::HasOutputDevice());
    Install(true);
    EXPECT_TRUE(Sound::HasOutputDevice());
}

// Whatever this machine has (often no card at all), the system device answers and returns; with no device
// or a busy one the sound is skipped instead of holding the caller.
TEST_F(SoundOutput, TheSystemDeviceNeverHangsOrFails) {
    Sound::SetDevice(nullptr);
    const bool exists = Sound::HasOutputDevice();
    if (exists) std::printf("An output device exists: the three sounds are played now.\n");
    for (const char* name : {"CHAT", "MOVE", "MATE"}) Sound::Play(QString::fromLatin1(name));
    EXPECT_EQ(Sound::HasOutputDevice(), exists);
}

TEST(WavDecoding, KeepsEightAndSixteenBitSamplesExactly) {
    const QByteArray u8("\x00\x01\x7F\x80\x81\xFE\xFF", 7);
    SoundClip clip;
    ASSERT_TRUE(Sound::DecodeClip(Wav(1, 1, 11025, 8, u8), clip));
    EXPECT_EQ(clip.BitsPerSample, 8);
    EXPECT_EQ(clip.SampleRate, 11025);
    EXPECT_EQ(clip.Pcm, u8);

    const QByteArray s16("\x00\x80\xFF\xFF\x00\x00\x01\x00\xFF\x7F\x34\x12", 12);
    ASSERT_TRUE(Sound::DecodeClip(Wav(1, 2, 44100, 16, s16), clip));
    EXPECT_EQ(clip.BitsPerSample, 16);
    EXPECT_EQ(clip.Channels, 2);
    EXPECT_EQ(clip.Pcm, s16);
}

TEST(WavDecoding, RefusesWhatIsNotEightOrSixteenBitPcm) {
    SoundClip clip;
    clip.SampleRate = 1234;
    EXPECT_FALSE(Sound::DecodeClip(QByteArray(), clip));
    EXPECT_FALSE(Sound::DecodeClip(QByteArray("RIFF"), clip));
    EXPECT_FALSE(Sound::DecodeClip(QByteArray(4096, '\xA5'), clip));
    const QByteArray floats(64, '\0');
    EXPECT_FALSE(Sound::DecodeClip(Wav(3, 1, 22050, 32, floats), clip)) << "float samples";
    EXPECT_FALSE(Sound::DecodeClip(Wav(1, 1, 22050, 24, QByteArray(60, '\0')), clip)) << "24-bit samples";
    EXPECT_FALSE(Sound::DecodeClip(Wav(1, 6, 22050, 16, QByteArray(120, '\0')), clip)) << "six channels";
    EXPECT_FALSE(Sound::DecodeClip(Wav(1, 1, 22050, 16, QByteArray()), clip)) << "no samples";
    EXPECT_EQ(clip.SampleRate, 1234) << "a refused clip leaves the old one";
}

TEST(WavDecoding, ReadsOnlyTheSamplesThatAreReallyThere) {
    // The header claims a megabyte; the file holds 100 samples.
    SoundClip clip;
    const QByteArray wav = Wav(1, 1, 22050, 16, QByteArray(200, '\x01'), 1 << 20);
    if (Sound::DecodeClip(wav, clip)) {
        EXPECT_LE(clip.Pcm.size(), 200);
    }

    SoundClip cut;
    SoundClip move;
    ASSERT_TRUE(Sound::LoadClip(QStringLiteral("MOVE"), move));
    QByteArray full = Wav(1, 1, 22050, 16, move.Pcm);
    full.truncate(full.size() / 2);
    if (Sound::DecodeClip(full, cut)) {
        EXPECT_LT(cut.Pcm.size(), move.Pcm.size());
    }
}

// ALSA's null device takes samples like a real one, without a sound card: the whole write-and-wait path
// runs and returns, for both sample widths.
TEST(AlsaOutput, PlaysEveryClipThroughToTheEndOnTheNullDevice) {
    const std::unique_ptr<SoundDevice> device = Sound::AlsaOutput("null");
    for (const char* name : {"MOVE", "MATE", "CHAT"}) {
        SoundClip clip;
        ASSERT_TRUE(Sound::LoadClip(QString::fromLatin1(name), clip));
        device->Play(QString::fromLatin1(name), clip);
    }
    SoundClip broken;
    broken.SampleRate = 22050;
    broken.Channels = 1;
    broken.BitsPerSample = 16;
    broken.Pcm = QByteArray(3, '\0'); // not even two whole frames
    device->Play(QStringLiteral("broken"), broken);
    device->Play(QStringLiteral("empty"), SoundClip{});
}

TEST(AlsaOutput, AMissingDeviceIsSilentlySkipped) {
    const std::unique_ptr<SoundDevice> device = Sound::AlsaOutput("no_such_device");
    SoundClip clip;
    ASSERT_TRUE(Sound::LoadClip(QStringLiteral("CHAT"), clip));
    device->Play(QStringLiteral("CHAT"), clip);
}
