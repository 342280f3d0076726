#pragma once

#include "core/document/aquarium.h"
#include "core/platform/sound_files.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace aquarium {

class Files;

// Frames of the soundtrack in one tick of the tank (20 ticks a second).
inline constexpr int kFramesPerTick = kAudioRate / 20;

// The sound and the music at once: a sound (once or looped) and a list of MIDI files
// played one after the other, mixed into 16-bit stereo. Only what is asked plays; the
// synthesizer is made when music is first asked for.
class Mixer
{
public:
    // soundfont: the file the music plays with (FindSoundfont); empty: no music.
    explicit Mixer(QString soundfont);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Starts a sound from its beginning, cutting what of it still played.
    void PlaySound(std::shared_ptr<const Pcm> sound, bool loop);
    void StopSound();
    [[nodiscard]] bool SoundPlaying() const { return m_sound != nullptr; }
    // Plays checked standard MIDI files in their order, from the first; loop: again from
    // the first after the last. Throws CannotOpen when the soundfont cannot be loaded.
    void PlayMusic(std::vector<QByteArray> pieces, bool loop);
    void StopMusic();
    [[nodiscard]] bool MusicPlaying() const { return !m_pieces.empty(); }

    // The next frames: what plays, summed and clipped.
    void Render(qint16* stereo, qsizetype frames);

private:
    void RenderFloat(float* stereo, int frames);

    QString m_soundfont;
    std::unique_ptr<MidiSynth> m_synth;
    std::shared_ptr<const Pcm> m_sound;
    qsizetype m_soundAt = 0;
    bool m_soundLoops = false;
    std::vector<QByteArray> m_pieces;
    size_t m_piece = 0;
    bool m_musicLoops = false;
    std::vector<float> m_buffer;
};

// When the intermittent sound starts: at tick 0, then after each start again after a
// whole number of ticks drawn evenly from 1 to 4 x step (the aquarium file's value in
// milliseconds; about step / 10 seconds on average), by a generator of its own seed.
class SoundSchedule
{
public:
    SoundSchedule(std::uint64_t seed, int step);
    // The ticks from one start to the next.
    [[nodiscard]] int NextGap();

private:
    std::uint64_t m_state;
    int m_step;
};

// What an aquarium plays: its sound file, how, and the MIDI list's files in their order.
struct SoundtrackInputs
{
    QString Sound; // Windows path; empty: none
    bool Intermittent = false;
    int Step = 20;
    QStringList Music; // Windows paths
    bool operator==(const SoundtrackInputs&) const = default;
};

[[nodiscard]] SoundtrackInputs SoundtrackInputsOf(const Files& files, const Aquarium& doc,
                                                  const QString& midiFolder,
                                                  const QStringList& midiList);

// The aquarium's soundtrack as the live view plays it, a pure function of its inputs,
// its seed and the frames rendered: the sound looped, or at the starts of a SoundSchedule
// (a new start cutting the one still playing); the music in its order, looping. Files
// that are missing or do not decode are left out and named.
class Soundtrack
{
public:
    Soundtrack(const Files& files, const SoundtrackInputs& inputs, std::uint64_t seed,
               QString soundfont);
    // After an edit: a new sound starts as it would at this tick; a changed list plays
    // from its first piece. Unchanged inputs change nothing.
    void Update(const Files& files, const SoundtrackInputs& inputs);
    // The next frames, 16-bit stereo; every kFramesPerTick frames is one tick.
    void Render(qint16* stereo, qsizetype frames);
    // What could not be played: missing or undecodable files, a missing soundfont.
    [[nodiscard]] const QStringList& Unplayable() const { return m_unplayable; }
    [[nodiscard]] qint64 FramesRendered() const { return m_frame; }

private:
    void StartSound();
    void LoadSound(const Files& files);
    void LoadMusic(const Files& files);

    SoundtrackInputs m_inputs;
    std::uint64_t m_seed;
    Mixer m_mixer;
    bool m_haveSoundfont;
    std::shared_ptr<const Pcm> m_sound;
    std::optional<SoundSchedule> m_schedule;
    qint64 m_frame = 0;
    qint64 m_nextStart = 0; // the tick of the next intermittent start
    QStringList m_soundProblems, m_musicProblems, m_unplayable;
};

} // namespace aquarium
