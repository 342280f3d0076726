#include "core/document/fish_character.h"
#include "core/platform/text_file.h"
#include "support/running_editor.h"
#include "ui/pages/accessory_page.h"
#include "ui/pages/fish_page.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace aquarium;
using namespace aquarium::test;

// Other programs at work beside the editor: file lists, pictures and open files follow what
// they do, and nothing the user has is lost to it.
class TestDiskChanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void fileListsFollowTheirFolders();
    void picturesFollowTheirFiles();
    void openFileChanged_data();
    void openFileChanged();
    void saveOverAnOutsideChangeAsks();
    void fishCharacterChangedWhileShown();

private:
    // The other program's edit of the aquarium file: four fish of neon.
    void RewriteAquarium()
    {
        QByteArray bytes = m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs);
        bytes.replace("\tdata\\neon,\t1,\t2,\t5", "\tdata\\neon,\t1,\t2,\t4");
        m_world->WriteFile(u"C:\\aq\\tetra.uld"_qs, bytes);
    }
    bool BarSays(const QString& text) const
    {
        return m_window->NoticeBar->isVisible() && m_window->NoticeLabel->text() == text;
    }

    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<RunningEditor> m_app;
    ScriptedPrompts* m_prompts = nullptr;
    AppState* m_state = nullptr;
    MainWindow* m_window = nullptr;
};

namespace {

const QByteArray kAquarium
    = "Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n\tdata\\neon,\t1,\t2,\t5\r\nDATA END\r\n"
      "[Bottom]\r\n\tdata\\sand\r\n[Bubble]\r\n\tdata\\bubble\r\n[Sound]\r\n\tdata\\boo-n\r\n"
      "[ObjectBMP]\r\n\tdata\\kusa\r\nDATA END\r\n[Object]\r\n\t0,\tfront,\tbottom,\t7\r\n"
      "DATA END\r\n";

QImage Figure(ColorRef colour)
{
    QImage picture = SolidPicture(64, 96, colour);
    SetPixelAt(picture, 0, 0, kBlack);
    return picture;
}

} // namespace

void TestDiskChanges::init()
{
    m_world = std::make_unique<TestWorld>();
    TestWorld& w = *m_world;
    w.WriteFile(u"C:\\aq\\tetra.uld"_qs, kAquarium);
    w.WriteFile(u"C:\\aq\\random.uld"_qs, "tetra.uld\r\n");
    w.WritePicture(u"C:\\aq\\data\\sand.bmp"_qs, SolidPicture(1024, 96, 0x204080));
    w.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, SolidPicture(300, 100, 0x0000FF));
    w.WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, Figure(0x00A000));
    w.WritePicture(u"C:\\aq\\data\\iwa.bmp"_qs, SolidPicture(128, 64, 0x808080));
    w.WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}});
    w.EnterFolder(u"C:\\aq"_qs);
    m_app = std::make_unique<RunningEditor>(*m_world);
    m_prompts = &m_app->prompts;
    m_state = &m_app->state;
    m_window = &m_app->window;
    m_window->OpenDroppedFile(u"C:\\aq\\tetra.uld"_qs);
    QCOMPARE(m_prompts->Messages(), QStringList());
    QVERIFY(!m_window->NoticeBar->isVisible());
}

void TestDiskChanges::cleanup()
{
    m_app.reset();
}

