#include "core/document/aquarium_file.h"
#include "core/document/fish_character.h"
#include "core/platform/recovery_store.h"
#include "core/platform/text_file.h"
#include "core/state/recovery.h"
#include "support/running_editor.h"
#include "ui/pages/fish_page.h"
#include "ui/pages/list_pages.h"
#include "ui/pages/tank_page.h"

#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QElapsedTimer>
#include <QTabWidget>

#include <csignal>
#include <cstdio>

using namespace aquarium;
using namespace aquarium::test;

// Unsaved work that outlives the program: a copy taken while the user pauses, offered at
// the next start, removed when no longer needed, kept when the program is killed.
class TestRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void killedProgramsWorkComesBack_data();
    void killedProgramsWorkComesBack();
    void copiesGoWhenNothingIsUnsaved();
    void aRunningInstancesCopyIsNotOffered();
    void aCopyThatCannotBeReadIsSetAside();
    void aFileChangedSinceTheCopyIsSaidSo();

private:
    QString Base() const { return m_world->Host(u"C:\\xdg"_qs) + u"/aquarium-maker/recovery"_qs; }
    // The editor started on the world, with its recovery in Base().
    std::unique_ptr<RunningEditor> Start(const std::function<void(ScriptedPrompts&)>& answers = {})
    {
        m_store = std::make_unique<RecoveryStore>(Base());
        return std::make_unique<RunningEditor>(*m_world, [&](RunningEditor& app) {
            m_recovery = std::make_unique<Recovery>(app.state, *m_store);
            app.window.SetRecovery(m_recovery.get());
            if (answers)
                answers(app.prompts);
        });
    }
    QStringList Copies() const
    {
        return QDir(Base()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }

    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<RecoveryStore> m_store;
    std::unique_ptr<Recovery> m_recovery;
};

