#include "ui/pages/list_pages.h"

#include "core/document/aquarium.h"
#include "core/operations/list_commands.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "ui/widgets/file_list_box.h"
#include "gui/sound_output.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

namespace aquarium {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

void SmallFont(QWidget* widget)
{
    QFont font = widget->font();
    font.setPixelSize(13);
    widget->setFont(font);
}

// The name a file from a file manager goes into a list with: its name as the file list
// shows it, when it lies in the file list's folder and the list shows it; else empty, and
// a message says why.
QString ListedName(AppState& state, const FileListBox& files, const QString& hostPath)
{
    const QString windowsPath = state.FileSystem.Paths().ToWindows(hostPath);
    const QString name = FileNamePart(windowsPath);
    const bool here = state.FileSystem.SameFile(FolderOfPath(windowsPath), files.Directory());
    for (const QString& listed : files.Names()) {
        if (here && listed.compare(name, Qt::CaseInsensitive) == 0)
            return listed;
    }
    state.UserPrompts.ShowMessage(kNotInFileListMessage.arg(windowsPath, files.Directory()));
    return QString();
}

} // namespace

DropListBox::DropListBox(QWidget* parent) : ListBox(kRowHeight, parent)
{
    SmallFont(this);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setAcceptDrops(true); // files from a file manager
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    connect(this, &ListBox::CurrentRowChanged, this, &DropListBox::SelectionMoved);
}

namespace {

// The one local file a drag from a file manager carries; empty for anything else.
QString DraggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return QString();
    return data->urls().first().toLocalFile();
}

} // namespace

void DropListBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (DraggedFile(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void DropListBox::dragMoveEvent(QDragMoveEvent* event)
{
    dragEnterEvent(static_cast<QDragEnterEvent*>(event));
}

void DropListBox::dropEvent(QDropEvent* event)
{
    const QString file = DraggedFile(event->mimeData());
    if (file.isEmpty())
        return;
    event->acceptProposedAction();
    Q_EMIT FileDropped(file, RowAt(event->position().toPoint()));
}

int DropListBox::RowAt(QPoint position) const
{
    return std::max(position.y(), 0) / kRowHeight + verticalScrollBar()->value();
}

bool DropListBox::Contains(QPoint globalPosition) const
{
    return isVisible() && viewport()->rect().contains(viewport()->mapFromGlobal(globalPosition));
}

void DropListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        ListBox::mousePressEvent(event); // a right press does not select
    Q_EMIT Pressed(event->button(), event->position().toPoint());
}

void DropListBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        Q_EMIT DeletePressed();
        return;
    }
    ListBox::keyPressEvent(event);
}

void DropListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        ListBox::mouseReleaseEvent(event);
    Q_EMIT Released(event->button(), event->position().toPoint());
}

