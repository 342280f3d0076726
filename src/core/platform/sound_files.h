#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <memory>
#include <vector>

namespace aquarium {

// Everything sounds as stereo at one rate, the rate of the output and of the soundtrack
// files the tool writes.
inline constexpr int kAudioRate = 44100;
// The longest stretch of a sound file that is decoded; the rest is left out.
inline constexpr int kMaxSoundSeconds = 180;
// The largest sound and music files read.
inline constexpr qint64 kMaxSoundFileBytes = qint64(64) << 20;
inline constexpr qint64 kMaxMusicFileBytes = qint64(4) << 20;

// Samples as left, right, left, right, ... in -1 .. 1, at kAudioRate.
struct Pcm
{
    std::vector<float> Samples;
    [[nodiscard]] qsizetype Frames() const { return qsizetype(Samples.size() / 2); }
};

// The samples of a WAV file (PCM of 8 to 32 bits, float, Microsoft or IMA ADPCM), decoded
// by libsndfile: a mono file on both sides, a file of another rate resampled (it plays at
// its own pitch), at most kMaxSoundSeconds. Anything else throws CannotDecode(shownPath).
[[nodiscard]] Pcm DecodeWave(const QByteArray& bytes, const QString& shownPath);

// Writes 16-bit stereo samples (left, right, ...) at kAudioRate as a WAV file into a
// device that can seek (libsndfile fills in the header's lengths at Close). Failures
// throw IoError.
class WaveWriter
{
public:
    explicit WaveWriter(QIODevice& device);
    ~WaveWriter();
    WaveWriter(const WaveWriter&) = delete;
    WaveWriter& operator=(const WaveWriter&) = delete;
    void Write(const qint16* stereo, qsizetype frames);
    void Close();

private:
    struct Parts;
    std::unique_ptr<Parts> m;
};

// The standard MIDI file in bytes: an .rmi file's RIFF "RMID" wrapper taken off, a plain
// file as it is. Its chunks and events are checked; a file that is neither, or whose
// structure is broken, throws CannotDecode(shownPath).
[[nodiscard]] QByteArray StandardMidiFile(const QByteArray& bytes, const QString& shownPath);

// The soundfont to play MIDI with: one the user's FluidSynth configuration loads
// (homeFolder/.fluidsynth, its "load" commands), else FluidSynth's default soundfont
// setting. Empty when neither file exists.
[[nodiscard]] QString FindSoundfont(const QString& homeFolder);

// A General MIDI synthesizer (FluidSynth) playing one standard MIDI file at a time into
// stereo samples at kAudioRate. The time of the music is the count of samples rendered:
// the same file renders to the same samples every time.
class MidiSynth
{
public:
    // Throws CannotOpen(soundfont) when the soundfont cannot be loaded.
    explicit MidiSynth(const QString& soundfont);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // Starts a checked standard MIDI file from its beginning, cutting what sounded.
    void Play(const QByteArray& standardMidiFile);
    // The same, letting the notes of the piece before ring out: the next piece of a list.
    void PlayNext(const QByteArray& standardMidiFile);
    void Stop();
    // Whether the file still plays (its last event not reached; notes may still ring).
    [[nodiscard]] bool Playing() const;
    // Adds frames of stereo samples to stereo (what sounds now, held notes fading out
    // after a file ended included).
    void Render(float* stereo, int frames);

private:
    struct Parts;
    std::unique_ptr<Parts> m;
};

} // namespace aquarium
