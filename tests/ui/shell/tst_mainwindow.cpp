#include "core/document/fish_character.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "support/running_editor.h"
#include "support/test_sounds.h"
#include "support/test_world.h"
#include "ui/pages/list_pages.h"
#include "ui/pages/tank_page.h"
#include "ui/editor/fish_editor.h"
#include "ui/pages/fish_page.h"
#include "ui/shell/live_view.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"
#include "ui/widgets/list_box.h"
#include "ui/widgets/file_list_box.h"

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

#include <sndfile.h>
#include <sys/resource.h>

using namespace aquarium;
using namespace aquarium::test;

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void frameAndCaptions();
    void startUpIsVisible();
    void versionButtonShowsAndHidesTheVersionWindow();
    void loadButtonOpensAFile();
    void exitRunsSaveAsThenEnds();
    void droppedAquariumFileOpens();
    void fileDroppedOnAFieldOpensIt_data();
    void fileDroppedOnAFieldOpensIt();
    void liveViewPlaysAndFollows();
    void liveViewOfAFishLargerThanTheTank();
    void listeningWithoutAnAudioOutput();

private:
    // Writes C:\\aq\\Sea.uld (one fish, neon, whose files are not there) and opens it with
    // the load button.
    void OpenSea()
    {
        m_world->WriteFile(u"C:\\aq\\Sea.uld"_qs,
                           "Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n\tdata\\neon,1,1,1\r\n"
                           "DATA END\r\n[Bottom]\r\n\tpics\\sand\r\n[Bubble]\r\nb\r\n"
                           "[Sound]\r\ns\r\n[ObjectBMP]\r\nDATA END\r\n[Object]\r\nDATA END\r\n");
        m_prompts->QueueAnswer(u"C:\\aq\\Sea.uld"_qs);
        QTest::mouseClick(m_window->Button6, Qt::LeftButton);
    }

    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<RunningEditor> m_app;
    ScriptedPrompts* m_prompts = nullptr;
    AppState* m_state = nullptr;
    FishEditor* m_editor = nullptr;
    MainWindow* m_window = nullptr;
    VersionWindow* m_version = nullptr;
};

void TestMainWindow::init()
{
    m_world = std::make_unique<TestWorld>();
    m_world->MakeFolder(u"C:\\aq\\data"_qs);
    m_world->MakeFolder(u"C:\\aq\\pics"_qs);
    m_world->WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, SolidPicture(8, 8, 0x00FF00));
    m_world->WritePicture(u"C:\\aq\\data\\Iwa.BMP"_qs, SolidPicture(8, 8, 0x808080));
    m_world->WriteFile(u"C:\\aq\\tetra.uld"_qs, "//\r\n");
    m_world->WriteFile(u"C:\\aq\\random.uld"_qs, "tetra.uld\r\n");
    m_world->WriteFile(u"C:\\m\\songs.lst"_qs, "one.mid\r\n");
    m_world->WriteFile(u"C:\\m\\one.mid"_qs, "MThd");
    m_world->WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs},
                            {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    m_app = std::make_unique<RunningEditor>(*m_world);
    m_prompts = &m_app->prompts;
    m_state = &m_app->state;
    m_editor = &m_app->editor;
    m_window = &m_app->window;
    m_version = &m_app->version;
}

void TestMainWindow::cleanup()
{
    m_app.reset();
}

