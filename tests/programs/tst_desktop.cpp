#include "core/document/fish_character.h"
#include "core/platform/text_file.h"
#include "support/running_editor.h"
#include "ui/pages/accessory_page.h"
#include "ui/pages/list_pages.h"
#include "ui/widgets/qt_prompts.h"
#include "ui/widgets/window_place.h"

#include <QDragEnterEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QUrl>

using namespace aquarium;
using namespace aquarium::test;

// The editor as a desktop program: Qt's dialogs in Japanese, windows in the middle of the
// screen, the list rows, fish character files opened from outside, the command line, files
// dragged onto the lists.
class TestDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void qtDialogsReadJapanese();
    void windowsOpenInTheMiddle();
    void listRowsAre13PixelsHigh();
    void characterFileOpensTheEditor_data();
    void characterFileOpensTheEditor();
    void commandLine_data();
    void commandLine();
    void dragsOntoTheLists();

private:
    void Drop(QWidget* target, const QString& hostPath)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(hostPath)});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
    }

    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<RunningEditor> m_app;
};

void TestDesktop::initTestCase()
{
    QVERIFY(LoadQtJapanese(*QCoreApplication::instance()));
}

void TestDesktop::init()
{
    m_world = std::make_unique<TestWorld>();
    m_world->WriteFile(u"C:\\aq\\tetra.uld"_qs, "x");
    m_world->WriteFile(u"C:\\aq\\sea.uld"_qs, "x");
    m_world->WriteFile(u"C:\\other\\far.uld"_qs, "x");
    m_world->WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, SolidPicture(8, 8, 0x00FF00));
    m_world->WriteFile(u"C:\\m\\a.mid"_qs, "MThd");
    m_world->WriteFile(u"C:\\m\\songs.lst"_qs, "a.mid\r\n");
    m_world->WriteRegistry(
        {{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}, {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    m_world->EnterFolder(u"C:\\aq"_qs);
    m_app = std::make_unique<RunningEditor>(*m_world);
}

void TestDesktop::cleanup()
{
    m_app.reset();
}

void TestDesktop::qtDialogsReadJapanese()
{
    QtPrompts prompts(m_app->files.Paths());
    FileDialogRequest request;
    request.Filter = u"Ulvaro Data File|*.uld"_qs;
    request.ConfirmOverwrite = true;
    const std::unique_ptr<QFileDialog> dialog = prompts.MakeFileDialog(request, true);
    QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
    // The dialog's own texts, the overwrite question and the standard buttons.
    const QString lookIn = dialog->labelText(QFileDialog::LookIn);
    QVERIFY2(lookIn != u"Look in:"_qs && !lookIn.isEmpty(), qPrintable(lookIn));
    const QString texts[] = {QCoreApplication::translate("QFileDialog", "Save As"),
        QCoreApplication::translate(
            "QFileDialog", "%1 already exists.\nDo you want to replace it?"),
        QCoreApplication::translate("QPlatformTheme", "&Yes"),
        QCoreApplication::translate("QPlatformTheme", "&No"),
        QCoreApplication::translate("QPlatformTheme", "Cancel")};
    for (const QString& text : texts) {
        const bool japanese
            = std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x3000; });
        QVERIFY2(japanese, qPrintable(text));
    }
}

void TestDesktop::windowsOpenInTheMiddle()
{
    const QPoint middle = m_app->window.screen()->availableGeometry().center();
    const auto centred = [&](const QWidget& w) {
        return (w.frameGeometry().center() - middle).manhattanLength() <= 2;
    };
    QVERIFY(centred(m_app->window));
    m_app->window.Button10->click();
    QVERIFY(centred(m_app->version));
    m_app->version.move(0, 0);
    m_app->version.hide();
    m_app->window.Button10->click(); // shown again: in the middle again
    QVERIFY(centred(m_app->version));
    m_world->WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, SolidPicture(40, 20, 0x0000FF));
    m_app->editor.OpenFor(u"C:\\aq\\data\\neon"_qs, 1);
    QVERIFY(centred(m_app->editor));
}

void TestDesktop::listRowsAre13PixelsHigh()
{
    MainWindow& w = m_app->window;
    m_app->state.RandomList = {u"tetra.uld"_qs};
    w.Refresh();
    for (const ListBox* list : {static_cast<const ListBox*>(w.AccessoryPage1->FileListBox1),
             static_cast<const ListBox*>(w.RandomPage1->ListBox1),
             static_cast<const ListBox*>(w.MidiPage1->ListBox2)}) {
        QVERIFY(list->Count() > 0);
        QCOMPARE(list->sizeHintForRow(0), 13);
    }
}

void TestDesktop::characterFileOpensTheEditor_data()
{
    QTest::addColumn<bool>("commandLine");
    QTest::addColumn<bool>("bitmap");
    QTest::newRow("named on the command line") << true << true;
    QTest::newRow("dropped on the window") << false << true;
    QTest::newRow("without its bitmap") << false << false;
}

