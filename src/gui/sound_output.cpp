#include "gui/sound_output.h"

#include "core/document/vocabulary.h"
#include "core/document/aquarium.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDir>
#include <QIODevice>
#include <QMediaDevices>

namespace aquarium {

// What the sink reads: as many frames as it asks for, rendered then.
class SoundOutput::Pull : public QIODevice
{
public:
    explicit Pull(Source source) : m_source(std::move(source)) { open(QIODevice::ReadOnly); }

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return qint64(kAudioRate) * 4 + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qsizetype frames = qsizetype(maxSize / 4);
        m_source(reinterpret_cast<qint16*>(data), frames);
        return qint64(frames) * 4;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    Source m_source;
};

SoundOutput::SoundOutput(QObject* parent) : QObject(parent) { }

SoundOutput::~SoundOutput()
{
    Stop();
}

bool SoundOutput::Start(Source source)
{
    Stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(kAudioRate);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull() || !device.isFormatSupported(format))
        return false;
    m_pull = std::make_unique<Pull>(std::move(source));
    m_sink = new QAudioSink(device, format, this);
    m_sink->setBufferSize(kAudioRate * 4 / 10); // a tenth of a second ahead
    m_sink->start(m_pull.get());
    if (m_sink->error() != QAudio::NoError) {
        Stop();
        return false;
    }
    return true;
}

void SoundOutput::Stop()
{
    if (m_sink) {
        m_sink->stop();
        delete m_sink;
        m_sink = nullptr;
    }
    m_pull.reset();
}

Listening::Listening(const Files& files, QObject* parent) : QObject(parent), m_files(files)
{
    m_watch.setInterval(200);
    connect(&m_watch, &QTimer::timeout, this, &Listening::Follow);
}

Listening::~Listening() = default;

bool Listening::EnsureOutput(QString& problem)
{
    if (!m_mixer)
        m_mixer = std::make_unique<Mixer>(FindSoundfont(QDir::homePath()));
    if (m_output.Running())
        return true;
    Mixer* mixer = m_mixer.get();
    if (!m_output.Start([mixer](qint16* stereo, qsizetype frames) { mixer->Render(stereo, frames); })) {
        problem = kNoAudioOutputProblem;
        return false;
    }
    m_watch.start();
    return true;
}

QString Listening::ToggleSound(const QString& windowsPath)
{
    if (!m_soundFile.isEmpty() && windowsPath.compare(m_soundFile, Qt::CaseInsensitive) == 0) {
        m_mixer->StopSound();
        Follow();
        return QStringLiteral("停止しました: ") + FileNamePart(windowsPath);
    }
    std::shared_ptr<const Pcm> sound;
    try {
        sound = std::make_shared<const Pcm>(
                DecodeWave(m_files.ReadBytes(windowsPath, kMaxSoundFileBytes), windowsPath));
    } catch (const PlatformError& error) {
        return error.Text();
    }
    QString problem;
    if (!EnsureOutput(problem))
        return problem;
    m_mixer->PlaySound(std::move(sound), false);
    m_soundFile = windowsPath;
    Q_EMIT Changed();
    return QStringLiteral("再生しています: ") + FileNamePart(windowsPath);
}

QString Listening::ToggleMusic(const QString& windowsPath)
{
    if (!m_musicFile.isEmpty() && windowsPath.compare(m_musicFile, Qt::CaseInsensitive) == 0) {
        m_mixer->StopMusic();
        Follow();
        return QStringLiteral("停止しました: ") + FileNamePart(windowsPath);
    }
    QByteArray piece;
    try {
        piece = StandardMidiFile(m_files.ReadBytes(windowsPath, kMaxMusicFileBytes), windowsPath);
    } catch (const PlatformError& error) {
        return error.Text();
    }
    QString problem;
    if (!EnsureOutput(problem))
        return problem;
    try {
        m_mixer->PlayMusic({std::move(piece)}, false);
    } catch (const PlatformError&) {
        return kNoSoundfontProblem; // the soundfont could not be loaded
    }
    m_musicFile = windowsPath;
    Q_EMIT Changed();
    return QStringLiteral("再生しています: ") + FileNamePart(windowsPath);
}

void Listening::StopAll()
{
    if (m_mixer) {
        m_mixer->StopSound();
        m_mixer->StopMusic();
    }
    Follow();
}

void Listening::Follow()
{
    // What ended is no longer what plays; with nothing left the output closes.
    bool changed = false;
    if (!m_soundFile.isEmpty() && (!m_mixer || !m_mixer->SoundPlaying())) {
        m_soundFile.clear();
        changed = true;
    }
    if (!m_musicFile.isEmpty() && (!m_mixer || !m_mixer->MusicPlaying())) {
        m_musicFile.clear();
        changed = true;
    }
    if (m_soundFile.isEmpty() && m_musicFile.isEmpty()) {
        m_output.Stop();
        m_watch.stop();
    }
    if (changed)
        Q_EMIT Changed();
}

} // namespace aquarium
