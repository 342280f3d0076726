#include "core/platform/sound_files.h"

#include "core/platform/platform_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fluidsynth.h>
#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>

namespace aquarium {

namespace {

// libsndfile's virtual input over bytes in memory.
struct Memory
{
    const QByteArray* In = nullptr;
    sf_count_t Position = 0;

    [[nodiscard]] sf_count_t Size() const { return In->size(); }
};

sf_count_t MemoryLength(void* user)
{
    return static_cast<Memory*>(user)->Size();
}

sf_count_t MemorySeek(sf_count_t offset, int whence, void* user)
{
    auto* m = static_cast<Memory*>(user);
    const sf_count_t base = whence == SEEK_CUR ? m->Position : whence == SEEK_END ? m->Size() : 0;
    if (offset > 0 && base > std::numeric_limits<sf_count_t>::max() - offset)
        return -1;
    const sf_count_t to = base + offset;
    if (to < 0)
        return -1;
    m->Position = to;
    return to;
}

sf_count_t MemoryRead(void* buffer, sf_count_t count, void* user)
{
    auto* m = static_cast<Memory*>(user);
    if (count <= 0 || m->Position >= m->Size())
        return 0;
    const sf_count_t n = std::min(count, m->Size() - m->Position);
    std::memcpy(buffer, m->In->constData() + m->Position, size_t(n));
    m->Position += n;
    return n;
}

sf_count_t MemoryWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t MemoryTell(void* user)
{
    return static_cast<Memory*>(user)->Position;
}

SF_VIRTUAL_IO g_memory = {MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};

// libsndfile's virtual output into a device.
sf_count_t DeviceLength(void* user)
{
    return static_cast<QIODevice*>(user)->size();
}

sf_count_t DeviceSeek(sf_count_t offset, int whence, void* user)
{
    auto* d = static_cast<QIODevice*>(user);
    const sf_count_t base = whence == SEEK_CUR ? d->pos() : whence == SEEK_END ? d->size() : 0;
    return d->seek(base + offset) ? d->pos() : -1;
}

sf_count_t DeviceRead(void* buffer, sf_count_t count, void* user)
{
    return static_cast<QIODevice*>(user)->read(static_cast<char*>(buffer), count);
}

sf_count_t DeviceWrite(const void* buffer, sf_count_t count, void* user)
{
    return static_cast<QIODevice*>(user)->write(static_cast<const char*>(buffer), count);
}

sf_count_t DeviceTell(void* user)
{
    return static_cast<QIODevice*>(user)->pos();
}

SF_VIRTUAL_IO g_device = {DeviceLength, DeviceSeek, DeviceRead, DeviceWrite, DeviceTell};

} // namespace

Pcm DecodeWave(const QByteArray& bytes, const QString& shownPath)
{
    Memory memory {&bytes, 0};
    SF_INFO info {};
    SNDFILE* file = sf_open_virtual(&g_memory, SFM_READ, &info, &memory);
    if (!file)
        throw PlatformError::CannotDecode(shownPath);
    const int type = info.format & SF_FORMAT_TYPEMASK;
    if ((type != SF_FORMAT_WAV && type != SF_FORMAT_WAVEX) || info.channels < 1
        || info.channels > 64 || info.samplerate < 1000 || info.samplerate > 384000) {
        sf_close(file);
        throw PlatformError::CannotDecode(shownPath);
    }
    // Read in blocks: the header's frame count may promise more than the file holds.
    const sf_count_t most = sf_count_t(info.samplerate) * kMaxSoundSeconds;
    std::vector<float> block(size_t(4096) * size_t(info.channels));
    std::vector<float> stereo;
    sf_count_t total = 0;
    while (total < most) {
        const sf_count_t got = sf_readf_float(file, block.data(), std::min<sf_count_t>(4096, most - total));
        if (got <= 0)
            break;
        for (sf_count_t f = 0; f < got; ++f) {
            const float* frame = block.data() + f * info.channels;
            stereo.push_back(frame[0]);
            stereo.push_back(info.channels > 1 ? frame[1] : frame[0]);
        }
        total += got;
    }
    const int error = sf_error(file);
    sf_close(file);
    if (error != SF_ERR_NO_ERROR)
        throw PlatformError::CannotDecode(shownPath);
    Pcm pcm;
    if (info.samplerate == kAudioRate || stereo.empty()) {
        pcm.Samples = std::move(stereo);
        return pcm;
    }
    // Another rate: libsamplerate brings it to the output's, so it keeps its pitch.
    const double ratio = double(kAudioRate) / info.samplerate;
    pcm.Samples.resize(size_t(double(total) * ratio + 16) * 2);
    SRC_DATA data {};
    data.data_in = stereo.data();
    data.input_frames = long(total);
    data.data_out = pcm.Samples.data();
    data.output_frames = long(pcm.Samples.size() / 2);
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_FASTEST, 2) != 0)
        throw PlatformError::CannotDecode(shownPath);
    pcm.Samples.resize(size_t(data.output_frames_gen) * 2);
    return pcm;
}

