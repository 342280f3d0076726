#include "core/platform/prompts.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"
#include "support/running_editor.h"
#include "support/test_world.h"
#include "ui/editor/fish_editor.h"
#include "ui/pages/list_pages.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"
#include "ui/widgets/file_list_box.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestListPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void dragOntoTheRandomList();
    void dragOntoTheMidiListAtARow();
    void moveByPressAndRelease();
    void moveInAScrolledList();
    void rightReleaseDeletesTheSelected();
    void buttons();
    void saveAsWritesBothListFiles();

private:
    static void Drag(FileListBox* from, const QString& name, QWidget* target, QPoint at)
    {
        DragFile(from, name, target, at);
    }
    static QPoint Row(DropListBox*, int row) { return QPoint(20, row * 13 + 6); }

    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<RunningEditor> m_app;
    ScriptedPrompts* m_prompts = nullptr;
    AppState* m_state = nullptr;
    FishEditor* m_editor = nullptr;
    MainWindow* m_window = nullptr;
    VersionWindow* m_version = nullptr;
};

void TestListPages::init()
{
    m_world = std::make_unique<TestWorld>();
    for (const char* name : {"tetra.uld", "Sea.uld"})
        m_world->WriteFile(u"C:\\aq\\"_qs + QLatin1String(name), "x");
    m_world->WriteFile(u"C:\\aq\\random.uld"_qs, ""); // an empty random list
    for (const char* name : {"x.mid", "y.rmi", "z.wav"})
        m_world->WriteFile(u"C:\\m\\"_qs + QLatin1String(name), "x");
    m_world->WriteFile(u"C:\\m\\songs.lst"_qs, "a\r\nb\r\nc\r\nd\r\n");
    m_world->WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs},
                            {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    m_world->EnterFolder(u"C:\\aq"_qs);
    m_app = std::make_unique<RunningEditor>(*m_world);
    m_prompts = &m_app->prompts;
    m_state = &m_app->state;
    m_editor = &m_app->editor;
    m_window = &m_app->window;
    m_version = &m_app->version;
}

void TestListPages::cleanup()
{
    m_app.reset();
}

void TestListPages::dragOntoTheRandomList()
{
    m_window->TabbedNotebook1->setCurrentIndex(3);
    RandomListPage* page = m_window->RandomPage1;
    QCOMPARE(page->FileListBox4->Names(), (QStringList{"random.uld", "Sea.uld", "tetra.uld"}));
    Drag(page->FileListBox4, u"tetra.uld"_qs, page->ListBox1->viewport(), QPoint(30, 30));
    Drag(page->FileListBox4, u"Sea.uld"_qs, page->ListBox1->viewport(), QPoint(30, 100));
    QCOMPARE(m_state->RandomList, (QStringList{"Sea.uld", "tetra.uld"}));
    QCOMPARE(page->ListBox1->Count(), 2);
    QCOMPARE(page->ListBox1->Text(0), u"Sea.uld"_qs);
    // Released elsewhere: nothing is added.
    Drag(page->FileListBox4, u"Sea.uld"_qs, page->Button13, QPoint(5, 5));
    QCOMPARE(m_state->RandomList.size(), 2);
}

void TestListPages::dragOntoTheMidiListAtARow()
{
    m_window->TabbedNotebook1->setCurrentIndex(4);
    MidiListPage* page = m_window->MidiPage1;
    QCOMPARE(page->FileListBox3->Names(), (QStringList{"x.mid", "y.rmi"}));
    Drag(page->FileListBox3, u"x.mid"_qs, page->ListBox2->viewport(), Row(page->ListBox2, 1));
    QCOMPARE(m_state->MidiList, (QStringList{"a", "x.mid", "b", "c", "d"}));
    Drag(page->FileListBox3, u"y.rmi"_qs, page->ListBox2->viewport(), Row(page->ListBox2, 12));
    QCOMPARE(m_state->MidiList.last(), u"y.rmi"_qs);
}

void TestListPages::moveByPressAndRelease()
{
    m_window->TabbedNotebook1->setCurrentIndex(4);
    DropListBox* list = m_window->MidiPage1->ListBox2;
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, Row(list, 0));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, Row(list, 2));
    QCOMPARE(m_state->MidiList, (QStringList{"b", "a", "c", "d"}));
    QCOMPARE(list->Text(1), u"a"_qs);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, Row(list, 1));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, Row(list, 10));
    QCOMPARE(m_state->MidiList, (QStringList{"b", "c", "d", "a"}));
}

