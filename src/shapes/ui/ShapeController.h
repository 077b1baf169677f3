// TqorShapeController: the popup menu of smart shapes. BuildMenu makes its items from the
// shapes' enumerations (every figure and gradient direction with a 16 x 16 icon, brush
// and pen styles, mouse modes) beside the colour, caption, font, pen, alignment, grouping,
// connector and z-order commands; each command acts on the shape the menu popped up on.
// It also holds the grid and mouse-mode settings shapes consult while dragged. Selection,
// grouping, alignment, connectors, z-order and deletion are a TShapeArrangement of the
// shapes it has met: the controller copies their rectangles and names into it before each
// of those commands and the results back onto the controls afterwards. Grouping by name,
// z-order, deletion and connectors work on the shapes registered with it (RegisterShape).
//
// Every item is a QAction whose objectName is its caption ("Brush Color..."); the items of
// enumerated values (figures, gradient directions, brush and pen styles, mouse modes) are
// named after the value ("qstCircle") and show it readably ("Circle").
#pragma once

#include "shapes/ShapeArrangement.h"
#include "shapes/ShapeModel.h"
#include "shapes/ShapeTypes.h"

#include "graphics/Bitmap.h"

#include <QMenu>
#include <QPointer>

#include <functional>
#include <map>
#include <string>
#include <vector>

class TqorShape;
class QActionGroup;

class TqorShapeController : public QMenu {
    Q_OBJECT
public:
    explicit TqorShapeController(QWidget* parent = nullptr);
    ~TqorShapeController() override;

    // --- settings ------------------------------------------------------------------------
    // User shapes: lines "name=x1,y1,x2,y2,...", listed under "UserShape Style" after the
    // next BuildMenu.
    const std::vector<std::string>& UserShapes() const { return m_userShapes; }
    void SetUserShapes(const std::vector<std::string>& lines) { m_userShapes = lines; }
    // Colours of the icons.
    TColor BrushColor() const { return m_iconShape.Brush.Color(); }
    void SetBrushColor(TColor color) { m_iconShape.Brush.SetColor(color); }
    TColor GradientColor() const { return m_iconShape.GradientColor; }
    void SetGradientColor(TColor color) { m_iconShape.GradientColor = color; }
    TColor BackColor = clWhite;

    // When MouseModeController is set, shapes take MouseMode at mouse-down, the grid
    // applies and dragging one selected shape moves the others.
    TShapeMouseMode MouseMode = TShapeMouseMode::mmfixed;
    bool MouseModeController = false;
    bool MouseGrid = false;
    int MouseGridSize = 10; // acts from 2 up

    std::function<void(TqorShapeController* sender)> onShapeDeleted;
    std::function<void(TqorShapeController* sender, TShapeMouseMode mode)> onMouseModeChanged;
    std::function<void(TqorShapeController* sender, TqorShape* shape)> onShapeSelected;
    // Replaces the caption prompt when set: change `caption`, or clear `accept` to keep it.
    std::function<void(TqorShapeController* sender, std::string& caption, bool& accept)> onCaptionEdit;

    // --- the menu --------------------------------------------------------------------------
    // Empties and remakes every item and icon; resets MouseMode to mmfixed and
    // MouseModeController to false.
    void BuildMenu();
    // The shape the commands act on: the one the menu last popped up on.
    TqorShape* PopupComponent() const { return m_popupComponent; }
    void SetPopupComponent(TqorShape* shape) { m_popupComponent = shape; }
    // Pops up on `shape` at a screen position (the shape's right-click does this).
    void PopupFor(TqorShape* shape, const QPoint& globalPos);
    // Sets the check marks from the popup component.
    void OnPopup();
    // An item by caption, or by value name for the enumerated items (the checkable and style
    // items only); nullptr when unknown.
    QAction* CaptionItem(const std::string& caption) const;

    // Icons: 0..75 the shape types, 76..101 the gradient directions on a square, then
    // one per user shape.
    int IconCount() const { return static_cast<int>(m_icons.size()); }
    const TBitmap& Icon(int index) const { return m_icons.at(static_cast<std::size_t>(index)); }

    // --- shapes and selection --------------------------------------------------------------
    // Registered shapes, in z-order bookkeeping order. A shape leaves the lists when it is
    // destroyed.
    void RegisterShape(TqorShape* shape);
    std::vector<TqorShape*> Shapes() const { return shapesOf(m_arrangement.Shapes()); }
    std::vector<TqorShape*> SelectedShapes() const { return shapesOf(m_arrangement.Selection()); }

    // Shift+click on an active shape: selects or deselects it, or its whole group.
    void ToggleShapeSelection(TqorShape* shape);
    // After `shape` was dragged by (dx, dy): moves the other selected shapes and stretches
    // the shapes its connectors name.
    void MoveSelection(TqorShape* shape, int dx, int dy);

private:
    void buildIcons();
    QIcon iconAt(int index) const;
    QAction* addCommand(QMenu* menu, const std::string& caption, std::function<void()> command);
    QAction* addItem(QMenu* menu, const std::string& caption, std::function<void(TqorShape&)> command);
    QAction* addIndexed(QMenu* menu, const std::string& caption, std::function<void(TqorShape&)> command);
    // An item of an enumerated value: found by the value's name, showing ReadableName of
    // it, checked when the shape has that value (one of `group`).
    QAction* addNamed(QMenu* menu, const std::string& name, QActionGroup* group, std::function<void(TqorShape&)> command);
    void promptNumber(TqorShape& shape, const std::string& prompt, const std::string& what, int current, int fallback,
                      int low, int high, const std::function<void(TqorShape&, int)>& apply);
    void promptGroupName(TqorShape& shape);
    void promptConnector(TqorShape& shape, TShapeSide side);
    void deleteSelection();

    // The arrangement's id of a shape; a shape met for the first time gets one, and leaves
    // the arrangement when it is destroyed.
    TShapeId idOf(TqorShape* shape);
    std::vector<TqorShape*> shapesOf(const std::vector<TShapeId>& ids) const;
    // The controls' rectangles, marks and names into the arrangement, and back.
    void readShapes();
    void writeShapes();
    // Runs an arrangement operation between the two.
    template <class Operation>
    void arrange(Operation operation);

    TShapeModel m_iconShape;
    std::vector<std::string> m_userShapes;
    std::vector<TBitmap> m_icons;
    std::map<std::string, QAction*> m_captionIndex;
    QPointer<TqorShape> m_popupComponent;
    TShapeArrangement m_arrangement;
    std::map<TShapeId, TqorShape*> m_arranged;
    TShapeId m_nextId = 1;
};
