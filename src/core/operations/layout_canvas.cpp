#include "core/operations/layout_canvas.h"

#include "core/document/object_bmp.h"
#include "core/document/referenced_files.h"
#include "core/platform/files.h"
#include "core/platform/fonts.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"

#include <algorithm>

namespace aquarium {

int ColumnOf(int x)
{
    return x * 20 / kCanvasWidth;
}

int DepthOf(int y)
{
    return 2 * ((y + kCanvasHeight / 6) * 3 / kCanvasHeight);
}

Rect CellBox(int column, int layer)
{
    return {(4 * column - 1) * kCanvasWidth / 80 - 2, kCanvasHeight * 2 * layer / 12 - 2,
            (4 * column + 3) * kCanvasWidth / 80 + 2, kCanvasHeight * (2 * layer + 1) / 12 + 2};
}

QPoint NumberPosition(int column, int layer)
{
    return {column * kCanvasWidth / 20, kCanvasHeight * layer / 6};
}

QPoint CellCentre(int column, int layer)
{
    const Rect box = CellBox(column, layer);
    return {(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2};
}

namespace {

bool Inside(const Rect& box, int x, int y)
{
    return box.Left < x && x < box.Right && box.Top < y && y < box.Bottom;
}

QString SwayText(int sway)
{
    return sway ? QStringLiteral("左右に揺れる") : QStringLiteral("静止");
}

QString SpreadText(int spread)
{
    return spread ? QStringLiteral("左右一面に広げる") : QString();
}

} // namespace

std::optional<int> FindObjectBmp(const AppState& state, const QString& fileName)
{
    const Aquarium& doc = state.Doc;
    const QString name = StripExtension(doc.DataSubFolder + fileName);
    int found = -1;
    for (int e = 0; e <= doc.LastObjectBmp && e < kMaxObjectBmps; ++e) {
        const QString& entry = doc.ObjectBmpTable[size_t(e)].BmpName;
        if (!entry.isEmpty() && entry.toUpper() == name.toUpper())
            found = e;
    }
    if (found >= 0)
        return found;
    if (doc.LastObjectBmp >= kMaxObjectBmps - 1) {
        state.UserPrompts.ShowMessage(kTooManyBitmaps);
        return std::nullopt;
    }
    return -1;
}

void LayoutCanvas::MouseMove(unsigned keys, int x, int y)
{
    if (m_dragEnded || m_state.Doc.LastObject == -1 || keys == (kShift | kLeftButton))
        return;
    if (m_dragging)
        DragStep(x, y);
    else
        Hover(x, y);
}

void LayoutCanvas::ShowStatus(int index)
{
    if (index < 0) {
        m_status.Label17.clear();
        m_status.Label19.clear();
        m_status.Label26.clear();
        return;
    }
    const Aquarium& doc = m_state.Doc;
    const PlacedObject& o = doc.ObjectTable[size_t(index)];
    m_status.Label17 = (o.BmpIndex >= 0 && o.BmpIndex < kMaxObjectBmps)
                               ? doc.ObjectBmpTable[size_t(o.BmpIndex)].BmpName
                               : QString();
    m_status.Label19 = SwayText(o.Sway);
    m_status.Label26 = SpreadText(o.Spread);
}

void LayoutCanvas::PaintBox(int index, ColorRef colour)
{
    const PlacedObject& o = m_state.Doc.ObjectTable[size_t(index)];
    FillRect(m_state.View.NumberStrip, CellBox(o.XPosition, o.Layer), colour);
}

void LayoutCanvas::WriteNumber(int index)
{
    const PlacedObject& o = m_state.Doc.ObjectTable[size_t(index)];
    const QPoint at = NumberPosition(o.XPosition, o.Layer);
    TextOut(m_state.View.NumberStrip, at.x(), at.y(), QString::number(index + 1), InterfaceFont(12));
}

void LayoutCanvas::Hover(int x, int y)
{
    Aquarium& doc = m_state.Doc;
    const int previous = m_state.View.SelectedObject;
    m_state.View.SelectedObject = -1;
    for (int i = 0; i <= doc.LastObject; ++i) {
        const PlacedObject& o = doc.ObjectTable[size_t(i)];
        if (Inside(CellBox(o.XPosition, o.Layer), x, y)) {
            m_state.View.SelectedObject = i;
            break;
        }
    }
    ShowStatus(m_state.View.SelectedObject);
    if (previous != -1 && previous != m_state.View.SelectedObject && previous <= doc.LastObject) {
        PaintBox(previous, kBoxWhite);
        WriteNumber(previous);
    }
    if (m_state.View.SelectedObject != -1 && m_state.View.SelectedObject != previous) {
        PaintBox(m_state.View.SelectedObject, kBoxYellow);
        WriteNumber(m_state.View.SelectedObject);
    }
}

void LayoutCanvas::DragStep(int x, int y)
{
    Aquarium& doc = m_state.Doc;
    const int column = std::clamp(ColumnOf(x), 0, 19);
    const int layer = std::clamp(DepthOf(y), 0, 4);
    PlacedObject& o = doc.ObjectTable[size_t(doc.LastObject)];
    if (column == o.XPosition && layer == o.Layer)
        return;
    PaintBox(doc.LastObject, kBoxWhite);
    FillRect(m_state.View.NumberStrip, CellBox(column, layer), kBoxRed);
    o.XPosition = column;
    o.Layer = layer;
}

void LayoutCanvas::Grab()
{
    Aquarium& doc = m_state.Doc;
    m_dragging = true;
    std::swap(doc.ObjectTable[size_t(m_state.View.SelectedObject)], doc.ObjectTable[size_t(doc.LastObject)]);
    m_state.View.SelectedObject = -1;
    PaintBox(doc.LastObject, kBoxRed);
    // Where the accessory stands on the sand, whatever its anchor and spread.
    const PlacedObject& o = doc.ObjectTable[size_t(doc.LastObject)];
    const QImage& picture = m_state.View.Sprites.Entries[size_t(std::clamp(o.BmpIndex, 0, 19))].Sprite;
    const int w = picture.width();
    const int h = picture.height();
    const int x0 = std::max(o.XPosition * kPreviewWidth / 20 - w / 2, 0);
    const int y0 = std::max(kPreviewHeight - h - m_state.View.SandHeight, 0);
    InvertRect(m_state.View.TankPicture, {x0, y0, x0 + w, y0 + h});
}

void LayoutCanvas::MouseDown(MouseButton, unsigned keys, int, int)
{
    m_dragEnded = false;
    m_state.Edits.Open(kAccessoryStep);
    Aquarium& doc = m_state.Doc;
    if (doc.LastObject == -1 || m_state.View.SelectedObject == -1)
        return;
    PlacedObject& o = doc.ObjectTable[size_t(m_state.View.SelectedObject)];
    if (keys == (kShift | kLeftButton)) {
        m_dragging = false;
        o.Sway = o.Sway ? 0 : 1;
        m_status.Label19 = SwayText(o.Sway);
        m_state.View.SelectedObject = -1;
    } else if (keys == (kCtrl | kLeftButton)) {
        m_dragging = false;
        o.Spread = o.Spread ? 0 : 1;
        m_status.Label26 = SpreadText(o.Spread);
        m_state.View.SelectedObject = -1;
        DrawTankPreview(m_state);
    } else {
        Grab();
    }
}

void LayoutCanvas::Place(int x, int y, const QString& selectedFile)
{
    Aquarium& doc = m_state.Doc;
    if (doc.LastObject >= kMaxObjects - 1) {
        m_state.UserPrompts.ShowMessage(kTooManyObjects);
        return;
    }
    const std::optional<int> found = FindObjectBmp(m_state, selectedFile);
    if (!found)
        return;
    int index = *found;
    AccessorySprite loaded;
    const QString name = StripExtension(doc.DataSubFolder + selectedFile);
    const QString path = DataFilePath(doc.DataFolder, name, kBitmapExtension);
    if (index < 0) {
        // A new picture is read before anything changes: a broken file leaves the tables.
        loaded = LoadObjectBmp(m_state.FileSystem, path, m_state.Screen());
    }
    ++doc.LastObject;
    PlacedObject& o = doc.ObjectTable[size_t(doc.LastObject)];
    o.XPosition = std::clamp(ColumnOf(x), 0, 19);
    o.VerticalAnchor = 2;
    o.Layer = std::clamp(DepthOf(y), 0, 4);
    o.Sway = 0;
    o.Spread = 0;
    if (index < 0) {
        ++doc.LastObjectBmp;
        index = doc.LastObjectBmp;
        doc.ObjectBmpTable[size_t(index)].BmpName = name;
        m_state.View.Sprites.Set(index, std::move(loaded), path, m_state.Screen());
    }
    o.BmpIndex = index;
    DrawTankPreview(m_state);
}

void LayoutCanvas::MouseUp(MouseButton button, unsigned keys, int x, int y,
                           const QString& selectedFile)
{
    Release(button, keys, x, y, selectedFile);
    m_state.Edits.Close();
}

void LayoutCanvas::EndDrag()
{
    if (!m_dragging)
        return;
    m_dragging = false;
    m_dragEnded = !m_keyHold;
    m_keyHold = false;
    m_state.View.SelectedObject = -1;
    DrawTankPreview(m_state);
    m_state.Edits.Close();
}

void LayoutCanvas::Release(MouseButton button, unsigned keys, int x, int y,
                           const QString& selectedFile)
{
    Aquarium& doc = m_state.Doc;
    m_keyHold = false;
    if (m_dragEnded) {
        m_dragEnded = false;
        return;
    }
    if (keys == kShift || keys == kCtrl)
        return;
    if (m_dragging && button == MouseButton::Right) {
        m_dragging = false;
        // The grabbed accessory is the last: it goes, and its entry holds nothing.
        doc.ObjectTable[size_t(doc.LastObject)] = PlacedObject();
        doc.LastObject = std::max(doc.LastObject - 1, -1);
        m_state.View.SelectedObject = -1;
        DrawTankPreview(m_state);
    } else if (m_dragging) {
        m_dragging = false;
        DrawTankPreview(m_state);
    } else if (m_state.View.SelectedObject == -1 && !selectedFile.isEmpty()) {
        Place(x, y, selectedFile);
    }
}

void LayoutCanvas::HoverAtCursor()
{
    const QPoint at = CellCentre(m_cursor.Column, m_cursor.Layer);
    Hover(at.x(), at.y());
}

void LayoutCanvas::Hold(int index)
{
    const QPoint at = CellCentre(m_cursor.Column, m_cursor.Layer);
    m_state.View.SelectedObject = index;
    MouseDown(MouseButton::Left, kLeftButton, at.x(), at.y());
    m_keyHold = m_dragging;
    if (m_dragging)
        ShowStatus(m_state.Doc.LastObject);
}

void LayoutCanvas::Key(CanvasKey key, const QString& selectedFile)
{
    Aquarium& doc = m_state.Doc;
    if ((m_dragging && !m_keyHold) || m_dragEnded)
        return; // a mouse button is down: its release decides
    const QPoint at = CellCentre(m_cursor.Column, m_cursor.Layer);
    const auto letGo = [&](MouseButton button) {
        MouseUp(button, 0, at.x(), at.y(), QString());
    };
    switch (key) {
    case CanvasKey::Left:
    case CanvasKey::Right:
    case CanvasKey::Up:
    case CanvasKey::Down: {
        m_cursor.Column = std::clamp(m_cursor.Column + (key == CanvasKey::Right)
                                             - (key == CanvasKey::Left), 0, 19);
        m_cursor.Layer = std::clamp(m_cursor.Layer + 2 * (key == CanvasKey::Down)
                                            - 2 * (key == CanvasKey::Up), 0, 4);
        if (!m_dragging) {
            HoverAtCursor();
            return;
        }
        const QPoint to = CellCentre(m_cursor.Column, m_cursor.Layer);
        DragStep(to.x(), to.y());
        return;
    }
    case CanvasKey::Place: {
        if (selectedFile.isEmpty())
            return;
        if (m_dragging)
            letGo(MouseButton::Left);
        // The click lands on no accessory, wherever the cursor stands.
        Hover(-kCanvasWidth, -kCanvasHeight);
        const int before = doc.LastObject;
        MouseDown(MouseButton::Left, kLeftButton, at.x(), at.y());
        MouseUp(MouseButton::Left, 0, at.x(), at.y(), selectedFile);
        if (doc.LastObject > before)
            Hold(doc.LastObject);
        return;
    }
    case CanvasKey::Hold:
        if (m_dragging) {
            letGo(MouseButton::Left);
            HoverAtCursor();
            return;
        }
        HoverAtCursor();
        if (m_state.View.SelectedObject != -1)
            Hold(m_state.View.SelectedObject);
        return;
    case CanvasKey::LetGo:
        if (m_dragging) {
            letGo(MouseButton::Left);
            HoverAtCursor();
        }
        return;
    case CanvasKey::Delete:
        if (!m_dragging) {
            HoverAtCursor();
            if (m_state.View.SelectedObject == -1)
                return;
            MouseDown(MouseButton::Right, kRightButton, at.x(), at.y());
        }
        letGo(MouseButton::Right);
        HoverAtCursor();
        return;
    case CanvasKey::Sway:
    case CanvasKey::Spread: {
        const bool held = m_dragging;
        if (held) {
            letGo(MouseButton::Left); // the held one lands where it is, a step of its own
        } else {
            HoverAtCursor();
        }
        const int index = held ? doc.LastObject : m_state.View.SelectedObject;
        if (index == -1)
            return;
        const unsigned modifier = key == CanvasKey::Sway ? kShift : kCtrl;
        m_state.View.SelectedObject = index;
        MouseDown(MouseButton::Left, modifier | kLeftButton, at.x(), at.y());
        MouseUp(MouseButton::Left, modifier, at.x(), at.y(), QString());
        const StatusPanel changed = m_status;
        if (held) {
            Hold(index);
        } else {
            HoverAtCursor();
        }
        m_status = changed;
        return;
    }
    }
}

void LayoutCanvas::Follow(bool cursorShown)
{
    if (m_dragging)
        return;
    if (cursorShown && m_state.Doc.LastObject != -1) {
        m_state.View.SelectedObject = -1;
        HoverAtCursor();
    } else if (m_state.View.SelectedObject == -1) {
        m_status = StatusPanel(); // as when the page first shows
    } else {
        ShowStatus(m_state.View.SelectedObject);
    }
}

QImage AccessoryPreview(const AppState& state, const QString& fileName)
{
    constexpr int W = 161;
    constexpr int H = 129;
    QImage preview = MakePicture(W, H, kBlack);
    if (fileName.isEmpty())
        return preview;
    const QImage source = state.FileSystem.LoadPicture(state.Doc.DataFolder
                                                       + state.Doc.DataSubFolder + fileName);
    const int w = source.width();
    const int h = source.height();
    QSize size;
    if (double(W) / w > double(H) / h)
        size = QSize(w * H / h, H);
    else
        size = QSize(W, h * W / w);
    StretchCopy(preview, {0, 0, size.width(), size.height()}, source, {0, 0, w, h});
    return preview;
}

QStringList LayoutHelpLines()
{
    return {u"１  新規配置："_qs,
            u"      画像ファイルを選択し、"_qs,
            u"      水槽内アクセサリを選択していない状態で"_qs,
            u"　　　適当な部位をクリック "_qs,
            QString(),
            u"２  移動:："_qs,
            u"      水槽内アクセサリを選択した状態で(黄色)、"_qs,
            u"      ドラッグし(赤に変化)、"_qs,
            u"      適当な位置でドラッグを止めるとその位置に移動"_qs,
            QString(),
            u"３  削除："_qs,
            u"       アイテムを選択(黄色)した状態で右クリック"_qs,
            QString(),
            u"４  状態の変更(水草を動かす、動かさない)："_qs,
            u"     　水槽内アクセサリ(水草)を選択（黄色）した状態で"_qs,
            u"     　Shift Key＋クリック  "_qs,
            QString(),
            u"５　左右一面に広げて表示:"_qs,
            u"     　水槽内アクセサリ(水草)を選択（黄色）した状態で"_qs,
            u"     　Ctrl Key＋クリック  "_qs,
            u"　　　"_qs};
}

} // namespace aquarium