void TestDiskChanges::fileListsFollowTheirFolders()
{
    m_window->TabbedNotebook1->setCurrentIndex(kAccessoryPage);
    FileListBox* list = m_window->AccessoryPage1->FileListBox1;
    QCOMPARE(list->Names(), (QStringList {"iwa.bmp", "kusa.bmp", "neon.bmp", "sand.bmp"}));
    const int row = list->FindRow(u"kusa.bmp"_qs);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->RowRect(row).center());
    QCOMPARE(list->SelectedName(), u"kusa.bmp"_qs);

    m_world->WritePicture(u"C:\\aq\\data\\abc.bmp"_qs, SolidPicture(8, 8, kWhite));
    QTRY_COMPARE_WITH_TIMEOUT(list->Names().size(), 5, 2000);
    QCOMPARE(list->SelectedName(), u"kusa.bmp"_qs);
    QVERIFY(QFile::rename(m_world->Host(u"C:\\aq\\data\\iwa.bmp"_qs),
                          m_world->Host(u"C:\\aq\\data\\rock.bmp"_qs)));
    QTRY_VERIFY_WITH_TIMEOUT(list->Names().contains(u"rock.bmp"_qs), 2000);
    QVERIFY(!list->Names().contains(u"iwa.bmp"_qs));
    QVERIFY(QFile::remove(m_world->Host(u"C:\\aq\\data\\abc.bmp"_qs)));
    QTRY_COMPARE_WITH_TIMEOUT(list->Names(),
                              (QStringList {"kusa.bmp", "neon.bmp", "rock.bmp", "sand.bmp"}), 2000);
    QCOMPARE(list->SelectedName(), u"kusa.bmp"_qs);
    QCOMPARE(m_prompts->Messages(), QStringList());
}

void TestDiskChanges::picturesFollowTheirFiles()
{
    m_window->TabbedNotebook1->setCurrentIndex(kAccessoryPage);
    const Aquarium doc = m_state->Doc;
    const int steps = m_state->Edits.Stack().count();
    QCOMPARE(PixelAt(m_state->View.FishPictures[0], 10, 10), ColorRef(0x0000FF));
    QCOMPARE(PixelAt(m_state->View.TankPicture, 120, 200), ColorRef(0x00A000));
    // The fish bitmap repainted in place, the accessory saved by a rename over it.
    m_world->WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, SolidPicture(300, 100, 0x00FFFF));
    m_world->WritePicture(u"C:\\aq\\data\\kusa.new"_qs, Figure(0xA00000));
    QVERIFY(QFile::remove(m_world->Host(u"C:\\aq\\data\\kusa.bmp"_qs)));
    QVERIFY(QFile::rename(m_world->Host(u"C:\\aq\\data\\kusa.new"_qs),
                          m_world->Host(u"C:\\aq\\data\\kusa.bmp"_qs)));
    QTRY_COMPARE_WITH_TIMEOUT(PixelAt(m_state->View.FishPictures[0], 10, 10),
                              ColorRef(0x00FFFF), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(PixelAt(m_state->View.TankPicture, 120, 200),
                              ColorRef(0xA00000), 2000);
    QCOMPARE(PixelAt(m_window->AccessoryPage1->Image4->pixmap().toImage(), 120, 200),
             ColorRef(0xA00000));
    // A picture that can no longer be read shows as missing, without a box.
    m_world->WriteFile(u"C:\\aq\\data\\neon.bmp"_qs, "not a picture");
    QTRY_COMPARE_WITH_TIMEOUT(PixelAt(m_state->View.FishPictures[0], 10, 10), kBlack, 2000);
    QVERIFY(m_state->Doc == doc);
    QCOMPARE(m_state->Edits.Stack().count(), steps);
    QCOMPARE(m_prompts->Messages(), QStringList());
}

void TestDiskChanges::openFileChanged_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QString>("button"); // the bar's, when it offers one
    QTest::newRow("without edits: read again") << false << QString();
    QTest::newRow("with edits, read again") << true << u"ReloadButton"_qs;
    QTest::newRow("with edits, ignored") << true << u"IgnoreButton"_qs;
}

