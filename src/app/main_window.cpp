#include "app/main_window.h"

#include "app/app_state.h"
#include "app/commands.h"
#include "app/file_list_box.h"
#include "app/version_window.h"
#include "layout/accessory_page.h"
#include "pages/fish_page.h"
#include "pages/page_operations.h"
#include "pages/tank_page.h"
#include "platform/platform_error.h"
#include "platform/files.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace aquarium {

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = Named(new QLabel(text, parent), name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void SetListFont(QListWidget* list)
{
    QFont font = list->font();
    font.setPixelSize(13);
    list->setFont(font);
}

void ShowEntries(QListWidget* list, const QStringList& entries, int selected)
{
    list->clear();
    list->addItems(entries);
    if (selected >= 0 && selected < list->count())
        list->setCurrentRow(selected);
}

} // namespace

MainWindow::MainWindow(AppState& state, VersionWindow& versionWindow, FishEditor& fishEditor)
    : m_state(state), m_versionWindow(versionWindow)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(636, 419);

    TabbedNotebook1 = Named(new QTabWidget(this), "TabbedNotebook1");
    TabbedNotebook1->setGeometry(0, 0, 497, 419);
    // All five tabs in one row, as the notebook shows them.
    TabbedNotebook1->setUsesScrollButtons(false);
    TabbedNotebook1->setStyleSheet(QStringLiteral(
            "QTabBar::tab { padding: 3px 6px; border: 1px solid #a0a0a0; border-bottom: none;"
            " border-top-left-radius: 3px; border-top-right-radius: 3px; background: #e4e4e4;"
            " margin-right: -1px; }"
            "QTabBar::tab:selected { background: #fbfbfb; }"));
    FishPage1 = new FishPage(state, fishEditor);
    TabbedNotebook1->addTab(FishPage1, QStringLiteral("熱帯魚の設定"));
    AccessoryPage1 = new AccessoryPage(state);
    TabbedNotebook1->addTab(AccessoryPage1, QStringLiteral("ｱｸｾｻﾘの設定"));
    TankPage1 = new TankPage(state);
    TabbedNotebook1->addTab(TankPage1, QStringLiteral("水槽の設定"));
    BuildRandomPage(AddPage(QStringLiteral("random.uldの設定"), "RandomPage"));
    BuildMidiPage(AddPage(QStringLiteral("MIDIﾌｧｲﾙﾘｽﾄの設定"), "MidiPage"));

    Button6 = Named(new QPushButton(QStringLiteral("ULDﾌｧｲﾙ読み込み"), this), "Button6");
    Button6->setGeometry(516, 8, 110, 25);
    Button7 = Named(new QPushButton(QStringLiteral("名前をつけて保存"), this), "Button7");
    Button7->setGeometry(516, 40, 110, 25);
    Button10 = Named(new QPushButton(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), this), "Button10");
    Button10->setGeometry(516, 95, 110, 25);
    Button1 = Named(new QPushButton(QStringLiteral("終了"), this), "Button1");
    Button1->setGeometry(516, 130, 110, 25);

    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->addItems({QStringLiteral("640 x 480"), QStringLiteral("800 x 600"),
                         QStringLiteral("1024 x 768"), QStringLiteral("1152 x 864"),
                         QStringLiteral("1280 x 1024")});
    ComboBox1->setCurrentIndex(2);
    ComboBox1->setGeometry(504, 352, 121, 22);

    connect(FishPage1, &FishPage::Changed, this, &MainWindow::Refresh);
    // The canvas changes only what the accessory page shows; moves come often.
    connect(AccessoryPage1, &AccessoryPage::Changed, AccessoryPage1, &AccessoryPage::Refresh);
    connect(TankPage1, &TankPage::Changed, this, &MainWindow::Refresh);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, &MainWindow::ComboBox1Change);
    connect(TabbedNotebook1, &QTabWidget::currentChanged, this, &MainWindow::TabbedNotebook1Change);
    connect(Button6, &QPushButton::clicked, this, &MainWindow::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &MainWindow::Button7Click);
    connect(Button10, &QPushButton::clicked, this, &MainWindow::Button10Click);
    connect(Button1, &QPushButton::clicked, this, &MainWindow::Button1Click);

    Refresh();
}

