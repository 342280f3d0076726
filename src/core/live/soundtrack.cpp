#include "core/live/soundtrack.h"

#include "core/document/referenced_files.h"
#include "core/document/vocabulary.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"

#include <algorithm>
#include <cmath>

namespace aquarium {

Mixer::Mixer(QString soundfont) : m_soundfont(std::move(soundfont)) { }

Mixer::~Mixer() = default;

void Mixer::PlaySound(std::shared_ptr<const Pcm> sound, bool loop)
{
    m_sound = sound && sound->Frames() > 0 ? std::move(sound) : nullptr;
    m_soundAt = 0;
    m_soundLoops = loop;
}

void Mixer::StopSound()
{
    m_sound.reset();
}

void Mixer::PlayMusic(std::vector<QByteArray> pieces, bool loop)
{
    StopMusic();
    if (pieces.empty())
        return;
    if (!m_synth)
        m_synth = std::make_unique<MidiSynth>(m_soundfont);
    m_pieces = std::move(pieces);
    m_piece = 0;
    m_musicLoops = loop;
    m_synth->Play(m_pieces.front());
}

void Mixer::StopMusic()
{
    m_pieces.clear();
    if (m_synth)
        m_synth->Stop();
}

void Mixer::RenderFloat(float* stereo, int frames)
{
    std::fill(stereo, stereo + 2 * frames, 0.0f);
    if (m_sound) {
        const std::vector<float>& samples = m_sound->Samples;
        const qsizetype length = m_sound->Frames();
        for (int f = 0; f < frames && m_sound;) {
            const qsizetype n = std::min<qsizetype>(frames - f, length - m_soundAt);
            const float* from = samples.data() + 2 * m_soundAt;
            for (qsizetype i = 0; i < 2 * n; ++i)
                stereo[2 * f + i] += from[i];
            f += int(n);
            m_soundAt += n;
            if (m_soundAt == length) {
                m_soundAt = 0;
                if (!m_soundLoops)
                    m_sound.reset();
            }
        }
    }
    if (m_synth) {
        m_synth->Render(stereo, frames);
        // The piece ended: the next one starts at the next render (a gap of a block).
        if (!m_pieces.empty() && !m_synth->Playing()) {
            ++m_piece;
            if (m_piece == m_pieces.size() && m_musicLoops)
                m_piece = 0;
            if (m_piece < m_pieces.size())
                m_synth->PlayNext(m_pieces[m_piece]);
            else
                m_pieces.clear();
        }
    }
}

void Mixer::Render(qint16* stereo, qsizetype frames)
{
    // In blocks, so that a piece's end is seen within a block's time.
    constexpr int kBlock = 512;
    m_buffer.resize(2 * kBlock);
    for (qsizetype done = 0; done < frames;) {
        const int n = int(std::min<qsizetype>(kBlock, frames - done));
        RenderFloat(m_buffer.data(), n);
        for (int i = 0; i < 2 * n; ++i) {
            const float v = std::clamp(m_buffer[size_t(i)], -1.0f, 1.0f);
            stereo[2 * done + i] = qint16(std::lround(v * 32767.0f));
        }
        done += n;
    }
}

SoundSchedule::SoundSchedule(std::uint64_t seed, int step)
    : m_state(seed ^ 0x9E3779B97F4A7C15ull), m_step(std::max(step, 1))
{
}

int SoundSchedule::NextGap()
{
    // splitmix64: the same gaps for the same seed on every platform.
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return 1 + int(z % std::uint64_t(4 * m_step));
}

SoundtrackInputs SoundtrackInputsOf(const Files& files, const Aquarium& doc,
                                    const QString& midiFolder, const QStringList& midiList)
{
    SoundtrackInputs inputs;
    for (const ReferencedFile& f : ReferencedFiles(files, doc)) {
        if (f.Role == FileRole::Sound)
            inputs.Sound = f.Path;
    }
    inputs.Intermittent = doc.IntermittentSound;
    inputs.Step = doc.IntermittentStep;
    for (const QString& entry : midiList) {
        if (!entry.trimmed().isEmpty())
            inputs.Music << midiFolder + entry;
    }
    return inputs;
}

Soundtrack::Soundtrack(const Files& files, const SoundtrackInputs& inputs, std::uint64_t seed,
                       QString soundfont)
    : m_inputs(inputs), m_seed(seed), m_mixer(soundfont), m_haveSoundfont(!soundfont.isEmpty())
{
    LoadSound(files);
    StartSound();
    LoadMusic(files);
}

void Soundtrack::LoadSound(const Files& files)
{
    m_sound.reset();
    m_soundProblems.clear();
    if (m_inputs.Sound.isEmpty())
        return;
    try {
        m_sound = std::make_shared<const Pcm>(
                DecodeWave(files.ReadBytes(m_inputs.Sound, kMaxSoundFileBytes), m_inputs.Sound));
    } catch (const PlatformError&) {
        m_soundProblems << m_inputs.Sound;
    }
}

void Soundtrack::StartSound()
{
    m_mixer.StopSound();
    m_schedule.reset();
    if (!m_sound)
        return;
    if (!m_inputs.Intermittent) {
        m_mixer.PlaySound(m_sound, true);
        return;
    }
    // The first start is at the next tick (tick 0 for a new soundtrack).
    m_schedule.emplace(m_seed, m_inputs.Step);
    m_nextStart = (m_frame + kFramesPerTick - 1) / kFramesPerTick;
}

void Soundtrack::LoadMusic(const Files& files)
{
    m_musicProblems.clear();
    std::vector<QByteArray> pieces;
    for (const QString& path : m_inputs.Music) {
        try {
            pieces.push_back(StandardMidiFile(files.ReadBytes(path, kMaxMusicFileBytes), path));
        } catch (const PlatformError&) {
            m_musicProblems << path;
        }
    }
    if (!m_inputs.Music.isEmpty() && !m_haveSoundfont)
        m_musicProblems.prepend(kNoSoundfontProblem);
    m_mixer.StopMusic();
    if (m_haveSoundfont) {
        try {
            m_mixer.PlayMusic(std::move(pieces), true);
        } catch (const PlatformError&) {
            m_musicProblems.prepend(kNoSoundfontProblem);
            m_haveSoundfont = false;
        }
    }
    m_unplayable = m_soundProblems + m_musicProblems;
}

void Soundtrack::Update(const Files& files, const SoundtrackInputs& inputs)
{
    if (inputs == m_inputs)
        return;
    const SoundtrackInputs before = m_inputs;
    m_inputs = inputs;
    if (inputs.Sound != before.Sound)
        LoadSound(files);
    if (inputs.Sound != before.Sound || inputs.Intermittent != before.Intermittent
        || inputs.Step != before.Step)
        StartSound();
    if (inputs.Music != before.Music)
        LoadMusic(files);
    m_unplayable = m_soundProblems + m_musicProblems;
}

void Soundtrack::Render(qint16* stereo, qsizetype frames)
{
    for (qsizetype done = 0; done < frames;) {
        // At a tick's first frame the intermittent sound may start.
        if (m_schedule && m_frame % kFramesPerTick == 0 && m_frame / kFramesPerTick == m_nextStart) {
            m_mixer.PlaySound(m_sound, false);
            m_nextStart += m_schedule->NextGap();
        }
        const qsizetype toTick = kFramesPerTick - m_frame % kFramesPerTick;
        const qsizetype n = std::min(toTick, frames - done);
        m_mixer.Render(stereo + 2 * done, n);
        done += n;
        m_frame += n;
    }
}

} // namespace aquarium
