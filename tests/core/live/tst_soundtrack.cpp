#include "core/document/aquarium.h"
#include "core/document/vocabulary.h"
#include "core/live/soundtrack.h"
#include "core/platform/files.h"
#include "support/test_sounds.h"
#include "support/test_world.h"

#include <QTest>

#include <sndfile.h>

using namespace aquarium;
using namespace aquarium::test;

// The live view's soundtrack: when the intermittent sound starts, that the same seed
// gives the same samples, and what it cannot play.
class TestSoundtrack : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scheduleDrawsEvenGaps();
    void intermittentSoundStartsOnItsTicks();
    void sameSeedSameSamples();
    void namesWhatItCannotPlay();
};

namespace {

// Renders ticks of the soundtrack.
std::vector<qint16> Render(Soundtrack& track, int ticks)
{
    std::vector<qint16> samples(size_t(2 * kFramesPerTick * ticks));
    track.Render(samples.data(), qsizetype(ticks) * kFramesPerTick);
    return samples;
}

} // namespace

void TestSoundtrack::scheduleDrawsEvenGaps()
{
    const int step = 10;
    SoundSchedule schedule(7, step), again(7, step), other(8, step);
    double sum = 0;
    int lowest = 1 << 30, highest = 0;
    bool differs = false;
    const int n = 40000;
    for (int i = 0; i < n; ++i) {
        const int gap = schedule.NextGap();
        QCOMPARE(again.NextGap(), gap);
        differs = differs || other.NextGap() != gap;
        lowest = std::min(lowest, gap);
        highest = std::max(highest, gap);
        sum += gap;
    }
    QCOMPARE(lowest, 1);
    QCOMPARE(highest, 4 * step); // the file's value in milliseconds, in ticks
    QVERIFY2(std::abs(sum / n - (4 * step + 1) / 2.0) < 0.3, qPrintable(QString::number(sum / n)));
    QVERIFY(differs);
}

void TestSoundtrack::intermittentSoundStartsOnItsTicks()
{
    // A click of a hundredth of a second, every start of it heard where the schedule says.
    TestWorld world;
    world.WriteFile(u"C:\\aq\\click.wav"_qs, SineWave(SF_FORMAT_PCM_16, 1, kAudioRate, 0.01, 0.5));
    const Files files = world.MakeFiles();
    SoundtrackInputs inputs;
    inputs.Sound = u"C:\\aq\\click.wav"_qs;
    inputs.Intermittent = true;
    inputs.Step = 3;
    Soundtrack track(files, inputs, 42, QString());
    const int ticks = 400;
    const std::vector<qint16> samples = Render(track, ticks);
    QList<int> heard, expected {0};
    SoundSchedule schedule(42, inputs.Step);
    while (expected.size() < 200)
        expected << expected.last() + schedule.NextGap();
    for (int t = 0; t < ticks; ++t) {
        bool sounds = false;
        for (int f = 0; f < 400 && !sounds; ++f)
            sounds = samples[size_t(2 * (t * kFramesPerTick + f))] != 0;
        if (sounds)
            heard << t;
    }
    while (expected.last() >= ticks)
        expected.removeLast();
    QCOMPARE(heard, expected);
    QVERIFY(track.Unplayable().isEmpty());
}

void TestSoundtrack::sameSeedSameSamples()
{
    TestWorld world;
    world.WriteFile(u"C:\\aq\\boo.wav"_qs, SineWave(SF_FORMAT_IMA_ADPCM, 1, 11025, 0.3, 0.4));
    world.WriteFile(u"C:\\m\\a.mid"_qs, OneNoteMidi(0.1, 0.3));
    world.WriteFile(u"C:\\m\\b.rmi"_qs, WrapRmi(OneNoteMidi(0.0, 0.2)));
    const Files files = world.MakeFiles();
    Aquarium doc;
    doc.DataFolder = u"C:\\aq\\"_qs;
    doc.SoundName = u"boo"_qs;
    doc.IntermittentSound = true;
    doc.IntermittentStep = 5;
    const SoundtrackInputs inputs =
            SoundtrackInputsOf(files, doc, u"C:\\m\\"_qs, {u"a.mid"_qs, QString(), u"b.rmi"_qs});
    QCOMPARE(inputs.Sound, u"C:\\aq\\boo.wav"_qs);
    QCOMPARE(inputs.Music, (QStringList {u"C:\\m\\a.mid"_qs, u"C:\\m\\b.rmi"_qs}));
    const QString soundfont = FindSoundfont(QString());
    Soundtrack first(files, inputs, 5, soundfont), second(files, inputs, 5, soundfont),
            third(files, inputs, 6, soundfont);
    const std::vector<qint16> a = Render(first, 100);
    QVERIFY(a == Render(second, 100));
    QVERIFY(a != Render(third, 100));
    // Both pieces play in turn and the list starts again: sound at its third second.
    const auto loud = [&](double from, double to) {
        for (size_t i = size_t(2 * kAudioRate * from); i < size_t(2 * kAudioRate * to); ++i) {
            if (std::abs(a[i]) > 300)
                return true;
        }
        return false;
    };
    QVERIFY(loud(0.15, 0.35));
    QVERIFY(loud(0.75, 0.95) || loud(0.45, 0.7));
    QVERIFY(first.Unplayable().isEmpty());
}

void TestSoundtrack::namesWhatItCannotPlay()
{
    TestWorld world;
    world.WriteFile(u"C:\\aq\\bad.wav"_qs, "RIFF, but nothing more");
    world.WriteFile(u"C:\\m\\bad.mid"_qs, "MThd");
    world.WriteFile(u"C:\\m\\good.mid"_qs, OneNoteMidi(0, 0.1));
    const Files files = world.MakeFiles();
    SoundtrackInputs inputs;
    inputs.Sound = u"C:\\aq\\bad.wav"_qs;
    inputs.Music = {u"C:\\m\\bad.mid"_qs, u"C:\\m\\good.mid"_qs, u"C:\\m\\gone.mid"_qs};
    Soundtrack track(files, inputs, 1, FindSoundfont(QString()));
    QCOMPARE(track.Unplayable(),
             (QStringList {u"C:\\aq\\bad.wav"_qs, u"C:\\m\\bad.mid"_qs, u"C:\\m\\gone.mid"_qs}));
    (void)Render(track, 10); // what it can play, it plays
    // Without a soundfont the music cannot play at all; the sound still can.
    inputs.Sound.clear();
    Soundtrack silent(files, inputs, 1, QString());
    QCOMPARE(silent.Unplayable().first(), kNoSoundfontProblem);
    const std::vector<qint16> samples = Render(silent, 10);
    QVERIFY(std::all_of(samples.begin(), samples.end(), [](qint16 s) { return s == 0; }));
}

QTEST_MAIN(TestSoundtrack)
#include "tst_soundtrack.moc"