QWidget* MainWindow::AddPage(const QString& caption, const char* name)
{
    auto* page = Named(new QWidget, name);
    TabbedNotebook1->addTab(page, caption);
    return page;
}

void MainWindow::BuildRandomPage(QWidget* page)
{
    MakeLabel(page, "Label21", QStringLiteral("Random.uld"), 11, 15);
    ListBox1 = Named(new QListWidget(page), "ListBox1");
    ListBox1->setGeometry(4, 38, 190, 250);
    SetListFont(ListBox1);
    MakeLabel(page, "Label22", QStringLiteral("ULDファイルのリスト"), 302, 16);
    FileListBox4 = Named(new FileListBox(m_state.FileSystem, QStringLiteral("*.uld"), page),
                         "FileListBox4");
    FileListBox4->setGeometry(295, 39, 190, 250);
    SetListFont(FileListBox4);
}

void MainWindow::BuildMidiPage(QWidget* page)
{
    Edit7 = Named(new QLineEdit(page), "Edit7");
    Edit7->setGeometry(6, 8, 285, 21);
    Edit7->setReadOnly(true);
    Edit7->setStyleSheet(QStringLiteral("QLineEdit { background: palette(button); }"));
    MakeLabel(page, "Label24", QStringLiteral("MIDIファイルのリスト"), 298, 9);
    ListBox2 = Named(new QListWidget(page), "ListBox2");
    ListBox2->setGeometry(4, 39, 190, 250);
    SetListFont(ListBox2);
    FileListBox3 = Named(new FileListBox(m_state.FileSystem, QStringLiteral("*.mid;*.rmi"), page),
                         "FileListBox3");
    FileListBox3->setGeometry(295, 39, 190, 250);
    SetListFont(FileListBox3);
}

void MainWindow::Refresh()
{
    m_refreshing = true;
    setWindowTitle(m_state.Caption);
    TabbedNotebook1->setCurrentIndex(m_state.NotebookPage);
    m_refreshing = false;

    FishPage1->Refresh();
    TankPage1->Refresh();
    AccessoryPage1->Refresh();

    ShowEntries(ListBox1, m_state.RandomList, -1);
    if (FileListBox4->Directory() != m_state.RandomFileListFolder)
        FileListBox4->SetDirectory(m_state.RandomFileListFolder);

    Edit7->setText(m_state.MidiListShown);
    ShowEntries(ListBox2, m_state.MidiList, -1);
    if (FileListBox3->Directory() != m_state.MidiFolder)
        FileListBox3->SetDirectory(m_state.MidiFolder);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void MainWindow::FormShow()
{
    aquarium::FormShow(m_state, m_commandLineFile);
    Refresh();
}

void MainWindow::Button6Click()
{
    LoadCommand(m_state);
    Refresh();
}

void MainWindow::Button7Click()
{
    SaveAsCommand(m_state);
    Refresh();
}

void MainWindow::ComboBox1Change()
{
    Guard(m_state.UserPrompts, [this] { ChangeScreenResolution(m_state, ComboBox1->currentText()); });
    Refresh();
}

void MainWindow::TabbedNotebook1Change(int page)
{
    if (m_refreshing)
        return;
    m_state.NotebookPage = page;
    if (page == 1)
        Guard(m_state.UserPrompts, [this] { DrawTankPreview(m_state); });
    Refresh();
}

void MainWindow::Button10Click()
{
    m_versionWindow.show();
    m_versionWindow.raise();
    m_versionWindow.activateWindow();
}

void MainWindow::Button1Click()
{
    // Exit: the save-as command runs first (it may save, refuse or be cancelled), then
    // the program ends in every case.
    SaveAsCommand(m_state);
    close();
    QCoreApplication::quit();
}

} // namespace aquarium