void TestMainWindow::frameAndCaptions()
{
    // The client area keeps its size; the menu bar stands above it, the status bar below.
    QCOMPARE(m_window->ClientArea->size(), QSize(636, 419));
    QCOMPARE(m_window->ClientArea->y(), m_window->MenuBar1->height());
    QCOMPARE(m_window->StatusBar1->geometry().top(), m_window->ClientArea->geometry().bottom() + 1);
    QCOMPARE(m_window->height(), m_window->StatusBar1->geometry().bottom() + 1);
    QCOMPARE(m_window->width(), 636);
    QCOMPARE(m_window->windowHandle()->title(), u"Kesso's Ulvaro Aquarium Maker"_qs);
    auto* notebook = m_window->findChild<QTabWidget*>(u"TabbedNotebook1"_qs);
    QVERIFY(notebook);
    QCOMPARE(notebook->count(), 5);
    const QStringList tabs = {u"熱帯魚の設定"_qs, u"ｱｸｾｻﾘの設定"_qs, u"水槽の設定"_qs,
                              u"random.uldの設定"_qs, u"MIDIﾌｧｲﾙﾘｽﾄの設定"_qs};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(notebook->tabText(i), tabs[i]);
    QCOMPARE(notebook->currentIndex(), 0);
    // Every tab's caption is shown whole, in one row within the notebook.
    QTabBar* bar = notebook->tabBar();
    QVERIFY(bar->tabRect(4).right() <= notebook->width());
    QCOMPARE(bar->tabRect(0).top(), bar->tabRect(4).top());

    const QList<std::pair<const char*, QString>> buttons = {
            {"Button6", u"ULDﾌｧｲﾙ読み込み"_qs},
            {"Button7", u"名前をつけて保存"_qs},
            {"Button10", u"ﾊﾞｰｼﾞｮﾝ情報"_qs},
            {"Button1", u"終了"_qs}};
    int y = -1;
    for (const auto& [name, caption] : buttons) {
        auto* button = m_window->findChild<QPushButton*>(QLatin1String(name));
        QVERIFY2(button, name);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->geometry().x(), 516);
        QCOMPARE(button->size(), QSize(110, 25));
        QVERIFY(button->geometry().y() > y);
        y = button->geometry().y();
        QVERIFY(button->fontMetrics().horizontalAdvance(caption) < 110);
    }
    auto* combo = m_window->findChild<QComboBox*>(u"ComboBox1"_qs);
    QCOMPARE(combo->currentText(), u"1024 x 768"_qs);
    QCOMPARE(combo->count(), 5);
}

void TestMainWindow::startUpIsVisible()
{
    QCOMPARE(m_window->findChild<QLabel*>(u"Label15"_qs)->text(), u"C:\\aq\\"_qs);
    QCOMPARE(m_window->findChild<QLabel*>(u"Label16"_qs)->text(), u"data\\"_qs);
    auto* folders = m_window->findChild<ListBox*>(u"FileListBox2"_qs);
    QCOMPARE(folders->Count(), 2);
    QCOMPARE(folders->Text(0), u"[data]"_qs);
    QCOMPARE(folders->CurrentRow(), 0);
    auto* accessories = m_window->findChild<FileListBox*>(u"FileListBox1"_qs);
    QCOMPARE(accessories->Names(), (QStringList{"Iwa.BMP", "kusa.bmp"}));
    auto* randomList = m_window->findChild<ListBox*>(u"ListBox1"_qs);
    QCOMPARE(randomList->Count(), 1);
    QCOMPARE(randomList->Text(0), u"tetra.uld"_qs);
    auto* uldFiles = m_window->findChild<FileListBox*>(u"FileListBox4"_qs);
    QCOMPARE(uldFiles->Names(), (QStringList{"random.uld", "tetra.uld"}));
    QCOMPARE(m_window->findChild<QLineEdit*>(u"Edit7"_qs)->text(), u"C:\\m\\songs.lst"_qs);
    QVERIFY(m_window->findChild<QLineEdit*>(u"Edit7"_qs)->isReadOnly());
    QCOMPARE(m_window->findChild<ListBox*>(u"ListBox2"_qs)->Count(), 1);
    QCOMPARE(m_window->findChild<FileListBox*>(u"FileListBox3"_qs)->Names(),
             QStringList{"one.mid"});
}