void TestDesktop::characterFileOpensTheEditor()
{
    QFETCH(bool, commandLine);
    QFETCH(bool, bitmap);
    FishCharacter fish;
    fish.Format = BmpFormat::Animation;
    fish.TurnFrequency = u"77"_qs;
    m_world->WriteFile(u"C:\\fish\\Neon.ulc"_qs, JoinLinesCrLf(FishCharacterLines(fish)));
    if (bitmap)
        m_world->WritePicture(u"C:\\fish\\Neon.bmp"_qs, SolidPicture(60, 30, 0x0000FF));
    FishEditor& editor = m_app->editor;
    if (commandLine) {
        m_app->window.SetCommandLineFile(u"C:\\fish\\Neon.ulc"_qs);
        m_app->window.FormShow();
    } else {
        Drop(&m_app->window, m_world->Host(u"C:\\fish\\Neon.ulc"_qs));
    }
    QVERIFY(editor.isVisible());
    QCOMPARE(editor.Label1->text(), u"C:\\fish\\Neon"_qs);
    QCOMPARE(editor.Edit1->text(), u"77"_qs);
    QCOMPARE(m_app->state.CurrentFile, QString()); // the main window as it started
    QCOMPARE(editor.Timer1.isActive(), bitmap);
    QCOMPARE(m_app->prompts.Messages(),
        bitmap ? QStringList() : QStringList {u"ファイル C:\\fish\\Neon.bmp は開けません"_qs});
    // Ok writes that file.
    editor.Edit1->setText(u"88"_qs);
    editor.Button1->click();
    QVERIFY(DecodeShiftJis(m_world->ReadFile(u"C:\\fish\\Neon.ulc"_qs)).contains(u"\t88\r\n"_qs));
}

void TestDesktop::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("--help") << QStringList {u"--help"_qs} << 0 << u"Usage:"_qs << QString();
    QTest::newRow("--version") << QStringList {u"--version"_qs} << 0 << u"aquarium-maker 0."_qs
                               << QString();
    QTest::newRow("unknown option")
        << QStringList {u"--bogus"_qs} << 2 << QString() << u"Unknown option 'bogus'"_qs;
    QTest::newRow("two files") << QStringList {u"a.uld"_qs, u"b.uld"_qs} << 2 << QString()
                               << u"more than one file"_qs;
}

// Before any window, display or start-up check: no display, and a registry that names a
// folder that is not there.
void TestDesktop::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    m_world->WriteRegistry({{u"DataFile"_qs, u"C:\\gone\\tetra.uld"_qs}});
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DISPLAY"_qs);
    env.remove(u"QT_QPA_PLATFORM"_qs);
    env.insert(u"WINEPREFIX"_qs, m_world->Prefix());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(AQUARIUM_MAKER_PATH), arguments);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    QVERIFY(QString::fromUtf8(process.readAllStandardOutput()).contains(out));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(errors.contains(err), qPrintable(errors));
    if (status == 2)
        QVERIFY(errors.contains(u"Usage:"_qs));
}

void TestDesktop::dragsOntoTheLists()
{
    MainWindow& w = m_app->window;
    ScriptedPrompts& prompts = m_app->prompts;
    RandomListPage* random = w.RandomPage1;
    w.TabbedNotebook1->setCurrentIndex(3);
    m_app->state.RandomList.clear();
    w.Refresh();
    // A file already selected in the file list is dragged as any other.
    FileListBox* files = random->FileListBox4;
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
        files->RowRect(files->FindRow(u"sea.uld"_qs)).center());
    QCOMPARE(files->SelectedName(), u"sea.uld"_qs);
    DragFile(files, u"sea.uld"_qs, random->ListBox1->viewport(), QPoint(20, 20));
    QCOMPARE(m_app->state.RandomList, QStringList {u"sea.uld"_qs});
    QCOMPARE(files->SelectedName(), u"sea.uld"_qs);

    // From a file manager: a file of the folder the file list shows goes in as its name;
    // one of another folder is refused with a message.
    Drop(random->ListBox1->viewport(), m_world->Host(u"C:\\aq\\TETRA.ULD"_qs));
    QCOMPARE(m_app->state.RandomList, (QStringList {u"sea.uld"_qs, u"tetra.uld"_qs}));
    QVERIFY(prompts.Messages().isEmpty());
    Drop(random->ListBox1->viewport(), m_world->Host(u"C:\\other\\far.uld"_qs));
    QCOMPARE(m_app->state.RandomList.size(), 2);
    QCOMPARE(prompts.Messages(),
        QStringList {kNotInFileListMessage.arg(u"C:\\other\\far.uld"_qs, u"C:\\aq\\"_qs)});
    w.TabbedNotebook1->setCurrentIndex(4);
    Drop(w.MidiPage1->ListBox2->viewport(), m_world->Host(u"C:\\m\\a.mid"_qs));
    QCOMPARE(m_app->state.MidiList, (QStringList {u"a.mid"_qs, u"a.mid"_qs}));
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