namespace {

const QByteArray kAquarium
    = "Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n\tdata\\neon,\t1,\t2,\t5\r\nDATA END\r\n"
      "[Bottom]\r\n\tdata\\sand\r\n[Bubble]\r\n\tdata\\bubble\r\n[Sound]\r\n\tdata\\boo-n\r\n"
      "[ObjectBMP]\r\nDATA END\r\n[Object]\r\nDATA END\r\n";

void MakeWorld(TestWorld& w)
{
    w.WriteFile(u"C:\\aq\\tetra.uld"_qs, kAquarium);
    w.WriteFile(u"C:\\aq\\sea.uld"_qs, kAquarium);
    w.WriteFile(u"C:\\aq\\random.uld"_qs, "tetra.uld\r\n");
    w.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, SolidPicture(300, 100, 0x0000FF));
    w.WriteFile(u"C:\\m\\a.mid"_qs, "MThd");
    w.WriteFile(u"C:\\m\\b.mid"_qs, "MThd");
    w.WriteFile(u"C:\\m\\songs.lst"_qs, "a.mid\r\n");
    w.WriteRegistry(
        {{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}, {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    w.EnterFolder(u"C:\\aq"_qs);
}

// The child: the editor at work on several pages and in the fish editor, until it is
// killed. What it would save is written beside, for the parent to compare.
int Child(const QString& prefix)
{
    const PathMap paths(prefix);
    Files files(paths);
    ScriptedPrompts prompts;
    AppState state(files, prompts);
    FormCreate(state, *OpenUserRegistry(prefix));
    VersionWindow version;
    FishEditor editor(state);
    MainWindow window(state, version, editor);
    RecoveryStore store(RecoveryStore::DefaultBase());
    Recovery recovery(state, store);
    window.SetRecovery(&recovery);
    window.show();
    window.OpenDroppedFile(u"C:\\aq\\tetra.uld"_qs);
    QTest::mouseClick(window.FishPage1->CheckBox1, Qt::LeftButton);
    QTest::mouseClick(window.TankPage1->Aeration[2], Qt::LeftButton);
    window.FishPage1->Slots[0].FishAmount->setText(u"9"_qs);
    prompts.QueueAnswer(u"C:\\aq\\data\\neon.bmp"_qs);
    QTest::mouseClick(window.FishPage1->Slots[1].Button, Qt::LeftButton);
    DragFile(window.RandomPage1->FileListBox4, u"sea.uld"_qs,
             window.RandomPage1->ListBox1->viewport(), QPoint(20, 40));
    DragFile(window.MidiPage1->FileListBox3, u"b.mid"_qs, window.MidiPage1->ListBox2->viewport(),
             QPoint(20, 19));
    window.FishPage1->OpenCharacterEditor(0);
    editor.Edit1->setText(u"55"_qs);

    Aquarium doc = state.Doc;
    QStringList random = state.RandomList, midi = state.MidiList;
    const auto write = [&](const QString& name, const QStringList& lines) {
        QFile file(prefix + u'/' + name);
        return file.open(QIODevice::WriteOnly) && file.write(JoinLinesCrLf(lines)) >= 0;
    };
    if (!write(u"expected.uld"_qs, AquariumFileLines(files, doc)) || !write(u"expected.random"_qs, random)
        || !write(u"expected.midi"_qs, midi)
        || !write(u"expected.ulc"_qs, FishCharacterLines(editor.Model().ForSaving())))
        return 3;
    // The copy comes once the user pauses: then the program dies.
    QElapsedTimer clock;
    clock.start();
    while (!store.HasCopy() && clock.elapsed() < 20000)
        QTest::qWait(50);
    std::printf("%s\n", store.HasCopy() ? "READY" : "NO COPY");
    std::fflush(stdout);
    for (;;)
        QTest::qWait(1000);
}

} // namespace

void TestRecovery::init()
{
    m_world = std::make_unique<TestWorld>();
    MakeWorld(*m_world);
    m_world->MakeFolder(u"C:\\xdg"_qs);
}

void TestRecovery::cleanup()
{
    m_recovery.reset();
    m_store.reset();
    m_world.reset();
}

void TestRecovery::killedProgramsWorkComesBack_data()
{
    QTest::addColumn<QString>("answer");
    for (const QString& answer : {kRestoreButton, kDiscardButton, kLaterButton})
        QTest::newRow(qPrintable(answer)) << answer;
}

void TestRecovery::killedProgramsWorkComesBack()
{
    QFETCH(QString, answer);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_DATA_HOME"_qs, m_world->Host(u"C:\\xdg"_qs));
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(m_world->Host(u"C:\\aq"_qs));
    child.start(QCoreApplication::applicationFilePath(), {u"--child"_qs, m_world->Prefix()});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForReadyRead(30000));
    QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("READY"));
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished());
    QCOMPARE(Copies().size(), 1);

    const QByteArray tetra = m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs);
    std::unique_ptr<RunningEditor> app
        = Start([&](ScriptedPrompts& prompts) { prompts.QueueButton(answer); });
    const QStringList questions = app->prompts.Questions();
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions[0].startsWith(u"前回保存されなかった変更があります\nC:\\aq\\tetra.uld\n"_qs));
    QVERIFY(questions[0].contains(u"C:\\aq\\data\\neon.ulc"_qs));
    if (answer == kRestoreButton) {
        QVERIFY(app->state.Edits.Modified());
        QVERIFY(app->window.isWindowModified());
        QVERIFY(!app->state.Edits.CanUndo()); // a new history
        QVERIFY(app->editor.isVisible());
        QCOMPARE(app->editor.Edit1->text(), u"55"_qs);
        app->prompts.QueueAnswer(u"C:\\aq\\saved.uld"_qs);
        app->window.Button7Click();
        const QString prefix = m_world->Prefix() + u'/';
        const auto expected = [&](const char* name) {
            QFile file(prefix + QLatin1String(name));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QCOMPARE(m_world->ReadFile(u"C:\\aq\\saved.uld"_qs), expected("expected.uld"));
        QCOMPARE(m_world->ReadFile(u"C:\\aq\\random.uld"_qs), expected("expected.random"));
        QCOMPARE(m_world->ReadFile(u"C:\\m\\songs.lst"_qs), expected("expected.midi"));
        app->editor.Button1Click();
        QCOMPARE(m_world->ReadFile(u"C:\\aq\\data\\neon.ulc"_qs), expected("expected.ulc"));
        QVERIFY(Copies().isEmpty()); // nothing is unsaved any more
        return;
    }
    QVERIFY(!app->state.Edits.Modified());
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs), tetra);
    QVERIFY(!app->editor.isVisible());
    if (answer == kDiscardButton) {
        QVERIFY(Copies().isEmpty());
        return;
    }
    // Later: kept, and asked again at the next start.
    QCOMPARE(Copies().size(), 1);
    app.reset();
    app = Start();
    QCOMPARE(app->prompts.Questions().size(), 1);
    QCOMPARE(Copies().size(), 1);
}