struct WaveWriter::Parts
{
    SNDFILE* File = nullptr;
};

WaveWriter::WaveWriter(QIODevice& device) : m(std::make_unique<Parts>())
{
    SF_INFO info {};
    info.samplerate = kAudioRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    m->File = sf_open_virtual(&g_device, SFM_WRITE, &info, &device);
    if (!m->File)
        throw PlatformError::IoError(kIoErrorWriteFault);
}

WaveWriter::~WaveWriter()
{
    if (m->File)
        sf_close(m->File);
}

void WaveWriter::Write(const qint16* stereo, qsizetype frames)
{
    if (sf_writef_short(m->File, stereo, frames) != frames)
        throw PlatformError::IoError(kIoErrorWriteFault);
}

void WaveWriter::Close()
{
    SNDFILE* file = std::exchange(m->File, nullptr);
    if (file && sf_close(file) != 0)
        throw PlatformError::IoError(kIoErrorWriteFault);
}

namespace {

quint32 Big32(const QByteArray& b, qsizetype at)
{
    return quint32(quint8(b[at])) << 24 | quint32(quint8(b[at + 1])) << 16
           | quint32(quint8(b[at + 2])) << 8 | quint32(quint8(b[at + 3]));
}

quint32 Little32(const QByteArray& b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8
           | quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
}

// Walks a standard MIDI file's header, its track chunks and every event in them: what
// FluidSynth's reader relies on. Returns false at the first thing out of place.
bool WellFormedMidi(const QByteArray& b)
{
    const qsizetype size = b.size();
    if (size < 14 || !b.startsWith("MThd"))
        return false;
    const quint32 headerLength = Big32(b, 4);
    if (headerLength < 6 || headerLength > quint32(size - 8))
        return false;
    const int format = quint8(b[8]) << 8 | quint8(b[9]);
    const int tracks = quint8(b[10]) << 8 | quint8(b[11]);
    const int division = quint8(b[12]) << 8 | quint8(b[13]);
    if (format > 2 || tracks < 1 || division == 0)
        return false;
    qsizetype at = 8 + qsizetype(headerLength);
    int found = 0;
    while (found < tracks) {
        if (at + 8 > size)
            return false;
        const quint32 length = Big32(b, at + 4);
        if (length > quint32(size - at - 8))
            return false;
        const qsizetype end = at + 8 + qsizetype(length);
        if (b.mid(at, 4) != "MTrk") {
            at = end; // a chunk of another kind is skipped
            continue;
        }
        qsizetype p = at + 8;
        const auto quantity = [&](quint32& value) {
            value = 0;
            for (int i = 0; i < 4; ++i) {
                if (p >= end)
                    return false;
                const quint8 c = quint8(b[p++]);
                value = value << 7 | (c & 0x7F);
                if (!(c & 0x80))
                    return true;
            }
            return false;
        };
        int running = 0;
        bool ended = false;
        while (p < end && !ended) {
            quint32 delta = 0;
            if (!quantity(delta) || p >= end)
                return false;
            int status = quint8(b[p]);
            if (status & 0x80) {
                ++p;
            } else if (running) {
                status = running; // the data byte belongs to the last channel message
            } else {
                return false;
            }
            if (status == 0xFF) {
                if (p >= end)
                    return false;
                const int type = quint8(b[p++]);
                quint32 length = 0;
                if (!quantity(length) || length > quint32(end - p))
                    return false;
                p += qsizetype(length);
                ended = type == 0x2F;
                running = 0;
            } else if (status == 0xF0 || status == 0xF7) {
                quint32 length = 0;
                if (!quantity(length) || length > quint32(end - p))
                    return false;
                p += qsizetype(length);
                running = 0;
            } else if (status >= 0x80 && status < 0xF0) {
                const int data = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
                for (int i = 0; i < data; ++i) {
                    if (p >= end || (quint8(b[p]) & 0x80))
                        return false;
                    ++p;
                }
                running = status;
            } else {
                return false; // system common and real-time messages have no place in a file
            }
        }
        at = end;
        ++found;
    }
    return true;
}

} // namespace

QByteArray StandardMidiFile(const QByteArray& bytes, const QString& shownPath)
{
    QByteArray midi = bytes;
    // An .rmi file: RIFF, "RMID", then chunks; the "data" chunk holds the MIDI file.
    if (bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "RMID") {
        midi.clear();
        const qsizetype riffEnd = std::min<qsizetype>(bytes.size(), 8 + qsizetype(Little32(bytes, 4)));
        for (qsizetype at = 12; at + 8 <= riffEnd;) {
            const quint32 length = Little32(bytes, at + 4);
            if (length > quint32(riffEnd - at - 8))
                break;
            if (bytes.mid(at, 4) == "data") {
                midi = bytes.mid(at + 8, qsizetype(length));
                break;
            }
            at += 8 + qsizetype(length) + (length & 1); // chunks are padded to even sizes
        }
    }
    if (!WellFormedMidi(midi))
        throw PlatformError::CannotDecode(shownPath);
    return midi;
}

