#include "support/test_sounds.h"

#include <QFile>
#include <QTemporaryDir>

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace aquarium::test {

QByteArray SineWave(int subtype, int channels, int rate, double seconds, double amplitude)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("sine.wav")));
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | subtype;
    SNDFILE* file = sf_open(path.constData(), SFM_WRITE, &info);
    if (!file)
        return QByteArray();
    const int frames = int(seconds * rate);
    std::vector<float> samples(size_t(frames * channels));
    for (int f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c)
            samples[size_t(f * channels + c)] =
                    float(amplitude * std::sin(2 * std::numbers::pi * 440.0 * f / rate));
    }
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    QFile written(QString::fromLocal8Bit(path));
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
}

namespace {

void Big(QByteArray& b, quint32 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        b.append(char((value >> (8 * i)) & 0xFF));
}

void Quantity(QByteArray& b, quint32 value)
{
    QByteArray out(1, char(value & 0x7F));
    while (value >>= 7)
        out.prepend(char(0x80 | (value & 0x7F)));
    b.append(out);
}

void Little(QByteArray& b, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((value >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray OneNoteMidi(double startSeconds, double lengthSeconds)
{
    // 120 beats a minute: 960 ticks a second.
    QByteArray track;
    Quantity(track, 0);
    track.append("\xC0\x00", 2); // piano
    Quantity(track, quint32(startSeconds * 960));
    track.append("\x90\x3C\x7F", 3);
    Quantity(track, quint32(lengthSeconds * 960));
    track.append("\x80\x3C\x40", 3);
    Quantity(track, 0);
    track.append("\xFF\x2F\x00", 3);
    QByteArray midi("MThd");
    Big(midi, 6, 4);
    Big(midi, 0, 2);
    Big(midi, 1, 2);
    Big(midi, 480, 2);
    midi.append("MTrk");
    Big(midi, quint32(track.size()), 4);
    return midi + track;
}

QByteArray WrapRmi(const QByteArray& midi)
{
    QByteArray data("data");
    Little(data, quint32(midi.size()));
    data += midi;
    if (midi.size() % 2)
        data.append('\0');
    QByteArray rmi("RIFF");
    Little(rmi, quint32(4 + data.size()));
    rmi += "RMID" + data;
    return rmi;
}

} // namespace aquarium::test