void TestDiskChanges::openFileChanged()
{
    QFETCH(bool, edited);
    QFETCH(QString, button);
    if (edited)
        QTest::mouseClick(m_window->FishPage1->CheckBox1, Qt::LeftButton);
    RewriteAquarium();
    if (!edited) {
        QTRY_VERIFY_WITH_TIMEOUT(
            BarSays(u"他のプログラムによる変更を読み込みました: tetra.uld"_qs), 2000);
        QCOMPARE(m_state->Doc.Fish[0].FishAmount, u"4"_qs);
        QVERIFY(!m_window->ReloadButton->isVisible());
        QVERIFY(!m_state->Edits.Modified());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(BarSays(u"ファイルが他のプログラムで変更されました: tetra.uld"_qs), 2000);
    QVERIFY(m_state->Doc.FishCountsFixed); // the edit is still there
    QCOMPARE(m_state->Doc.Fish[0].FishAmount, u"5"_qs);
    QVERIFY(m_window->ReloadButton->isVisible());
    QTest::mouseClick(m_window->findChild<QPushButton*>(button), Qt::LeftButton);
    QVERIFY(!m_window->NoticeBar->isVisible());
    const bool reloaded = button == u"ReloadButton";
    QCOMPARE(m_state->Doc.FishCountsFixed, !reloaded);
    QCOMPARE(m_state->Doc.Fish[0].FishAmount, reloaded ? u"4"_qs : u"5"_qs);
    QCOMPARE(m_state->Edits.Modified(), !reloaded);
}

void TestDiskChanges::saveOverAnOutsideChangeAsks()
{
    // The editor's own save is no change of another program's.
    QTest::mouseClick(m_window->FishPage1->CheckBox1, Qt::LeftButton);
    m_window->SaveClick();
    QTest::qWait(3 * FileWatcher::kCoalesceMs);
    QVERIFY(!m_window->NoticeBar->isVisible());
    QVERIFY(m_prompts->Questions().isEmpty());

    QTest::mouseClick(m_window->FishPage1->CheckBox1, Qt::LeftButton);
    RewriteAquarium();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->NoticeBar->isVisible(), 2000);
    const QByteArray theirs = m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs);
    for (const Choice choice : {Choice::Cancel, Choice::Cancel, Choice::Save}) {
        m_prompts->Clear();
        m_prompts->QueueChoice(choice);
        m_window->SaveClick();
        QCOMPARE(m_prompts->Questions(),
                 QStringList {u"ファイルが他のプログラムで変更されています.上書きしますか"_qs});
        QCOMPARE(m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs) == theirs, choice == Choice::Cancel);
    }
    QVERIFY(!m_state->Edits.Modified());
}

void TestDiskChanges::fishCharacterChangedWhileShown()
{
    FishEditor& editor = m_app->editor;
    m_window->FishPage1->OpenCharacterEditor(0);
    QVERIFY(editor.isVisible());
    FishCharacter character;
    character.TurnFrequency = u"77"_qs;
    SaveFishCharacter(m_app->files, character, u"C:\\aq\\data\\neon"_qs);
    QTRY_COMPARE_WITH_TIMEOUT(editor.Edit1->text(), u"77"_qs, 2000);
    QVERIFY(BarSays(u"他のプログラムによる変更を読み込みました: neon.ulc"_qs));
    // With edits of its own, the editor keeps them until asked to read the file again.
    editor.Edit2->setText(u"9"_qs);
    character.TurnFrequency = u"88"_qs;
    SaveFishCharacter(m_app->files, character, u"C:\\aq\\data\\neon"_qs);
    QTRY_VERIFY_WITH_TIMEOUT(BarSays(u"ファイルが他のプログラムで変更されました: neon.ulc"_qs), 2000);
    QCOMPARE(editor.Edit1->text(), u"77"_qs);
    QCOMPARE(editor.Edit2->text(), u"9"_qs);
    QTest::mouseClick(m_window->ReloadButton, Qt::LeftButton);
    QCOMPARE(editor.Edit1->text(), u"88"_qs);
    QVERIFY(!editor.HasEdits());
    m_prompts->QueueChoice(Choice::Discard);
    editor.hide();
}

QTEST_MAIN(TestDiskChanges)
#include "tst_diskchanges.moc"