void TestMainWindow::versionButtonShowsAndHidesTheVersionWindow()
{
    QVERIFY(!m_version->isVisible());
    QTest::mouseClick(m_window->Button10, Qt::LeftButton);
    QVERIFY(m_version->isVisible());
    QCOMPARE(m_version->windowTitle(), u"ﾊﾞｰｼﾞｮﾝ情報"_qs);
    QCOMPARE(m_version->size(), QSize(326, 181));
    QCOMPARE(m_version->Button1->size(), QSize(162, 28));
    QVERIFY(m_version->Label1->text().contains(u"Aquarium Maker"_qs));
    QVERIFY(!m_version->Image1->pixmap().isNull());
    QVERIFY(m_window->isEnabled()); // not modal
    QTest::mouseClick(m_window->Button10, Qt::LeftButton); // already shown: stays shown
    QVERIFY(m_version->isVisible());
    QTest::mouseClick(m_version->Button1, Qt::LeftButton);
    QVERIFY(!m_version->isVisible());
    QTest::mouseClick(m_window->Button10, Qt::LeftButton);
    QVERIFY(m_version->isVisible());
    m_version->close(); // the close box hides it as well
    QVERIFY(!m_version->isVisible());
}

void TestMainWindow::loadButtonOpensAFile()
{
    OpenSea();
    QCOMPARE(m_prompts->Messages(), QStringList());
    QCOMPARE(m_window->windowHandle()->title(), u"Kesso's Ulvaro Aquarium Maker <<< sea.uld >>>"_qs);
    QCOMPARE(m_window->findChild<QLabel*>(u"Label16"_qs)->text(), u"pics\\"_qs);
    QCOMPARE(m_window->findChild<ListBox*>(u"FileListBox2"_qs)->CurrentRow(), 1);
    QCOMPARE(m_state->CurrentFile, u"C:\\aq\\Sea.uld"_qs);

    m_prompts->QueueAnswer(u"C:\\aq\\Saved.uld"_qs);
    QTest::mouseClick(m_window->Button7, Qt::LeftButton);
    // The title names the file alone, as after a load; the caption keeps the whole path.
    QCOMPARE(m_window->windowHandle()->title(), u"Kesso's Ulvaro Aquarium Maker <<< saved.uld >>>"_qs);
    QCOMPARE(m_state->Caption, u"Kesso's Ulvaro Aquarium Maker <<< c:\\aq\\saved.uld >>>"_qs);
    QVERIFY(m_world->ReadFile(u"C:\\aq\\Saved.uld"_qs).contains("\tdata\\neon,\t1,\t1,\t1\r\n"));
}

void TestMainWindow::exitRunsSaveAsThenEnds()
{
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);
    QCOMPARE(m_prompts->Messages(),
             QStringList{u"熱帯魚のﾃﾞｰﾀが未設定です.ﾃﾞｰﾀﾌｧｲﾙの作成を中止します"_qs});
    QVERIFY(!m_window->isVisible());
}

void TestMainWindow::droppedAquariumFileOpens()
{
    m_world->WriteFile(u"C:\\aq\\Drop.uld"_qs,
                       "Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n\tdata\\neon,1,1,1\r\n"
                       "DATA END\r\n[Bottom]\r\n\tdata\\sand\r\n[Bubble]\r\nb\r\n[Sound]\r\n"
                       "s\r\n[ObjectBMP]\r\nDATA END\r\n[Object]\r\nDATA END\r\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(m_world->Host(u"C:\\aq\\Drop.uld"_qs))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m_window, &drop);
    QCOMPARE(m_state->CurrentFile, u"C:\\aq\\Drop.uld"_qs);
    QCOMPARE(m_window->windowHandle()->title(), u"Kesso's Ulvaro Aquarium Maker <<< drop.uld >>>"_qs);
    // Other files are refused.
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(m_world->Host(u"C:\\aq\\random.uld.txt"_qs))});
    QDragEnterEvent refused(QPoint(100, 100), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(m_window, &refused);
    QVERIFY(!refused.isAccepted());
}

void TestMainWindow::fileDroppedOnAFieldOpensIt_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("amount field") << u"Edit4"_qs;
    QTest::newRow("fish data field") << u"Edit2"_qs;
    QTest::newRow("resolution box") << u"ComboBox1"_qs;
}