void TestRecovery::copiesGoWhenNothingIsUnsaved()
{
    std::unique_ptr<RunningEditor> app = Start();
    app->window.OpenDroppedFile(u"C:\\aq\\tetra.uld"_qs);
    QTest::mouseClick(app->window.FishPage1->CheckBox1, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(Copies().size(), 1, 5000); // a pause after the edit
    app->window.SaveClick();
    QVERIFY(Copies().isEmpty()); // saved: gone at once
    QTest::mouseClick(app->window.FishPage1->CheckBox1, Qt::LeftButton);
    app->window.KeepRecovery();
    QCOMPARE(Copies().size(), 1);
    app->prompts.QueueChoice(Choice::Discard);
    app->window.close(); // the user let the work go
    QVERIFY(Copies().isEmpty());
    // A normal end with nothing unsaved leaves nothing either.
    app = Start();
    app->window.close();
    QVERIFY(Copies().isEmpty());
    QVERIFY(app->prompts.Questions().isEmpty());
}

void TestRecovery::aRunningInstancesCopyIsNotOffered()
{
    std::unique_ptr<RunningEditor> first = Start();
    QTest::mouseClick(first->window.FishPage1->CheckBox1, Qt::LeftButton);
    first->window.KeepRecovery();
    QCOMPARE(Copies().size(), 1);
    // A second instance, the first still running (its lock held).
    RecoveryStore secondStore(Base());
    QVERIFY(secondStore.Orphans().isEmpty());
    ScriptedPrompts prompts;
    AppState state(first->files, prompts);
    Recovery second(state, secondStore);
    QVERIFY(!second.Offer());
    QVERIFY(prompts.Questions().isEmpty());
}

void TestRecovery::aCopyThatCannotBeReadIsSetAside()
{
    m_world->WriteFile(u"C:\\xdg\\aquarium-maker\\recovery\\1-dead\\header"_qs, "garbage\n");
    std::unique_ptr<RunningEditor> app = Start();
    const QString moved = Base() + u"/damaged/1-dead"_qs;
    QCOMPARE(app->prompts.Messages(),
             QStringList {u"保存されなかった変更のコピーを読めないため damaged に移しました: "_qs + moved});
    QVERIFY(QFileInfo::exists(moved + u"/header"_qs)); // never deleted
    QCOMPARE(Copies(), QStringList {u"damaged"_qs});
    QVERIFY(app->prompts.Questions().isEmpty());
}

void TestRecovery::aFileChangedSinceTheCopyIsSaidSo()
{
    {
        std::unique_ptr<RunningEditor> app = Start();
        app->window.OpenDroppedFile(u"C:\\aq\\tetra.uld"_qs);
        QTest::mouseClick(app->window.FishPage1->CheckBox1, Qt::LeftButton);
        app->window.KeepRecovery();
        // As if killed: the lock goes with the process, the copy stays.
        app->window.SetRecovery(nullptr);
        m_recovery.reset();
        m_store.reset();
    }
    QByteArray changed = kAquarium;
    changed.replace("\t1,\t2,\t5", "\t1,\t2,\t6");
    m_world->WriteFile(u"C:\\aq\\tetra.uld"_qs, changed);
    std::unique_ptr<RunningEditor> app
        = Start([](ScriptedPrompts& prompts) { prompts.QueueButton(kRestoreButton); });
    QVERIFY(app->state.Doc.FishCountsFixed);
    QVERIFY(app->window.NoticeBar->isVisible());
    QCOMPARE(app->window.NoticeLabel->text(), u"ファイルが他のプログラムで変更されました: tetra.uld"_qs);
    QVERIFY(app->window.ReloadButton->isVisible());
}

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--child") {
        QApplication app(argc, argv);
        return Child(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recovery.moc"
