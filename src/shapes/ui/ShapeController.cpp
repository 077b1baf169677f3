#include "ShapeController.h"

#include "shapes/ShapePaint.h"
#include "ShapeWidget.h"

#include "platform/ui/GuardedActions.h"
#include "platform/NumberPrompt.h"
#include "platform/Ui.h"

#include <QActionGroup>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <algorithm>

namespace {

const char* const kPromptTitle = "Shape Controller";
const char* const kGroupPromptTitle = "ShapeController";

std::string TqorShape::*const kConnectors[kShapeSideCount] = {&TqorShape::ConnectorN, &TqorShape::ConnectorE,
                                                               &TqorShape::ConnectorS, &TqorShape::ConnectorW};
const char* const kConnectorNames[kShapeSideCount] = {"ConnectorN", "ConnectorE", "ConnectorS", "ConnectorW"};

TArrangedShape record(TShapeId id, const TqorShape& shape)
{
    TArrangedShape r;
    r.Id = id;
    r.Bounds = shape.BoundsRect();
    r.Selected = shape.Selected();
    r.GroupName = shape.GroupName;
    for (int side = 0; side < kShapeSideCount; ++side)
        r.Connectors[static_cast<std::size_t>(side)] = shape.*kConnectors[side];
    return r;
}

void applyRecord(const TArrangedShape& r, TqorShape& shape)
{
    if (shape.BoundsRect() != r.Bounds)
        shape.SetBounds(r.Bounds.Left, r.Bounds.Top, r.Bounds.Width(), r.Bounds.Height());
    if (shape.Selected() != r.Selected)
        shape.SetSelected(r.Selected);
    shape.GroupName = r.GroupName;
    for (int side = 0; side < kShapeSideCount; ++side)
        shape.*kConnectors[side] = r.Connectors[static_cast<std::size_t>(side)];
}

} // namespace

TqorShapeController::TqorShapeController(QWidget* parent) : QMenu(parent)
{
    m_iconShape.SetSize(16, 16);
    m_iconShape.GradientColor = clWhite;
    m_iconShape.Brush.SetColor(clBlue);
    connect(this, &QMenu::aboutToShow, this, [this] { RunGuarded([this] { OnPopup(); }); });
}

TqorShapeController::~TqorShapeController() = default;

// --- the arrangement ---------------------------------------------------------------------

TShapeId TqorShapeController::idOf(TqorShape* shape)
{
    for (const auto& [id, s] : m_arranged)
        if (s == shape)
            return id;
    const TShapeId id = m_nextId++;
    m_arranged.emplace(id, shape);
    m_arrangement.Update(record(id, *shape));
    connect(shape, &QObject::destroyed, this, [this, id] {
        m_arrangement.Forget(id);
        m_arranged.erase(id);
    });
    return id;
}

std::vector<TqorShape*> TqorShapeController::shapesOf(const std::vector<TShapeId>& ids) const
{
    std::vector<TqorShape*> shapes;
    for (TShapeId id : ids)
        shapes.push_back(m_arranged.at(id));
    return shapes;
}

void TqorShapeController::readShapes()
{
    for (const auto& [id, shape] : m_arranged)
        m_arrangement.Update(record(id, *shape));
}

void TqorShapeController::writeShapes()
{
    for (const auto& [id, shape] : m_arranged)
        if (const TArrangedShape* r = m_arrangement.Find(id))
            applyRecord(*r, *shape);
}

template <class Operation>
void TqorShapeController::arrange(Operation operation)
{
    readShapes();
    operation();
    writeShapes();
}

// --- icons -------------------------------------------------------------------------------

void TqorShapeController::buildIcons()
{
    auto addIcon = [this] {
        TBitmap bmp(16, 16);
        bmp.Fill(BackColor);
        TCanvas canvas(bmp);
        PaintShape(m_iconShape, canvas, {0, 0, 1.0, 1.0});
        m_icons.push_back(std::move(bmp));
    };
    m_iconShape.Gradient = false;
    for (int t = 0; t < kShapeTypeCount; ++t) {
        m_iconShape.Shape = static_cast<TqorShapeType>(t);
        addIcon();
    }
    m_iconShape.Shape = TqorShapeType::qstSquare;
    m_iconShape.Gradient = true;
    for (int d = 0; d < kFillDirectionCount; ++d) {
        m_iconShape.FillDirection = static_cast<TqorFillDirection>(d);
        addIcon();
    }
    if (!m_userShapes.empty()) {
        m_iconShape.Shape = TqorShapeType::qstUser;
        m_iconShape.Gradient = false;
        for (const std::string& line : m_userShapes) {
            m_iconShape.SetUserVectorString(line);
            addIcon();
        }
    }
}

