// The decoding path of sounds and music: any bytes as a WAV file (libsndfile, then the
// resampling), as a MIDI or .rmi file (our unwrapping and check), and what passes the
// check played for a moment by FluidSynth.
#include "core/platform/platform_error.h"
#include "core/platform/sound_files.h"

#include <memory>
#include <vector>

using namespace aquarium;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const Pcm pcm = DecodeWave(bytes, QStringLiteral("fuzz.wav"));
        if (pcm.Samples.size() % 2 != 0)
            __builtin_trap();
    } catch (const PlatformError&) {
    }
    QByteArray midi;
    try {
        midi = StandardMidiFile(bytes, QStringLiteral("fuzz.mid"));
    } catch (const PlatformError&) {
        return 0;
    }
    // One synthesizer for the run: loading the soundfont is the slow part.
    static const std::unique_ptr<MidiSynth> synth = [] {
        const QString soundfont = FindSoundfont(QString());
        return soundfont.isEmpty() ? nullptr : std::make_unique<MidiSynth>(soundfont);
    }();
    if (synth) {
        std::vector<float> out(2 * 512, 0.0f);
        synth->Play(midi);
        synth->Render(out.data(), 512);
        synth->Stop();
    }
    return 0;
}