void TestMainWindow::fileDroppedOnAFieldOpensIt()
{
    QFETCH(QString, field);
    m_world->WriteFile(u"C:\\aq\\reef.uld"_qs,
                       "Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n\tdata\\neon,1,1,7\r\n"
                       "DATA END\r\n[Bottom]\r\n\tdata\\sand\r\n[Bubble]\r\nb\r\n[Sound]\r\n"
                       "s\r\n[ObjectBMP]\r\nDATA END\r\n[Object]\r\nDATA END\r\n");
    QWidget* target = m_window->findChild<QWidget*>(field);
    QVERIFY(target);
    if (auto* box = qobject_cast<QComboBox*>(target))
        target = box->lineEdit();
    const QString before = static_cast<QLineEdit*>(target)->text();
    // A file manager offers the file both as an address and as text.
    QMimeData data;
    const QUrl url = QUrl::fromLocalFile(m_world->Host(u"C:\\aq\\reef.uld"_qs));
    data.setUrls({url});
    data.setText(url.toString());
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(QPoint(6, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(6, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCOMPARE(m_state->CurrentFile, u"C:\\aq\\reef.uld"_qs);
    QCOMPARE(m_state->Doc.Fish[0].FishAmount, u"7"_qs);
    const QString after = static_cast<QLineEdit*>(target)->text();
    QVERIFY2(!after.contains(u"file:"_qs), qPrintable(after));
    if (field == u"ComboBox1")
        QCOMPARE(after, before);
}

void TestMainWindow::liveViewPlaysAndFollows()
{
    // Its button stands in the frame between 終了 and the resolution.
    QCOMPARE(m_window->LiveViewButton->text(), u"動作プレビュー"_qs);
    QVERIFY(m_window->LiveViewButton->geometry().top() > m_window->Button1->geometry().bottom());
    QVERIFY(m_window->LiveViewButton->geometry().bottom() < m_window->ComboBox1->geometry().top());
    LiveView* view = m_window->LiveView1;
    QVERIFY(!view->isVisible());
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QTest::keyClick(m_window, Qt::Key_F5);
    QVERIFY(view->isVisible());
    QCOMPARE(view->windowTitle(), u"水槽の動作プレビュー"_qs);
    QVERIFY(view->Timer1.isActive());
    QCOMPARE(view->Timer1.interval(), 50);
    QVERIFY(m_window->isEnabled()); // modeless
    view->Timer1Timer();
    QCOMPARE(view->Tank()->Screen(), QSize(1024, 768));
    QCOMPARE(view->Tank()->Output(),
             QSize(1024, 768).scaled(view->Image1->size(), Qt::KeepAspectRatio));

    // A change of resolution, an aquarium opened: the next tick shows them.
    m_window->ComboBox1->setCurrentText(u"640 x 480"_qs);
    view->Timer1Timer();
    QCOMPARE(view->Tank()->Screen(), QSize(640, 480));
    OpenSea();
    QCOMPARE(m_state->CurrentFile, u"C:\\aq\\Sea.uld"_qs);
    view->Timer1Timer();
    view->Timer1Timer();
    const QString status = view->Label1->text();
    QCOMPARE(status.count(u"C:\\aq\\data\\neon.ulc"_qs), 1);
    QVERIFY(status.contains(u"C:\\aq\\data\\neon.bmp"_qs));
    QCOMPARE(m_prompts->Messages(), QStringList()); // no message box for what is missing

    view->close();
    QVERIFY(!view->isVisible());
    QVERIFY(!view->Timer1.isActive());
}

void TestMainWindow::listeningWithoutAnAudioOutput()
{
    // No audio output here: a play says so in the status bar, the live view in its status
    // line; a file that does not decode says why. Nothing waits, no message box.
    m_world->WriteFile(u"C:\\aq\\boo.wav"_qs, SineWave(SF_FORMAT_PCM_16, 1, 22050, 0.2, 0.5));
    m_world->WriteFile(u"C:\\m\\one.mid"_qs, OneNoteMidi(0, 0.2));
    m_state->Doc.SoundName = u"boo"_qs;
    m_window->Refresh();
    QPushButton* playSound = m_window->TankPage1->SoundPlayButton;
    QVERIFY(playSound->isEnabled());
    QTest::mouseClick(playSound, Qt::LeftButton);
    QCOMPARE(m_window->StatusBar1->currentMessage(), kNoAudioOutputProblem);
    m_world->WriteFile(u"C:\\aq\\boo.wav"_qs, "RIFF, no more");
    QTest::mouseClick(playSound, Qt::LeftButton);
    QCOMPARE(m_window->StatusBar1->currentMessage(),
             PlatformError::CannotDecode(u"C:\\aq\\boo.wav"_qs).Text());

    MidiListPage* midi = m_window->MidiPage1;
    m_window->TabbedNotebook1->setCurrentIndex(kMidiListPage);
    QVERIFY(!midi->PlayButton->isEnabled()); // nothing chosen yet
    QTest::mouseClick(midi->ListBox2->viewport(), Qt::LeftButton, {},
                      midi->ListBox2->RowRect(0).center());
    QVERIFY(midi->PlayButton->isEnabled());
    QTest::mouseClick(midi->PlayButton, Qt::LeftButton);
    QCOMPARE(m_window->StatusBar1->currentMessage(), kNoAudioOutputProblem);
    QCOMPARE(m_state->MidiList, QStringList {u"one.mid"_qs}); // the list stays as it was

    LiveView* view = m_window->LiveView1;
    m_window->LiveViewClick();
    view->Timer1Timer();
    QVERIFY(view->Timer1.isActive());
    QVERIFY(view->Label1->text().contains(kNoAudioOutputProblem));
    QTest::mouseClick(view->MuteButton, Qt::LeftButton);
    QVERIFY(!view->Label1->text().contains(kNoAudioOutputProblem));
    QVERIFY(m_prompts->Messages().isEmpty());
    view->close();
}

void TestMainWindow::liveViewOfAFishLargerThanTheTank()
{
#ifdef __SANITIZE_ADDRESS__
    QSKIP("the address sanitizer reserves more address space than the limit");
#endif
    QImage bitmap = SolidPicture(4096, 4096, 0x0000FF);
    SetPixelAt(bitmap, 0, 0, kBlack);
    m_world->WritePicture(u"C:\\aq\\data\\big.bmp"_qs, bitmap);
    FishCharacter big;
    big.Format = BmpFormat::XStretch;
    big.AnimationDataNo = 64;
    SaveFishCharacter(m_app->files, big, u"C:\\aq\\data\\big"_qs);
    m_world->WriteFile(u"C:\\aq\\Big.uld"_qs,
                       "Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n\tdata\\big,1,1,3\r\n"
                       "DATA END\r\n[Bottom]\r\nnull\r\n[Bubble]\r\nnull\r\n[Sound]\r\nnull\r\n"
                       "[ObjectBMP]\r\nDATA END\r\n[Object]\r\nDATA END\r\n");
    m_window->OpenDroppedFile(u"C:\\aq\\Big.uld"_qs);
    QCOMPARE(m_prompts->Messages(), QStringList());
    m_window->FishPage1->Slots[0].FishAmount->setText(u"4"_qs); // unsaved work

    // The editor may take no more than 4 GiB of address space while the view opens.
    rlimit limit {};
    getrlimit(RLIMIT_AS, &limit);
    const rlim_t before = limit.rlim_cur;
    limit.rlim_cur = rlim_t(4) << 30;
    QVERIFY(setrlimit(RLIMIT_AS, &limit) == 0);
    LiveView* view = m_window->LiveView1;
    m_window->LiveViewClick();
    QTRY_VERIFY_WITH_TIMEOUT(view->Tank() && !view->Tank()->FramesPending(), 30000);
    limit.rlim_cur = before;
    setrlimit(RLIMIT_AS, &limit);

    const LiveTank& tank = *view->Tank();
    QVERIFY(!tank.Kinds().at(0).Frames.isNull());
    QVERIFY(tank.FramesBytes() <= LiveTank::kFishFramesBudget);
    QVERIFY(!tank.Missing().contains(u"C:\\aq\\data\\big.bmp"_qs));
    QVERIFY(m_window->isVisible());
    QVERIFY(m_state->Edits.Modified());
    view->close();
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
