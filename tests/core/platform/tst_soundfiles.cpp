#include "core/platform/platform_error.h"
#include "core/platform/sound_files.h"
#include "support/test_sounds.h"

#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <cmath>

using namespace aquarium;
using namespace aquarium::test;

// Sound and music files as the editor and the live view decode them: WAV through
// libsndfile, MIDI through FluidSynth, .rmi unwrapped; no audio output anywhere.
class TestSoundFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wavesDecodeToLengthAndLevel_data();
    void wavesDecodeToLengthAndLevel();
    void notWavesAreRefused_data();
    void notWavesAreRefused();
    void noteSoundsWhenItStarts();
    void brokenMidiIsRefused_data();
    void brokenMidiIsRefused();
    void soundfontFromTheUsersConfiguration();
};

namespace {

double Rms(const std::vector<float>& samples, qsizetype from, qsizetype to)
{
    double sum = 0;
    for (qsizetype i = from; i < to; ++i)
        sum += double(samples[size_t(i)]) * samples[size_t(i)];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

} // namespace

void TestSoundFiles::wavesDecodeToLengthAndLevel_data()
{
    QTest::addColumn<int>("subtype");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::newRow("8-bit mono, 11025 Hz") << int(SF_FORMAT_PCM_U8) << 1 << 11025;
    QTest::newRow("8-bit stereo, 22050 Hz") << int(SF_FORMAT_PCM_U8) << 2 << 22050;
    QTest::newRow("16-bit mono, 44100 Hz") << int(SF_FORMAT_PCM_16) << 1 << 44100;
    QTest::newRow("16-bit stereo, 48000 Hz") << int(SF_FORMAT_PCM_16) << 2 << 48000;
    QTest::newRow("Microsoft ADPCM mono, 22050 Hz") << int(SF_FORMAT_MS_ADPCM) << 1 << 22050;
    QTest::newRow("IMA ADPCM stereo, 11025 Hz") << int(SF_FORMAT_IMA_ADPCM) << 2 << 11025;
}

void TestSoundFiles::wavesDecodeToLengthAndLevel()
{
    QFETCH(int, subtype);
    QFETCH(int, channels);
    QFETCH(int, rate);
    const QByteArray bytes = SineWave(subtype, channels, rate, 0.5, 0.5);
    QVERIFY(!bytes.isEmpty());
    const Pcm pcm = DecodeWave(bytes, u"C:\\s.wav"_qs);
    // Half a second at the output's rate, whatever the file's (ADPCM pads its last block).
    QVERIFY2(std::abs(pcm.Frames() - kAudioRate / 2) <= kAudioRate / 50,
             qPrintable(QString::number(pcm.Frames())));
    // A sine of amplitude 0.5 on both sides: 0.5 / sqrt(2).
    const double rms = Rms(pcm.Samples, 2000, qsizetype(pcm.Samples.size()) - 2000);
    QVERIFY2(std::abs(rms - 0.3536) < 0.03, qPrintable(QString::number(rms)));
    for (qsizetype f = 0; f < pcm.Frames(); ++f) // the same on both sides
        QCOMPARE(pcm.Samples[size_t(2 * f)], pcm.Samples[size_t(2 * f + 1)]);
}

void TestSoundFiles::notWavesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray wave = SineWave(SF_FORMAT_PCM_16, 1, 22050, 0.1, 0.5);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("boo-n, but not a sound");
    QTest::newRow("header cut") << wave.first(30);
    QTest::newRow("a MIDI file") << OneNoteMidi(0, 0.5);
    QByteArray rate = wave;
    rate.replace(24, 4, QByteArray(4, '\0')); // a rate of 0
    QTest::newRow("rate 0") << rate;
}

void TestSoundFiles::notWavesAreRefused()
{
    QFETCH(QByteArray, bytes);
    try {
        (void)DecodeWave(bytes, u"C:\\s.wav"_qs);
        QFAIL("decoded");
    } catch (const PlatformError& error) {
        QCOMPARE(error.Text(), PlatformError::CannotDecode(u"C:\\s.wav"_qs).Text());
    }
}

void TestSoundFiles::noteSoundsWhenItStarts()
{
    const QString soundfont = FindSoundfont(QString());
    QVERIFY2(!soundfont.isEmpty(), "the General MIDI soundfont is installed with the packages");
    const QByteArray midi = OneNoteMidi(0.5, 0.5);
    std::vector<float> rendered[2];
    for (int way = 0; way < 2; ++way) {
        // The plain file, then the same wrapped as .rmi: the same samples.
        MidiSynth synth(soundfont);
        synth.Play(StandardMidiFile(way == 0 ? midi : WrapRmi(midi), u"C:\\m.mid"_qs));
        rendered[way].assign(size_t(2 * kAudioRate * 3 / 2), 0.0f);
        for (int at = 0; at < 3 * kAudioRate / 2; at += 441)
            synth.Render(rendered[way].data() + 2 * at, 441);
    }
    QCOMPARE(rendered[1], rendered[0]);
    const std::vector<float>& s = rendered[0];
    const double before = Rms(s, 0, 2 * qsizetype(kAudioRate * 0.49));
    const double during = Rms(s, 2 * qsizetype(kAudioRate * 0.55), 2 * qsizetype(kAudioRate * 0.95));
    QVERIFY2(before < 1e-4, qPrintable(QString::number(before)));
    QVERIFY2(during > 0.01, qPrintable(QString::number(during)));
}

void TestSoundFiles::brokenMidiIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray midi = OneNoteMidi(0.5, 0.5);
    QTest::newRow("cut in the track") << midi.first(midi.size() - 5);
    QTest::newRow("no track") << midi.first(14);
    QByteArray format = midi;
    format[9] = 7;
    QTest::newRow("format 7") << format;
    QByteArray length = midi;
    length[21] = char(0x7F); // a track longer than the file
    QTest::newRow("track length past the end") << length;
    QByteArray data = midi;
    data[24] = char(0x90); // a status byte where the program's data byte belongs
    QTest::newRow("status byte as data") << data;
    QTest::newRow("RIFF without data chunk") << WrapRmi(midi).replace("data", "junk");
    QTest::newRow("a WAV file") << SineWave(SF_FORMAT_PCM_16, 1, 22050, 0.1, 0.5);
}

void TestSoundFiles::brokenMidiIsRefused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY_THROWS_EXCEPTION(PlatformError, (void)StandardMidiFile(bytes, u"C:\\m.mid"_qs));
}

void TestSoundFiles::soundfontFromTheUsersConfiguration()
{
    QTemporaryDir home;
    const QString fallback = FindSoundfont(home.path());
    QVERIFY(!fallback.isEmpty());
    // FluidSynth's start-up commands in the home folder: the first soundfont there loads.
    QFile own(home.filePath(u"own.sf2"_qs));
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.close();
    QFile config(home.filePath(u".fluidsynth"_qs));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("# mine\nload /nowhere/gone.sf2\nload \"~/own.sf2\"\n");
    config.close();
    QCOMPARE(FindSoundfont(home.path()), own.fileName());
    QVERIFY(own.remove());
    QCOMPARE(FindSoundfont(home.path()), fallback);
}

QTEST_MAIN(TestSoundFiles)
#include "tst_soundfiles.moc"
