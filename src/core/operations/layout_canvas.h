#pragma once

#include "core/document/vocabulary.h"
#include "core/platform/raster.h"

#include <QString>

#include <optional>

namespace aquarium {

struct AppState;

// The set of modifier keys and mouse buttons held at a mouse event; the canvas compares
// whole sets.
enum KeyButton : unsigned {
    kShift = 1,
    kCtrl = 2,
    kAlt = 4,
    kLeftButton = 8,
    kRightButton = 16,
    kMiddleButton = 32,
    kDoubleClick = 64,
};
enum class MouseButton { Left, Right, Middle };

inline constexpr int kCanvasWidth = 320;
inline constexpr int kCanvasHeight = 126;

// The canvas's cells: column of x (0..19 on the canvas), depth of y (0, 2, 4, or 6 below
// the front row), and the 20 x 14 box around an accessory's number.
[[nodiscard]] int ColumnOf(int x);
[[nodiscard]] int DepthOf(int y);
[[nodiscard]] Rect CellBox(int column, int layer);
[[nodiscard]] QPoint NumberPosition(int column, int layer);
// The middle of a cell's box: where the keyboard's cursor points.
[[nodiscard]] QPoint CellCentre(int column, int layer);

inline constexpr ColorRef kBoxRed = 0x0000FF;
inline constexpr ColorRef kBoxYellow = 0x00FFFF;
inline constexpr ColorRef kBoxWhite = 0xFFFFFF;

// The status panel's texts for the accessory under the pointer.
struct StatusPanel
{
    QString Label17 = QStringLiteral("  "); // its picture's name
    QString Label19 = QStringLiteral("  "); // "左右に揺れる" / "静止"
    QString Label26 = QStringLiteral("  "); // "左右一面に広げる" / empty
};

// The entry of the accessory picture fileName (a name in the accessory list), registered
// in the bitmap table if it is new: last match without regard to case wins; a new picture
// is checked before the tables change. Nothing when the table is full (the message shown).
// A picture that cannot be read throws and changes nothing.
[[nodiscard]] std::optional<int> FindObjectBmp(const AppState& state, const QString& fileName);

inline const QString kAccessoryStep = QStringLiteral("アクセサリの配置");

// The canvas's keys. The arrows move the cursor (and what is held with it); Place puts the
// chosen picture at the cursor and holds it; Hold takes the accessory under the cursor or
// lets the held one go, LetGo only lets go; Delete removes the held accessory or the one
// under the cursor; Sway and Spread switch them as Shift+click and Ctrl+click do.
enum class CanvasKey { Left, Right, Up, Down, Place, Hold, LetGo, Delete, Sway, Spread };

// The keyboard's cursor: one of the 20 columns and the depths 0, 2 and 4.
struct CanvasCursor
{
    int Column = 0;
    int Layer = 0;
};

// The layout canvas Image5 as a state machine over the application state: hover, grab,
// drag, drop, delete, place, Shift-click sway, Ctrl-click spread. Changes redraw the tank
// preview, except a change of swaying. Whatever happens from a press to its release is one
// step of the history, "アクセサリの配置". The keys play the same presses, moves and
// releases at the cell of the cursor, so that they change the tables as the mouse does.
class LayoutCanvas
{
public:
    explicit LayoutCanvas(AppState& state) : m_state(state) { }

    void MouseMove(unsigned keys, int x, int y);
    void MouseDown(MouseButton button, unsigned keys, int x, int y);
    // selectedFile: the picture chosen in the accessory list, empty when none.
    void MouseUp(MouseButton button, unsigned keys, int x, int y, const QString& selectedFile);
    // Ends a drag before its button is let go (an undo comes): the accessory stays where
    // it is, the step closes, and the rest of the drag, its release too, changes nothing.
    void EndDrag();
    // A key, while the canvas has the focus; selectedFile as for MouseUp.
    void Key(CanvasKey key, const QString& selectedFile);
    // After the values changed under the canvas (an undo, a load): the highlight and the
    // status panel show what is under the keyboard's cursor, or nothing.
    void Follow(bool cursorShown);

    [[nodiscard]] bool Dragging() const { return m_dragging; }
    [[nodiscard]] const StatusPanel& Status() const { return m_status; }
    [[nodiscard]] CanvasCursor Cursor() const { return m_cursor; }

private:
    void Release(MouseButton button, unsigned keys, int x, int y, const QString& selectedFile);
    void Hover(int x, int y);
    void DragStep(int x, int y);
    void Grab();
    void Place(int x, int y, const QString& selectedFile);
    void PaintBox(int index, ColorRef colour);
    void WriteNumber(int index);
    void ShowStatus(int index);
    void HoverAtCursor();
    // Takes the accessory index as a press on it would.
    void Hold(int index);

    AppState& m_state;
    bool m_dragging = false;
    bool m_dragEnded = false; // the button is still down after EndDrag
    bool m_keyHold = false;   // the drag is the keyboard's: no button to wait for
    CanvasCursor m_cursor;
    StatusPanel m_status;
};

// The 161 x 129 preview of an accessory picture, fitted keeping its proportions at the
// top left, on black. A picture that cannot be read throws.
[[nodiscard]] QImage AccessoryPreview(const AppState& state, const QString& fileName);

// The help text of the accessory page, 21 lines.
[[nodiscard]] QStringList LayoutHelpLines();

} // namespace aquarium
