#include "ShapeController.h"

#include "shapes/ShapePaint.h"
#include "ShapeWidget.h"

#include "graphics/NumberRules.h"
#include "platform/ui/GuardedActions.h"
#include "platform/Ui.h"

#include <QActionGroup>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <algorithm>

namespace {

const char* const kPromptTitle = "Shape Controller";
const char* const kGroupPromptTitle = "ShapeController";

template <class T>
bool contains(const std::vector<T*>& list, const T* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <class T>
void removeFrom(std::vector<T*>& list, const T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
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

    QMenu* shapes = submenu(this, "Shape Style");
    for (int t = 0; t < kShapeTypeCount; ++t) {
        const auto type = static_cast<TqorShapeType>(t);
        addIndexed(shapes, ShapeTypeName(type), [type](TqorShape& s) { s.SetShape(type); })->setIcon(iconAt(t));
    }
    if (!m_userShapes.empty()) {
        QMenu* users = submenu(this, "UserShape Style");
        for (std::size_t k = 0; k < m_userShapes.size(); ++k) {
            const std::string name = UserVectorName(m_userShapes[k]);
            addIndexed(users, name, [this, name](TqorShape& s) {
                for (const std::string& line : m_userShapes)
                    if (UserVectorName(line) == name) {
                        s.SetUserVectorString(line);
                        s.SetShape(TqorShapeType::qstUser);
                        return;
                    }
            })->setIcon(iconAt(kShapeTypeCount + kFillDirectionCount + static_cast<int>(k)));
        }
    }
    QMenu* gradients = submenu(this, "GradientStyle");
    for (int d = 0; d < kFillDirectionCount; ++d) {
        const auto direction = static_cast<TqorFillDirection>(d);
        addIndexed(gradients, FillDirectionName(direction), [direction](TqorShape& s) {
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
        radio(addIndexed(brushStyles, BrushStyleName(style), [style](TqorShape& s) {
                  TBrush brush = s.Brush();
                  brush.SetStyle(style);
                  s.SetBrush(brush);
              }),
              brushGroup);
    }
    QMenu* pen = submenu(this, "Pen");
    QMenu* penStyles = submenu(pen, "Style");
    auto* penGroup = new QActionGroup(this);
    for (int i = 0; i < kPenStyleCount; ++i) {
        const auto style = static_cast<TPenStyle>(i);
        radio(addIndexed(penStyles, PenStyleName(style), [style](TqorShape& s) {
                  TPen p = s.Pen();
                  p.Style = style;
                  s.SetPen(p);
              }),
              penGroup);
    }
    addItem(pen, "Color...", [](TqorShape& s) {
        if (const std::optional<TColor> c = UI().ChooseColor(s.Pen().Color)) {
            TPen p = s.Pen();
            p.Color = *c;
            s.SetPen(p);
        }
    });
    addItem(pen, "Size...", [this](TqorShape& s) {
        promptNumber(s, "Enter Pen Size (1..20)", s.Pen().Width, 1, 1, 20, [](TqorShape& shape, int width) {
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
    addIndexed(caption, "Centered", [](TqorShape& s) { s.SetCaptionCentered(!s.CaptionCentered()); });
    addItem(caption, "Angle", [this](TqorShape& s) {
        promptNumber(s, "Enter Caption Angle (-180..0..180)", s.CaptionAngle(), 0, -180, 180,
                     [](TqorShape& shape, int angle) { shape.SetCaptionAngle(angle); });
    });
    QMenu* modes = submenu(this, "Mouse Mode");
    auto* modeGroup = new QActionGroup(this);
    for (int i = 0; i < kMouseModeCount; ++i) {
        const auto mode = static_cast<TShapeMouseMode>(i);
        radio(addIndexed(modes, MouseModeName(mode), [this, mode](TqorShape& s) {
                  s.SetMouseMode(mode);
                  if (onMouseModeChanged)
                      onMouseModeChanged(this, mode);
              }),
              modeGroup);
    }
    check("ActiveMouse", [](TqorShape& s, bool on) { s.SetActiveMouse(on); });
    QMenu* align = submenu(this, "Align/Size");
    for (const char* how : {"Top", "Left", "Right", "Bottom"})
        addCommand(align, how, [this, how] { alignSelection(how); });
    align->addSeparator();
    for (const char* how : {"Equal Height", "Equal Width"})
        addCommand(align, how, [this, how] { alignSelection(how); });
    addItem(this, "GroupName", [this](TqorShape& s) { promptGroupName(s); });
    addItem(this, "ConnectorN", [this](TqorShape& s) { promptConnector(s, &TqorShape::ConnectorN, "ConnectorN"); });
    addItem(this, "ConnectorE", [this](TqorShape& s) { promptConnector(s, &TqorShape::ConnectorE, "ConnectorE"); });
    addItem(this, "ConnectorS", [this](TqorShape& s) { promptConnector(s, &TqorShape::ConnectorS, "ConnectorS"); });
    addItem(this, "ConnectorW", [this](TqorShape& s) { promptConnector(s, &TqorShape::ConnectorW, "ConnectorW"); });
    check("PolyLineMode", [](TqorShape& s, bool on) { s.SetPolyLineMode(on); });
    addSeparator();
    addItem(this, "BringToFront", [this](TqorShape& s) {
        s.raise();
        if (contains(m_shapes, &s)) {
            removeFrom(m_shapes, &s);
            m_shapes.push_back(&s);
        }
    });
    addItem(this, "SendToBack", [this](TqorShape& s) {
        s.lower();
        if (contains(m_shapes, &s)) {
            removeFrom(m_shapes, &s);
            m_shapes.insert(m_shapes.begin(), &s);
        }
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
    setCheck("ActiveMouse", shape->ActiveMouse());
    setCheck(MouseModeName(shape->MouseMode()), true);
    setCheck(BrushStyleName(shape->Brush().Style()), true);
    setCheck(PenStyleName(shape->Pen().Style), true);
}

// --- prompts -----------------------------------------------------------------------------

void TqorShapeController::promptNumber(TqorShape& shape, const std::string& prompt, int current, int fallback, int low,
                                       int high, const std::function<void(TqorShape&, int)>& apply)
{
    std::string text = std::to_string(current);
    if (!UI().InputQuery(kPromptTitle, prompt, text))
        return;
    const int value = StrToIntDef(text, fallback);
    if (value >= low && value <= high)
        apply(shape, value);
}

void TqorShapeController::promptGroupName(TqorShape& shape)
{
    std::string name = m_selected.empty() ? shape.GroupName : m_selected.front()->GroupName;
    if (!UI().InputQuery(kGroupPromptTitle, "Enter Groupname", name))
        return;
    if (m_selected.empty()) {
        shape.GroupName = name;
        return;
    }
    for (TqorShape* s : m_selected)
        s->GroupName = name;
}

void TqorShapeController::promptConnector(TqorShape& shape, std::string TqorShape::*connector, const std::string& name)
{
    std::string value = shape.*connector;
    if (UI().InputQuery(kGroupPromptTitle, "Enter " + name, value))
        shape.*connector = value;
}

// --- shapes, selection, alignment, deletion -----------------------------------------------

void TqorShapeController::trackShape(TqorShape* shape)
{
    // One connection per shape: it is made when the shape first enters a list.
    if (contains(m_shapes, shape) || contains(m_selected, shape))
        return;
    connect(shape, &QObject::destroyed, this, [this](QObject* gone) { forgetShape(gone); });
}

void TqorShapeController::forgetShape(QObject* gone)
{
    auto drop = [gone](std::vector<TqorShape*>& list) {
        list.erase(std::remove_if(list.begin(), list.end(), [gone](TqorShape* s) { return static_cast<QObject*>(s) == gone; }),
                   list.end());
    };
    drop(m_shapes);
    drop(m_selected);
}

void TqorShapeController::RegisterShape(TqorShape* shape)
{
    if (!shape || contains(m_shapes, shape))
        return;
    trackShape(shape);
    m_shapes.push_back(shape);
}

void TqorShapeController::UnregisterShape(TqorShape* shape)
{
    removeFrom(m_shapes, shape);
    if (!contains(m_selected, shape))
        disconnect(shape, &QObject::destroyed, this, nullptr);
}

void TqorShapeController::ToggleShapeSelection(TqorShape* shape)
{
    const std::string group = shape->GroupName;
    if (!contains(m_selected, shape)) {
        if (group.empty()) {
            shape->SetSelected(true);
            trackShape(shape);
            m_selected.push_back(shape);
        } else {
            for (TqorShape* s : m_shapes)
                if (s->GroupName == group && !contains(m_selected, s)) {
                    s->SetSelected(true);
                    m_selected.push_back(s);
                }
        }
    } else if (group.empty()) {
        shape->SetSelected(false);
        removeFrom(m_selected, shape);
    } else {
        for (std::size_t i = m_selected.size(); i-- > 0;) {
            TqorShape* s = m_selected[i];
            if (s->GroupName == group) {
                s->SetSelected(false);
                m_selected.erase(m_selected.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
    if (onShapeSelected)
        onShapeSelected(this, shape);
}

void TqorShapeController::MoveSelection(TqorShape* shape, int dx, int dy)
{
    for (TqorShape* s : m_selected)
        if (s != shape)
            s->SetBounds(s->x() + dx, s->y() + dy, s->width(), s->height());
    const int l = shape->x(), t = shape->y(), w = shape->width(), h = shape->height();
    for (TqorShape* s : m_shapes) {
        if (s == shape || s->GroupName.empty())
            continue;
        if (shape->ConnectorN == s->GroupName) {
            if (s->y() + 5 < t)
                s->SetBounds(s->x(), s->y(), s->width(), t - s->y());
        } else if (shape->ConnectorE == s->GroupName) {
            const int r = l + w, c = s->x() + s->width();
            if (r - 1 < c - 5)
                s->SetBounds(r, s->y(), c - r, s->height());
        } else if (shape->ConnectorS == s->GroupName) {
            const int b = t + h, c = s->y() + s->height();
            if (b - 1 < c - 5)
                s->SetBounds(s->x(), b, s->width(), c - b);
        } else if (shape->ConnectorW == s->GroupName) {
            if (s->x() + 5 < l)
                s->SetBounds(s->x(), s->y(), l - s->x(), s->height());
        }
    }
}

void TqorShapeController::alignSelection(const std::string& how)
{
    if (m_selected.size() < 2)
        return;
    const TqorShape* ref = m_selected.front();
    for (std::size_t i = 1; i < m_selected.size(); ++i) {
        TqorShape* s = m_selected[i];
        int l = s->x(), t = s->y(), w = s->width(), h = s->height();
        if (how == "Top")
            t = ref->y();
        else if (how == "Left")
            l = ref->x();
        else if (how == "Right")
            l = ref->x() + ref->width() - w;
        else if (how == "Bottom")
            t = ref->y() + ref->height() - h;
        else if (how == "Equal Height")
            h = ref->height();
        else if (how == "Equal Width")
            w = ref->width();
        s->SetBounds(l, t, w, h);
    }
}

void TqorShapeController::deleteSelection()
{
    std::vector<TqorShape*> doomed;
    for (TqorShape* s : m_selected)
        if (contains(m_shapes, s))
            doomed.push_back(s);
    m_selected.clear();
    for (TqorShape* s : doomed) {
        removeFrom(m_shapes, s);
        delete s;
    }
    if (onShapeDeleted)
        onShapeDeleted(this);
}
