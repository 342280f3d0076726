#pragma once

#include "core/live/soundtrack.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QAudioSink;

namespace aquarium {

class Files;

// The default audio output (Qt Multimedia), pulling 16-bit stereo samples at kAudioRate
// from a source as it needs them. Without an output nothing plays and nothing waits.
class SoundOutput : public QObject
{
    Q_OBJECT
public:
    using Source = std::function<void(qint16* stereo, qsizetype frames)>;

    explicit SoundOutput(QObject* parent = nullptr);
    ~SoundOutput() override;

    // Starts pulling from source (stopping what played); false when there is no audio
    // output or it does not take the format.
    bool Start(Source source);
    void Stop();
    [[nodiscard]] bool Running() const { return m_sink != nullptr; }

private:
    class Pull;
    std::unique_ptr<Pull> m_pull;
    QAudioSink* m_sink = nullptr;
};

// Listening while choosing: a sound file once, a MIDI file to its end, through one mixer
// and the default output. Each Toggle starts the file, or stops it when it is what plays,
// and returns what to tell the user (what plays, or why nothing does).
class Listening : public QObject
{
    Q_OBJECT
public:
    explicit Listening(const Files& files, QObject* parent = nullptr);
    ~Listening() override;

    QString ToggleSound(const QString& windowsPath);
    QString ToggleMusic(const QString& windowsPath);
    void StopAll();
    [[nodiscard]] QString SoundFile() const { return m_soundFile; }
    [[nodiscard]] QString MusicFile() const { return m_musicFile; }

Q_SIGNALS:
    // A file started or ended.
    void Changed();

private:
    void Follow();
    bool EnsureOutput(QString& problem);

    const Files& m_files;
    std::unique_ptr<Mixer> m_mixer;
    SoundOutput m_output;
    QTimer m_watch;
    QString m_soundFile, m_musicFile;
};

} // namespace aquarium