void TestListPages::moveInAScrolledList()
{
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("s%1.mid").arg(i, 2, 10, QLatin1Char('0'));
    m_state->MidiList = many;
    m_window->Refresh();
    m_window->TabbedNotebook1->setCurrentIndex(4);
    DropListBox* list = m_window->MidiPage1->ListBox2;
    list->verticalScrollBar()->setValue(10); // s10.mid is the top visible row
    QCOMPARE(list->RowAt(Row(list, 0)), 10);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, Row(list, 0));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, Row(list, 3));
    QCOMPARE(m_state->MidiList.indexOf(u"s10.mid"_qs), 12); // before s13.mid
    QCOMPARE(m_state->MidiList[13], u"s13.mid"_qs);
}

void TestListPages::rightReleaseDeletesTheSelected()
{
    m_window->TabbedNotebook1->setCurrentIndex(4);
    DropListBox* list = m_window->MidiPage1->ListBox2;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, Row(list, 1)); // select b
    QCOMPARE(m_state->MidiSelected, 1);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, Row(list, 3)); // over d
    QCOMPARE(m_state->MidiList, (QStringList{"a", "c", "d"}));
    QCOMPARE(m_state->MidiSelected, 0);

    m_window->TabbedNotebook1->setCurrentIndex(3);
    RandomListPage* random = m_window->RandomPage1;
    m_state->RandomList = {u"a.uld"_qs, u"b.uld"_qs, u"c.uld"_qs};
    m_window->Refresh();
    QTest::mouseClick(random->ListBox1->viewport(), Qt::LeftButton, {}, Row(random->ListBox1, 0));
    QTest::mouseClick(random->ListBox1->viewport(), Qt::RightButton, {}, Row(random->ListBox1, 2));
    QCOMPARE(m_state->RandomList, (QStringList{"b.uld", "c.uld"}));
    QCOMPARE(random->ListBox1->CurrentRow(), 0);
}

void TestListPages::buttons()
{
    m_window->TabbedNotebook1->setCurrentIndex(4);
    MidiListPage* page = m_window->MidiPage1;
    QCOMPARE(page->Edit7->text(), u"C:\\m\\songs.lst"_qs);
    QTest::mouseClick(page->Button16, Qt::LeftButton); // copy all
    QCOMPARE(m_state->MidiList, (QStringList{"x.mid", "y.rmi"}));
    QTest::mouseClick(page->Button19, Qt::LeftButton); // delete all
    QVERIFY(m_state->MidiList.isEmpty());
    QTest::mouseClick(page->Button23, Qt::LeftButton); // revert
    QCOMPARE(m_state->MidiList, (QStringList{"a", "b", "c", "d"}));
    QCOMPARE(page->Button21->text(), u"Listﾌｧｲﾙ名前を付けて保存..."_qs);

    m_window->TabbedNotebook1->setCurrentIndex(3);
    RandomListPage* random = m_window->RandomPage1;
    QTest::mouseClick(random->Button12, Qt::LeftButton);
    QCOMPARE(m_state->RandomList, (QStringList{"random.uld", "Sea.uld", "tetra.uld"}));
    QTest::mouseClick(random->Button15, Qt::LeftButton);
    QVERIFY(m_state->RandomList.isEmpty());
    QFile::remove(m_world->Host(u"C:\\aq\\random.uld"_qs));
    QTest::mouseClick(random->Button22, Qt::LeftButton); // no random.uld: the error
    QCOMPARE(m_prompts->Messages(), QStringList{u"ファイル C:\\aq\\random.uld は開けません"_qs});
}

void TestListPages::saveAsWritesBothListFiles()
{
    m_state->RandomList = {u"Sea.uld"_qs};
    m_state->MidiList = {u"x.mid"_qs, u""_qs, u"y.rmi"_qs};
    m_state->Doc.Fish[0].CharacterName = u"data\\neon"_qs;
    m_world->MakeFolder(u"C:\\aq\\data"_qs);
    m_window->Refresh();
    m_prompts->QueueAnswer(u"C:\\aq\\new.uld"_qs);
    QTest::mouseClick(m_window->Button7, Qt::LeftButton);
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\random.uld"_qs), QByteArray("Sea.uld\r\n"));
    QCOMPARE(m_world->ReadFile(u"C:\\m\\songs.lst"_qs), QByteArray("x.mid\r\ny.rmi\r\n"));
    QVERIFY(!m_world->ReadFile(u"C:\\aq\\new.uld"_qs).isEmpty());
    QCOMPARE(m_window->MidiPage1->ListBox2->Count(), 2);
}

QTEST_MAIN(TestListPages)
#include "tst_listpages.moc"
