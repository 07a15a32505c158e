// Sound output: WAV resources decoded with libsndfile, played on ALSA's default device.
#include "Sound.h"

#include <QFile>

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// The resources live in this static library; registering them here means every program that plays a
// sound has them, whatever it links.
static void RegisterSoundResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(sounds);
        return true;
    }();
    (void)registered;
}

namespace {

// ALSA and libsndfile (with the codec libraries it links) are loaded with the first sound instead of at
// program start, where mapping them would hold up the window's first paint. Without them the programs are
// silent, as on a machine without a sound card.
class SoundLibraries {
public:
    decltype(&snd_lib_error_set_handler) ErrorSetHandler = nullptr;
    decltype(&snd_card_next) CardNext = nullptr;
    decltype(&snd_pcm_open) PcmOpen = nullptr;
    decltype(&snd_pcm_set_params) PcmSetParams = nullptr;
    decltype(&snd_pcm_close) PcmClose = nullptr;
    decltype(&snd_pcm_writei) PcmWritei = nullptr;
    decltype(&snd_pcm_wait) PcmWait = nullptr;
    decltype(&snd_pcm_recover) PcmRecover = nullptr;
    decltype(&snd_pcm_state) PcmState = nullptr;
    decltype(&snd_pcm_start) PcmStart = nullptr;
    decltype(&snd_pcm_delay) PcmDelay = nullptr;
    decltype(&sf_open_virtual) OpenVirtual = nullptr;
    decltype(&sf_readf_short) ReadfShort = nullptr;
    decltype(&sf_close) Close = nullptr;
    bool Alsa = false;    // every ALSA function above was found
    bool Sndfile = false; // every libsndfile function above was found

    static const SoundLibraries& Get() {
        static const SoundLibraries libraries;
        return libraries;
    }

private:
    SoundLibraries() {
        if (void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL)) {
            Alsa = Find(alsa, "snd_lib_error_set_handler", ErrorSetHandler) &&
                   Find(alsa, "snd_card_next", CardNext) && Find(alsa, "snd_pcm_open", PcmOpen) &&
                   Find(alsa, "snd_pcm_set_params", PcmSetParams) && Find(alsa, "snd_pcm_close", PcmClose) &&
                   Find(alsa, "snd_pcm_writei", PcmWritei) && Find(alsa, "snd_pcm_wait", PcmWait) &&
                   Find(alsa, "snd_pcm_recover", PcmRecover) && Find(alsa, "snd_pcm_state", PcmState) &&
                   Find(alsa, "snd_pcm_start", PcmStart) && Find(alsa, "snd_pcm_delay", PcmDelay);
        }
        if (void* sndfile = dlopen("libsndfile.so.1", RTLD_NOW | RTLD_LOCAL)) {
            Sndfile = Find(sndfile, "sf_open_virtual", OpenVirtual) &&
                      Find(sndfile, "sf_readf_short", ReadfShort) && Find(sndfile, "sf_close", Close);
        }
    }

    template <typename Function> static bool Find(void* Library, const char* Name, Function& Result) {
        Result = reinterpret_cast<Function>(dlsym(Library, Name));
        return Result != nullptr;
    }
};

// The three sounds are well under a second; anything far longer is not one of ours.
constexpr sf_count_t MaxFrames = 10 * 48000;

// libsndfile reads the WAV bytes from memory through these callbacks.
struct MemoryFile {
    const QByteArray& Bytes;
    sf_count_t Offset = 0;
};

sf_count_t MemLength(void* user) {
    return static_cast<MemoryFile*>(user)->Bytes.size();
}

sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t size = f->Bytes.size();
    sf_count_t target = offset;
    if (whence == SEEK_CUR) target = f->Offset + offset;
    if (whence == SEEK_END) target = size + offset;
    if (target < 0 || target > size) return -1;
    f->Offset = target;
    return f->Offset;
}

sf_count_t MemRead(void* ptr, sf_count_t count, void* user) {
    auto* f = static_cast<MemoryFile*>(user);
    const sf_count_t n =
        std::clamp<sf_count_t>(f->Bytes.size() - f->Offset, 0, std::max<sf_count_t>(count, 0));
    std::memcpy(ptr, f->Bytes.constData() + f->Offset, static_cast<std::size_t>(n));
    f->Offset += n;
    return n;
}

sf_count_t MemWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t MemTell(void* user) {
    return static_cast<MemoryFile*>(user)->Offset;
}

// ALSA reports every failure on standard error as well; a missing or busy device is normal here.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

class AlsaDevice : public SoundDevice {
public:
    explicit AlsaDevice(std::string pcmName) : PcmName(std::move(pcmName)) {}

    bool Exists() override {
        const SoundLibraries& alsa = Libraries();
        int card = -1;
        return alsa.Alsa && alsa.CardNext(&card) == 0 && card >= 0;
    }