QIcon TqorShapeController::iconAt(int index) const
{
    const TBitmap& b = Icon(index);
    const QImage image(b.Bits(), b.Width(), b.Height(), b.RowBytes(), QImage::Format_BGR888);
    return QIcon(QPixmap::fromImage(image.copy()));
}

// --- the menu ----------------------------------------------------------------------------

QAction* TqorShapeController::addCommand(QMenu* menu, const std::string& caption, std::function<void()> command)
{
    QAction* action = menu->addAction(QString::fromStdString(caption));
    action->setObjectName(QString::fromStdString(caption));
    if (command)
        ConnectGuarded(action, std::move(command));
    return action;
}

QAction* TqorShapeController::addItem(QMenu* menu, const std::string& caption, std::function<void(TqorShape&)> command)
{
    return addCommand(menu, caption, [this, command = std::move(command)] {
        if (TqorShape* shape = m_popupComponent)
            command(*shape);
    });
}

QAction* TqorShapeController::addIndexed(QMenu* menu, const std::string& caption, std::function<void(TqorShape&)> command)
{
    QAction* action = addItem(menu, caption, std::move(command));
    m_captionIndex.emplace(caption, action);
    return action;
}

QAction* TqorShapeController::addNamed(QMenu* menu, const std::string& name, QActionGroup* group,
                                       std::function<void(TqorShape&)> command)
{
    QAction* action = addIndexed(menu, name, std::move(command));
    action->setText(QString::fromStdString(ReadableName(name)));
    action->setCheckable(true);
    group->addAction(action);
    return action;
}

QAction* TqorShapeController::CaptionItem(const std::string& caption) const
{
    const auto it = m_captionIndex.find(caption);
    return it == m_captionIndex.end() ? nullptr : it->second;
}