namespace {

// FluidSynth reports to standard error by default: the editor says what it cannot play
// in its own words instead.
void SilenceFluidSynth()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

QString UserSoundfont(const QString& homeFolder)
{
    QFile config(homeFolder + QStringLiteral("/.fluidsynth"));
    if (homeFolder.isEmpty() || !QFileInfo(config).isFile() || !config.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& raw : config.read(1 << 16).split('\n')) {
        const QString line = QString::fromLocal8Bit(raw).trimmed();
        if (!line.startsWith(u"load "_qs))
            continue;
        QString path = line.mid(5).trimmed();
        if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
            path = path.mid(1, path.size() - 2);
        if (path.startsWith(u"~/"_qs))
            path = homeFolder + path.mid(1);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

} // namespace

QString FindSoundfont(const QString& homeFolder)
{
    const QString user = UserSoundfont(homeFolder);
    if (!user.isEmpty())
        return user;
    SilenceFluidSynth();
    fluid_settings_t* settings = new_fluid_settings();
    char* value = nullptr;
    QString path;
    if (settings && fluid_settings_dupstr(settings, "synth.default-soundfont", &value) == FLUID_OK
        && value)
        path = QString::fromLocal8Bit(value);
    fluid_free(value);
    delete_fluid_settings(settings);
    return QFileInfo(path).isFile() ? path : QString();
}

struct MidiSynth::Parts
{
    fluid_settings_t* Settings = nullptr;
    fluid_synth_t* Synth = nullptr;
    fluid_player_t* Player = nullptr;
    std::vector<float> Left, Right;

    ~Parts()
    {
        if (Player) {
            fluid_player_stop(Player);
            delete_fluid_player(Player);
        }
        if (Synth)
            delete_fluid_synth(Synth);
        if (Settings)
            delete_fluid_settings(Settings);
    }
};

MidiSynth::MidiSynth(const QString& soundfont) : m(std::make_unique<Parts>())
{
    SilenceFluidSynth();
    m->Settings = new_fluid_settings();
    if (!m->Settings)
        throw PlatformError::OutOfMemory();
    fluid_settings_setnum(m->Settings, "synth.sample-rate", kAudioRate);
    // The music's clock is the samples rendered, and one thread renders them: the same
    // file gives the same samples.
    fluid_settings_setstr(m->Settings, "player.timing-source", "sample");
    fluid_settings_setint(m->Settings, "synth.cpu-cores", 1);
    fluid_settings_setint(m->Settings, "synth.lock-memory", 0);
    fluid_settings_setnum(m->Settings, "synth.gain", 0.6); // beside the sound, as loud
    m->Synth = new_fluid_synth(m->Settings);
    if (!m->Synth)
        throw PlatformError::OutOfMemory();
    if (soundfont.isEmpty()
        || fluid_synth_sfload(m->Synth, QFile::encodeName(soundfont).constData(), 1) == FLUID_FAILED)
        throw PlatformError::CannotOpen(soundfont);
}

MidiSynth::~MidiSynth() = default;

void MidiSynth::Play(const QByteArray& standardMidiFile)
{
    Stop();
    PlayNext(standardMidiFile);
}

void MidiSynth::PlayNext(const QByteArray& standardMidiFile)
{
    if (m->Player) {
        fluid_player_stop(m->Player);
        delete_fluid_player(m->Player);
        m->Player = nullptr;
    }
    m->Player = new_fluid_player(m->Synth);
    if (!m->Player)
        throw PlatformError::OutOfMemory();
    // The player keeps a copy of the bytes.
    if (fluid_player_add_mem(m->Player, standardMidiFile.constData(), size_t(standardMidiFile.size()))
                != FLUID_OK
        || fluid_player_play(m->Player) != FLUID_OK) {
        delete_fluid_player(m->Player);
        m->Player = nullptr;
    }
}

void MidiSynth::Stop()
{
    if (m->Player) {
        fluid_player_stop(m->Player);
        delete_fluid_player(m->Player);
        m->Player = nullptr;
    }
    fluid_synth_all_sounds_off(m->Synth, -1);
    fluid_synth_system_reset(m->Synth);
}

bool MidiSynth::Playing() const
{
    // The player stays "playing" until the last voice has died away: the piece is over
    // when its last tick is reached (the file is read at the first render).
    if (!m->Player || fluid_player_get_status(m->Player) != FLUID_PLAYER_PLAYING)
        return false;
    const int total = fluid_player_get_total_ticks(m->Player);
    return total == 0 || fluid_player_get_current_tick(m->Player) < total;
}

void MidiSynth::Render(float* stereo, int frames)
{
    if (frames <= 0)
        return;
    m->Left.resize(size_t(frames));
    m->Right.resize(size_t(frames));
    fluid_synth_write_float(m->Synth, frames, m->Left.data(), 0, 1, m->Right.data(), 0, 1);
    for (int f = 0; f < frames; ++f) {
        stereo[2 * f] += m->Left[size_t(f)];
        stereo[2 * f + 1] += m->Right[size_t(f)];
    }
}

} // namespace aquarium