    void Play(const QString&, const SoundClip& Clip) override {
        const int frameBytes = Clip.Channels * Clip.BitsPerSample / 8;
        if (Clip.SampleRate <= 0 || frameBytes <= 0) return;
        const SoundLibraries& alsa = Libraries();
        if (!alsa.Alsa) return;
        snd_pcm_t* pcm = nullptr;
        // Non-blocking: a device that another program holds makes the open fail at once instead of waiting.
        if (alsa.PcmOpen(&pcm, PcmName.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return;
        const snd_pcm_format_t format = Clip.BitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
        if (alsa.PcmSetParams(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED,
                              static_cast<unsigned>(Clip.Channels), static_cast<unsigned>(Clip.SampleRate), 1,
                              100000) == 0)
            WriteAndWait(pcm, Clip, frameBytes);
        alsa.PcmClose(pcm);
    }

private:
    std::string PcmName;

    // The libraries, with ALSA's error printing silenced once they are there.
    static const SoundLibraries& Libraries() {
        static const SoundLibraries& libraries = []() -> const SoundLibraries& {
            const SoundLibraries& loaded = SoundLibraries::Get();
            if (loaded.Alsa) loaded.ErrorSetHandler(QuietAlsaErrors);
            return loaded;
        }();
        return libraries;
    }

    // Writes the clip, sleeping in snd_pcm_wait while the buffer is full, then waits for the buffer to run
    // empty. Every wait is bounded by the clip's own length plus a margin, so a stalled device cannot hold
    // the caller for long.
    static void WriteAndWait(snd_pcm_t* pcm, const SoundClip& Clip, int frameBytes) {
        const SoundLibraries& alsa = Libraries();
        using Clock = std::chrono::steady_clock;
        const snd_pcm_uframes_t total = static_cast<snd_pcm_uframes_t>(Clip.Pcm.size() / frameBytes);
        const auto length =
            std::chrono::milliseconds(1000LL * static_cast<long long>(total) / Clip.SampleRate);
        const auto deadline = Clock::now() + length + std::chrono::milliseconds(500);
        const char* data = Clip.Pcm.constData();
        snd_pcm_uframes_t done = 0;
        while (done < total && Clock::now() < deadline) {
            const snd_pcm_sframes_t n = alsa.PcmWritei(pcm, data + done * frameBytes, total - done);
            if (n == -EAGAIN) {
                const int waited = alsa.PcmWait(pcm, 100);
                if (waited < 0 && alsa.PcmRecover(pcm, waited, 1) < 0) return;
            } else if (n < 0) {
                if (alsa.PcmRecover(pcm, static_cast<int>(n), 1) < 0) return;
            } else {
                done += static_cast<snd_pcm_uframes_t>(n);
            }
        }
        // Playback starts by itself only once the buffer is full; a clip shorter than the buffer needs a
        // push.
        if (alsa.PcmState(pcm) == SND_PCM_STATE_PREPARED) alsa.PcmStart(pcm);
        // In non-blocking mode drain returns at once, so wait out what the device still holds.
        while (Clock::now() < deadline) {
            snd_pcm_sframes_t delay = 0;
            if (alsa.PcmDelay(pcm, &delay) < 0 || delay <= 0) break;
            const auto left = std::chrono::milliseconds(1000LL * delay / Clip.SampleRate + 1);
            std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(50)));
        }
    }
};

std::unique_ptr<SoundDevice>& CurrentDevice() {
    static std::unique_ptr<SoundDevice> device = Sound::AlsaOutput("default");
    return device;
}

} // namespace

namespace Sound {

bool HasOutputDevice() {
    return CurrentDevice()->Exists();
}

void Play(const QString& Name) {
    SoundClip clip;
    if (LoadClip(Name, clip)) CurrentDevice()->Play(Name, clip);
}

void SetDevice(std::unique_ptr<SoundDevice> Device) {
    CurrentDevice() = Device ? std::move(Device) : AlsaOutput("default");
}

std::unique_ptr<SoundDevice> AlsaOutput(const char* PcmName) {
    return std::make_unique<AlsaDevice>(PcmName);
}

bool LoadClip(const QString& Name, SoundClip& Clip) {
    // Names are words like "MOVE"; anything that could lead elsewhere in the resources is no sound of ours.
    const bool word = !Name.isEmpty() && std::all_of(Name.begin(), Name.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_';
    });
    if (!word) return false;
    RegisterSoundResources();
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(Name));
    if (!file.open(QIODevice::ReadOnly)) return false;
    return DecodeClip(file.readAll(), Clip);
}

bool DecodeClip(const QByteArray& Wav, SoundClip& Clip) {
    MemoryFile memory{Wav};
    SF_VIRTUAL_IO io{MemLength, MemSeek, MemRead, MemWrite, MemTell};
    SF_INFO info{};
    const SoundLibraries& sndfile = SoundLibraries::Get();
    if (!sndfile.Sndfile) return false;
    SNDFILE* sf = sndfile.OpenVirtual(&io, SFM_READ, &info, &memory);
    if (!sf) return false;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    const bool pcm8 = subtype == SF_FORMAT_PCM_U8 || subtype == SF_FORMAT_PCM_S8;
    const bool usable = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV &&
                        (pcm8 || subtype == SF_FORMAT_PCM_16) && (info.channels == 1 || info.channels == 2) &&
                        info.samplerate >= 4000 && info.samplerate <= 192000 && info.frames > 0 &&
                        info.frames <= MaxFrames;
    std::vector<short> samples;
    if (usable) {
        samples.resize(static_cast<std::size_t>(info.frames * info.channels));
        samples.resize(
            static_cast<std::size_t>(sndfile.ReadfShort(sf, samples.data(), info.frames) * info.channels));
    }
    sndfile.Close(sf);
    if (samples.empty()) return false;

    // libsndfile widens every format to 16 bits; 8-bit clips go back to the unsigned bytes ALSA plays.
    Clip.SampleRate = info.samplerate;
    Clip.Channels = info.channels;
    Clip.BitsPerSample = pcm8 ? 8 : 16;
    Clip.Pcm.clear();
    if (pcm8) {
        Clip.Pcm.reserve(static_cast<qsizetype>(samples.size()));
        for (short s : samples) Clip.Pcm.append(static_cast<char>((s >> 8) + 128));
    } else {
        Clip.Pcm.reserve(static_cast<qsizetype>(samples.size() * 2));
        for (short s : samples) {
            const auto u = static_cast<unsigned short>(s);
            Clip.Pcm.append(static_cast<char>(u & 0xFF));
            Clip.Pcm.append(static_cast<char>(u >> 8));
        }
    }
    return true;
}

} // namespace Sound