void TqorShapeController::BuildMenu()
{
    m_captionIndex.clear();
    m_icons.clear();
    clear();
    // Submenus and radio groups are children of the menu; clear() leaves them.
    std::vector<QPointer<QObject>> old;
    for (QObject* child : children())
        if (qobject_cast<QMenu*>(child) || qobject_cast<QActionGroup*>(child))
            old.emplace_back(child);
    for (const QPointer<QObject>& child : old)
        delete child.data();
    MouseMode = TShapeMouseMode::mmfixed;
    MouseModeController = false;
    buildIcons();

    auto submenu = [this](QMenu* parent, const char* caption) {
        QMenu* menu = new QMenu(QString::fromUtf8(caption), this);
        menu->setObjectName(QString::fromUtf8(caption));
        menu->menuAction()->setObjectName(QString::fromUtf8(caption));
        parent->addMenu(menu);
        return menu;
    };
    auto radio = [](QAction* action, QActionGroup* group) {
        action->setCheckable(true);
        group->addAction(action);
    };
    // Check items: the menu toggles the mark, the command reads it.
    auto check = [this](const char* caption, std::function<void(TqorShape&, bool)> apply) {
        QAction* action = addCommand(this, caption, {});
        action->setCheckable(true);
        m_captionIndex.emplace(caption, action);
        ConnectGuarded(action, [this, action, apply = std::move(apply)] {
            if (TqorShape* shape = m_popupComponent)
                apply(*shape, action->isChecked());
        });
    };

    // The enumerated values show readable names ("Triangle Right"); their items are found,
    // and named, by the values' own names ("qstTriangleRight").
    QMenu* shapes = submenu(this, "Shape Style");
    auto* shapeGroup = new QActionGroup(this);
    for (int t = 0; t < kShapeTypeCount; ++t) {
        const auto type = static_cast<TqorShapeType>(t);
        addNamed(shapes, ShapeTypeName(type), shapeGroup, [type](TqorShape& s) { s.SetShape(type); })->setIcon(iconAt(t));
    }
    if (!m_userShapes.empty()) {
        QMenu* users = submenu(this, "UserShape Style");
        for (std::size_t k = 0; k < m_userShapes.size(); ++k) {
            const std::string name = UserVectorName(m_userShapes[k]);
            radio(addIndexed(users, name, [this, name](TqorShape& s) {
                for (const std::string& line : m_userShapes)
                    if (UserVectorName(line) == name) {
                        s.SetUserVectorString(line);
                        s.SetShape(TqorShapeType::qstUser);
                        return;
                    }
            }), shapeGroup);
            CaptionItem(name)->setIcon(iconAt(kShapeTypeCount + kFillDirectionCount + static_cast<int>(k)));
        }
    }
    QMenu* gradients = submenu(this, "GradientStyle");
    auto* gradientGroup = new QActionGroup(this);
    for (int d = 0; d < kFillDirectionCount; ++d) {
        const auto direction = static_cast<TqorFillDirection>(d);
        addNamed(gradients, FillDirectionName(direction), gradientGroup, [direction](TqorShape& s) {
            s.SetFillDirection(direction);
            s.SetGradient(true);
        })->setIcon(iconAt(kShapeTypeCount + d));
    }
    check("Gradient", [](TqorShape& s, bool on) { s.SetGradient(on); });
    addItem(this, "Gradient Color...", [](TqorShape& s) {
        if (const std::optional<TColor> c = UI().ChooseColor(s.GradientColor()))
            s.SetGradientColor(*c);
    });
    addItem(this, "Brush Color...", [](TqorShape& s) {
        if (const std::optional<TColor> c = UI().ChooseColor(s.Brush().Color())) {
            TBrush brush = s.Brush();
            brush.SetColor(*c);
            s.SetBrush(brush);
        }
    });
    QMenu* brushStyles = submenu(this, "Brush Style");
    auto* brushGroup = new QActionGroup(this);
    for (int i = 0; i < kBrushStyleCount; ++i) {
        const auto style = static_cast<TBrushStyle>(i);
        addNamed(brushStyles, BrushStyleName(style), brushGroup, [style](TqorShape& s) {
            TBrush brush = s.Brush();
            brush.SetStyle(style);
            s.SetBrush(brush);
        });
    }
    QMenu* pen = submenu(this, "Pen");
    QMenu* penStyles = submenu(pen, "Style");
    auto* penGroup = new QActionGroup(this);
    for (int i = 0; i < kPenStyleCount; ++i) {
        const auto style = static_cast<TPenStyle>(i);
        addNamed(penStyles, PenStyleName(style), penGroup, [style](TqorShape& s) {
            TPen p = s.Pen();
            p.Style = style;
            s.SetPen(p);
        });
    }
    addItem(pen, "Color...", [](TqorShape& s) {
        if (const std::optional<TColor> c = UI().ChooseColor(s.Pen().Color)) {
            TPen p = s.Pen();
            p.Color = *c;
            s.SetPen(p);
        }
    });
    addItem(pen, "Size...", [this](TqorShape& s) {
        promptNumber(s, "Enter Pen Size (1..20)", "the pen size", s.Pen().Width, 1, 1, 20, [](TqorShape& shape, int width) {
            TPen p = shape.Pen();
            p.Width = width;
            shape.SetPen(p);
        });
    });
    QMenu* caption = submenu(this, "Caption");
    addItem(caption, "Caption...", [this](TqorShape& s) {
        std::string text = s.Caption();
        if (onCaptionEdit) {
            bool accept = true;
            onCaptionEdit(this, text, accept);
            if (accept)
                s.SetCaption(text);
        } else if (UI().InputQuery(kPromptTitle, "Enter Caption", text)) {
            s.SetCaption(text);
        }
    });
    addItem(caption, "Font...", [](TqorShape& s) {
        const TFont& f = s.Font();
        const TFontChoice initial{f.Name, f.Size(), f.Style, f.Color};
        if (const std::optional<TFontChoice> choice = UI().ChooseFont(initial)) {
            TFont font = f;
            font.Name = choice->Name;
            font.SetSize(choice->Size);
            font.Style = choice->Style;
            font.Color = choice->Color;
            s.SetFont(font);
        }
    });
    addIndexed(caption, "Centered", [](TqorShape& s) { s.SetCaptionCentered(!s.CaptionCentered()); })->setCheckable(true);
    addItem(caption, "Angle", [this](TqorShape& s) {
        promptNumber(s, "Enter Caption Angle (-180..0..180)", "the caption angle", s.CaptionAngle(), 0, -180, 180,
                     [](TqorShape& shape, int angle) { shape.SetCaptionAngle(angle); });
    });
    QMenu* modes = submenu(this, "Mouse Mode");
    auto* modeGroup = new QActionGroup(this);
    for (int i = 0; i < kMouseModeCount; ++i) {
        const auto mode = static_cast<TShapeMouseMode>(i);
        addNamed(modes, MouseModeName(mode), modeGroup, [this, mode](TqorShape& s) {
            s.SetMouseMode(mode);
            if (onMouseModeChanged)
                onMouseModeChanged(this, mode);
        });
    }
    check("ActiveMouse", [](TqorShape& s, bool on) { s.SetActiveMouse(on); });
    QMenu* align = submenu(this, "Align/Size");
    auto alignItem = [this, align](const char* caption, TShapeAlignment how) {
        addCommand(align, caption, [this, how] { arrange([this, how] { m_arrangement.Align(how); }); });
    };
    alignItem("Top", TShapeAlignment::Top);
    alignItem("Left", TShapeAlignment::Left);
    alignItem("Right", TShapeAlignment::Right);
    alignItem("Bottom", TShapeAlignment::Bottom);
    align->addSeparator();
    alignItem("Equal Height", TShapeAlignment::EqualHeight);
    alignItem("Equal Width", TShapeAlignment::EqualWidth);
    addItem(this, "GroupName", [this](TqorShape& s) { promptGroupName(s); });
    for (int side = 0; side < kShapeSideCount; ++side)
        addItem(this, kConnectorNames[side],
                [this, side](TqorShape& s) { promptConnector(s, static_cast<TShapeSide>(side)); });
    check("PolyLineMode", [](TqorShape& s, bool on) { s.SetPolyLineMode(on); });
    addSeparator();
    addItem(this, "BringToFront", [this](TqorShape& s) {
        s.raise();
        arrange([this, id = idOf(&s)] { m_arrangement.BringToFront(id); });
    });
    addItem(this, "SendToBack", [this](TqorShape& s) {
        s.lower();
        arrange([this, id = idOf(&s)] { m_arrangement.SendToBack(id); });
    });
    // Alignment and deletion act on the selection, whatever shape the menu is on.
    addCommand(this, "Delete Object", [this] { deleteSelection(); });
}