RandomListPage::RandomListPage(AppState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_edits(state)
{
    setObjectName(QStringLiteral("RandomPage"));
    MakeLabel(this, "Label21", QStringLiteral("Random.uld"), 11, 15);
    ListBox1 = new DropListBox(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(4, 38, 190, 250);
    MakeLabel(this, "Label22", QStringLiteral("ULDファイルのリスト"), 302, 16);
    FileListBox4 = new FileListBox(state.FileSystem, kAquariumMask, this);
    FileListBox4->setObjectName(QStringLiteral("FileListBox4"));
    FileListBox4->setGeometry(295, 39, 190, 250);
    SmallFont(FileListBox4);
    Button12 = MakeButton(this, "Button12", QStringLiteral("<<< Copy All"), {199, 38, 90, 25});
    Button14 = MakeButton(this, "Button14", QStringLiteral("< Copy"), {199, 77, 90, 25});
    Button13 = MakeButton(this, "Button13", QStringLiteral("Delete >"), {199, 115, 90, 25});
    Button15 = MakeButton(this, "Button15", QStringLiteral("Delete All >>>"), {199, 154, 89, 25});
    Button22 = MakeButton(this, "Button22", QStringLiteral("元に戻す"), {200, 200, 89, 25});

    connect(ListBox1, &DropListBox::SelectionMoved, this,
            [this](int row) { m_state.RandomSelected = row; });
    connect(Button12, &QPushButton::clicked, this,
            [this] { Run([this] { m_edits.RandomCopyAll(FileListBox4->Names()); }); });
    connect(Button14, &QPushButton::clicked, this,
            [this] { Run([this] { m_edits.RandomAddOne(FileListBox4->SelectedName()); }); });
    connect(Button13, &QPushButton::clicked, this, [this] { Run([this] { m_edits.RandomDeleteOne(); }); });
    connect(Button15, &QPushButton::clicked, this, [this] { Run([this] { m_edits.RandomDeleteAll(); }); });
    connect(Button22, &QPushButton::clicked, this, [this] { Run([this] { m_edits.RandomRevert(); }); });
    connect(ListBox1, &DropListBox::Released, this, [this](Qt::MouseButton button, QPoint) {
        if (button == Qt::RightButton)
            Run([this] { m_edits.RandomDeleteOne(); });
    });
    connect(ListBox1, &DropListBox::DeletePressed, this,
            [this] { Run([this] { m_edits.RandomDeleteOne(); }); });
    ListBox1->setAccessibleName(QStringLiteral("random.uldのリスト"));
    FileListBox4->setAccessibleName(QStringLiteral("ULDファイルのリスト"));
    // ListBox1DragDrop: a file of FileListBox4; any other source changes nothing.
    FileListBox4->OnDrop([this](FileListBox& source, const QString& name, QPoint global) {
        if (!ListBox1->Contains(global))
            return false;
        if (&source == FileListBox4)
            Run([&] { m_edits.RandomAddOne(name); });
        return true;
    });
    // A file from a file manager, when the file list shows it.
    connect(ListBox1, &DropListBox::FileDropped, this, [this](const QString& hostPath, int) {
        const QString name = ListedName(m_state, *FileListBox4, hostPath);
        if (!name.isEmpty())
            Run([&] { m_edits.RandomAddOne(name); });
    });
    Refresh();
}

void RandomListPage::Run(const std::function<void()>& edit)
{
    edit();
    Refresh();
    Q_EMIT Changed();
}

void RandomListPage::Refresh()
{
    ListBox1->Show(m_state.RandomList, m_state.RandomSelected);
    if (FileListBox4->Directory() != m_state.RandomFileListFolder)
        FileListBox4->SetDirectory(m_state.RandomFileListFolder);
}

MidiListPage::MidiListPage(AppState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_edits(state)
{
    setObjectName(QStringLiteral("MidiPage"));
    Edit7 = new QLineEdit(this);
    Edit7->setObjectName(QStringLiteral("Edit7"));
    Edit7->setGeometry(6, 8, 285, 21);
    Edit7->setReadOnly(true);
    Edit7->setStyleSheet(QStringLiteral("QLineEdit { background: palette(button); }"));
    MakeLabel(this, "Label24", QStringLiteral("MIDIファイルのリスト"), 298, 9);
    ListBox2 = new DropListBox(this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setGeometry(4, 39, 190, 250);
    FileListBox3 = new FileListBox(state.FileSystem, kMidiMasks, this);
    FileListBox3->setObjectName(QStringLiteral("FileListBox3"));
    FileListBox3->setGeometry(295, 39, 190, 250);
    SmallFont(FileListBox3);
    Button16 = MakeButton(this, "Button16", QStringLiteral("<<< Copy All"), {200, 38, 90, 25});
    Button17 = MakeButton(this, "Button17", QStringLiteral("< Copy"), {200, 77, 90, 25});
    Button18 = MakeButton(this, "Button18", QStringLiteral("Delete >"), {200, 115, 90, 25});
    Button19 = MakeButton(this, "Button19", QStringLiteral("Delete All >>>"), {200, 154, 90, 25});
    Button23 = MakeButton(this, "Button23", QStringLiteral("元に戻す"), {200, 200, 90, 25});
    Button20 = MakeButton(this, "Button20", QStringLiteral("Listファイルの読み込み..."), {4, 303, 170, 25});
    Button21 = MakeButton(this, "Button21", QStringLiteral("Listﾌｧｲﾙ名前を付けて保存..."),
                          {4, 338, 170, 25});

    connect(ListBox2, &DropListBox::SelectionMoved, this,
            [this](int row) { m_state.MidiSelected = row; });
    connect(Button16, &QPushButton::clicked, this,
            [this] { Run([this] { m_edits.MidiCopyAll(FileListBox3->Names()); }); });
    connect(Button17, &QPushButton::clicked, this,
            [this] { Run([this] { m_edits.MidiInsertOne(FileListBox3->SelectedName()); }); });
    connect(Button18, &QPushButton::clicked, this, [this] { Run([this] { m_edits.MidiDeleteOne(); }); });
    connect(Button19, &QPushButton::clicked, this, [this] { Run([this] { m_edits.MidiDeleteAll(); }); });
    connect(Button23, &QPushButton::clicked, this, [this] { Run([this] { m_edits.MidiRevert(); }); });
    connect(Button20, &QPushButton::clicked, this, [this] { Run([this] { m_edits.LoadMidiListFile(); }); });
    connect(Button21, &QPushButton::clicked, this,
            [this] { Run([this] { m_edits.SaveMidiListFileAs(); }); });
    // Listening: the chosen piece plays with the button, or on a double-click.
    PlayButton = MakeButton(this, "PlayButton", QStringLiteral("▶ 再生"), {298, 303, 90, 25});
    PlayButton->setAccessibleName(QStringLiteral("MIDIファイルを聞く"));
    PlayButton->setEnabled(false);
    connect(PlayButton, &QPushButton::clicked, this, &MidiListPage::PlayClick);
    for (ListBox* list : {static_cast<ListBox*>(ListBox2), static_cast<ListBox*>(FileListBox3)}) {
        connect(list, &ListBox::SelectionChanged, this, [this, list] {
            if (!list->SelectedText().isEmpty())
                m_lastList = list;
            ShowPlayButton();
        });
        connect(list, &QAbstractItemView::doubleClicked, this, [this, list](const QModelIndex& index) {
            m_lastList = list;
            const QString entry = list->Text(index.row());
            if (!entry.isEmpty())
                Play(m_state.MidiFolder + entry);
        });
    }
    connect(ListBox2, &DropListBox::DeletePressed, this,
            [this] { Run([this] { m_edits.MidiDeleteOne(); }); });
    Edit7->setAccessibleName(QStringLiteral("MIDIﾌｧｲﾙﾘｽﾄのﾌｧｲﾙ"));
    ListBox2->setAccessibleName(QStringLiteral("MIDIﾌｧｲﾙﾘｽﾄ"));
    FileListBox3->setAccessibleName(QStringLiteral("MIDIファイルのリスト"));
    connect(ListBox2, &DropListBox::Pressed, this,
            [this](Qt::MouseButton, QPoint at) { m_pressRow = ListBox2->RowAt(at); });
    connect(ListBox2, &DropListBox::Released, this, [this](Qt::MouseButton button, QPoint at) {
        const int releaseRow = ListBox2->RowAt(at);
        Run([&] { m_edits.MidiRelease(button == Qt::RightButton, m_pressRow, releaseRow); });
    });
    // ListBox2DragDrop: a file of FileListBox3 goes in at the drop row.
    FileListBox3->OnDrop([this](FileListBox& source, const QString& name, QPoint global) {
        if (!ListBox2->Contains(global))
            return false;
        if (&source == FileListBox3) {
            const int row = ListBox2->RowAt(ListBox2->viewport()->mapFromGlobal(global));
            Run([&] { m_edits.MidiDropAt(name, row); });
        }
        return true;
    });
    connect(ListBox2, &DropListBox::FileDropped, this, [this](const QString& hostPath, int row) {
        const QString name = ListedName(m_state, *FileListBox3, hostPath);
        if (!name.isEmpty())
            Run([&] { m_edits.MidiDropAt(name, row); });
    });
    Refresh();
}

void MidiListPage::Run(const std::function<void()>& edit)
{
    edit();
    Refresh();
    Q_EMIT Changed();
}

void MidiListPage::Refresh()
{
    if (Edit7->text() != m_state.MidiListShown)
        Edit7->setText(m_state.MidiListShown);
    ListBox2->Show(m_state.MidiList, m_state.MidiSelected);
    if (FileListBox3->Directory() != m_state.MidiFolder)
        FileListBox3->SetDirectory(m_state.MidiFolder);
    ShowPlayButton();
}

void MidiListPage::ShowPlayButton()
{
    const bool playing = m_listening && !m_listening->MusicFile().isEmpty();
    PlayButton->setText(playing ? QStringLiteral("■ 停止") : QStringLiteral("▶ 再生"));
    PlayButton->setEnabled(m_listening && (playing || !ChosenPiece().isEmpty()));
}

void MidiListPage::SetListening(Listening* listening)
{
    m_listening = listening;
    connect(listening, &Listening::Changed, this, &MidiListPage::Refresh);
    Refresh();
}

QString MidiListPage::ChosenPiece() const
{
    const QString entry = m_lastList ? m_lastList->SelectedText() : QString();
    return entry.isEmpty() ? QString() : m_state.MidiFolder + entry;
}

void MidiListPage::PlayClick()
{
    if (m_listening && !m_listening->MusicFile().isEmpty())
        Play(m_listening->MusicFile()); // the same file again: it stops
    else
        Play(ChosenPiece());
}

void MidiListPage::Play(const QString& windowsPath)
{
    if (!m_listening || windowsPath.isEmpty())
        return;
    Q_EMIT Said(m_listening->ToggleMusic(windowsPath));
    Refresh();
}

} // namespace aquarium
