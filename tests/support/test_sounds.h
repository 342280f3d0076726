#pragma once

#include <QByteArray>

namespace aquarium::test {

// A WAV file written by libsndfile: a 440 Hz sine of the given amplitude (0..1) on every
// channel. format is libsndfile's subtype (SF_FORMAT_PCM_16, SF_FORMAT_MS_ADPCM, ...).
[[nodiscard]] QByteArray SineWave(int subtype, int channels, int rate, double seconds,
                                  double amplitude);

// A standard MIDI file of one track at 120 beats a minute, 480 ticks a beat: a piano
// note (middle C, full velocity) from startSeconds, lasting lengthSeconds.
[[nodiscard]] QByteArray OneNoteMidi(double startSeconds, double lengthSeconds);

// The same, wrapped as an .rmi file (RIFF "RMID" with a "data" chunk).
[[nodiscard]] QByteArray WrapRmi(const QByteArray& midi);

} // namespace aquarium::test