void TqorShapeController::PopupFor(TqorShape* shape, const QPoint& globalPos)
{
    m_popupComponent = shape;
    popup(globalPos);
}

void TqorShapeController::OnPopup()
{
    TqorShape* shape = m_popupComponent;
    if (!shape)
        return;
    auto setCheck = [this](const std::string& caption, bool on) {
        if (QAction* a = CaptionItem(caption))
            a->setChecked(on);
    };
    setCheck("PolyLineMode", shape->PolyLineMode());
    setCheck("Gradient", shape->Gradient());
    setCheck("Centered", shape->CaptionCentered());
    if (shape->Shape() != TqorShapeType::qstUser)
        setCheck(ShapeTypeName(shape->Shape()), true);
    else if (QAction* user = CaptionItem(UserVectorName(shape->UserVectorString())))
        user->setChecked(true);
    else if (QAction* any = CaptionItem(ShapeTypeName(TqorShapeType::qstUser)))
        any->setChecked(true);
    setCheck(FillDirectionName(shape->FillDirection()), true);
    setCheck("ActiveMouse", shape->ActiveMouse());
    setCheck(MouseModeName(shape->MouseMode()), true);
    setCheck(BrushStyleName(shape->Brush().Style()), true);
    setCheck(PenStyleName(shape->Pen().Style), true);
}

// --- prompts -----------------------------------------------------------------------------

void TqorShapeController::promptNumber(TqorShape& shape, const std::string& prompt, const std::string& what, int current,
                                       int fallback, int low,
                                       int high, const std::function<void(TqorShape&, int)>& apply)
{
    std::string text = std::to_string(current);
    if (!UI().InputQuery(kPromptTitle, prompt, text))
        return;
    // A number outside the range is not used; text that is none counts as `fallback`. The
    // user is told either way.
    if (const auto value = RangedAnswer(text, what, low, high, TRangeRule::Ignore, fallback))
        apply(shape, *value);
}

void TqorShapeController::promptGroupName(TqorShape& shape)
{
    const TShapeId id = idOf(&shape);
    readShapes();
    std::string name = m_arrangement.GroupNameFor(id);
    if (UI().InputQuery(kGroupPromptTitle, "Enter Groupname", name))
        arrange([&] { m_arrangement.SetGroupName(id, name); });
}

void TqorShapeController::promptConnector(TqorShape& shape, TShapeSide side)
{
    const int index = static_cast<int>(side);
    std::string value = shape.*kConnectors[index];
    if (UI().InputQuery(kGroupPromptTitle, std::string("Enter ") + kConnectorNames[index], value))
        arrange([&] { m_arrangement.Connect(idOf(&shape), side, value); });
}

// --- shapes, selection, alignment, deletion -----------------------------------------------

void TqorShapeController::RegisterShape(TqorShape* shape)
{
    if (shape)
        m_arrangement.Register(idOf(shape));
}

void TqorShapeController::ToggleShapeSelection(TqorShape* shape)
{
    arrange([this, id = idOf(shape)] { m_arrangement.ToggleSelection(id); });
    if (onShapeSelected)
        onShapeSelected(this, shape);
}

void TqorShapeController::MoveSelection(TqorShape* shape, int dx, int dy)
{
    arrange([this, id = idOf(shape), dx, dy] { m_arrangement.MoveSelection(id, dx, dy); });
}

void TqorShapeController::deleteSelection()
{
    std::vector<TShapeId> doomed;
    arrange([&] { doomed = m_arrangement.DeleteSelection(); });
    for (TShapeId id : doomed) {
        TqorShape* shape = m_arranged.at(id);
        m_arranged.erase(id);
        delete shape;
    }
    if (onShapeDeleted)
        onShapeDeleted(this);
}
