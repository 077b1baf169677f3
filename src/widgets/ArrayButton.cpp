#include "ArrayButton.h"

#include "graphics/Types.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

QColor fromTColor(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

// Entry k of a list, or nothing past its end.
const std::string* entry(const std::vector<std::string>& list, int k)
{
    return k >= 0 && static_cast<std::size_t>(k) < list.size() ? &list[static_cast<std::size_t>(k)] : nullptr;
}

constexpr TColor kSilver = 12632256;

} // namespace

std::optional<QColor> StringToColor(const std::string& text, const QPalette& palette)
{
    const std::string name = lower(text);
    static const std::pair<const char*, TColor> fixed[] = {
        {"clblack", clBlack}, {"clmaroon", clMaroon}, {"clgreen", clGreen},   {"clolive", clOlive},
        {"clnavy", clNavy},   {"clpurple", clPurple}, {"clteal", clTeal},     {"clgray", clGray},
        {"clsilver", clSilver}, {"clred", clRed},     {"cllime", clLime},     {"clyellow", clYellow},
        {"clblue", clBlue},   {"clfuchsia", clFuchsia}, {"claqua", clAqua},   {"clwhite", clWhite},
    };
    for (const auto& [n, c] : fixed)
        if (name == n)
            return fromTColor(c);
    static const std::pair<const char*, QPalette::ColorRole> system[] = {
        {"clbtnface", QPalette::Button},         {"clbtnhighlight", QPalette::Light},
        {"clbtnshadow", QPalette::Mid},          {"clbtntext", QPalette::ButtonText},
        {"clwindow", QPalette::Base},            {"clwindowtext", QPalette::Text},
        {"clhighlight", QPalette::Highlight},    {"clhighlighttext", QPalette::HighlightedText},
        {"cl3dlight", QPalette::Midlight},       {"cl3ddkshadow", QPalette::Shadow},
    };
    for (const auto& [n, role] : system)
        if (name == n)
            return palette.color(role);
    // Numbers: decimal, or hexadecimal after "$" or "0x".
    std::string digits = name;
    int base = 10;
    if (!digits.empty() && digits[0] == '$') {
        digits.erase(0, 1);
        base = 16;
    } else if (digits.size() > 2 && digits[0] == '0' && digits[1] == 'x') {
        digits.erase(0, 2);
        base = 16;
    }
    if (digits.empty() || digits.size() > 10)
        return std::nullopt;
    char* end = nullptr;
    const long long value = std::strtoll(digits.c_str(), &end, base);
    if (*end != '\0' || value < 0 || value > 0xFFFFFFFFLL)
        return std::nullopt;
    return fromTColor(static_cast<TColor>(value));
}

TqorArrayButton::TqorArrayButton(QWidget* parent) : QWidget(parent)
{
    resize(35, 35);
    setMouseTracking(true);
}

void TqorArrayButton::setRows(int rows)
{
    if (rows < 1 || rows > 10)
        return;
    m_rows = rows;
    update();
}

void TqorArrayButton::setCols(int cols)
{
    if (cols < 1 || cols > 10)
        return;
    m_cols = cols;
    update();
}

void TqorArrayButton::SetCaptions(const std::vector<std::string>& captions)
{
    m_captions = captions;
    update();
}

void TqorArrayButton::SetBackColors(const std::vector<std::string>& colors)
{
    m_backColors = colors;
    update();
}

int TqorArrayButton::CellWidth() const { return (width() - 2) / m_cols; }
int TqorArrayButton::CellHeight() const { return (height() - 2) / m_rows; }

QPoint TqorArrayButton::CellAt(int x, int y) const
{
    const int cw = CellWidth(), ch = CellHeight();
    // A control too small for its grid has no cells: every point is outside.
    if (cw <= 0 || ch <= 0)
        return QPoint(m_cols, m_rows);
    return QPoint(x / cw, y / ch);
}

QRect TqorArrayButton::CellRect(int column, int row) const
{
    const int cw = CellWidth(), ch = CellHeight();
    return QRect(column * cw + 1, row * ch + 1, cw, ch);
}

std::string TqorArrayButton::HintAt(int x, int y) const
{
    const QPoint cell = CellAt(x, y);
    if (cell.x() >= 0 && cell.x() < m_cols && cell.y() >= 0 && cell.y() < m_rows)
        if (const std::string* h = entry(m_hints, cell.y() * m_cols + cell.x()))
            return *h;
    return m_hint;
}

bool TqorArrayButton::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (!m_showHint) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const QPoint p = help->pos();
        const std::string hint = HintAt(p.x(), p.y());
        const QPoint cell = CellAt(p.x(), p.y());
        // The hint belongs to the cell: moving into another one brings that cell's hint.
        QToolTip::showText(help->globalPos(), QString::fromStdString(hint), this, CellRect(cell.x(), cell.y()));
        if (onHint)
            onHint(this, hint);
        return true;
    }
    return QWidget::event(event);
}

void TqorArrayButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor highlight = palette().color(QPalette::Light);
    for (int i = 0; i < m_rows; ++i)
        for (int j = 0; j < m_cols; ++j) {
            const int k = i * m_cols + j;
            const QRect r = CellRect(j, i);
            if (r.width() <= 0 || r.height() <= 0)
                continue;
            QColor back = fromTColor(kSilver);
            if (const std::string* s = entry(m_backColors, k))
                back = StringToColor(*s, palette()).value_or(fromTColor(kSilver));
            p.fillRect(r, back);
            // A one-pixel bevel: raised, or sunken for the cell held down.
            const bool sunken = m_pressed && m_pressedCell == QPoint(j, i);
            const QColor topLeft = sunken ? QColor(Qt::black) : highlight;
            const QColor bottomRight = sunken ? highlight : QColor(Qt::black);
            p.setPen(topLeft);
            p.drawLine(r.left(), r.top(), r.right(), r.top());
            p.drawLine(r.left(), r.top(), r.left(), r.bottom());
            p.setPen(bottomRight);
            p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
            if (const std::string* caption = entry(m_captions, k); caption && !caption->empty()) {
                QFont f = font();
                f.setPointSize(10);
                p.setFont(f);
                p.setPen(Qt::black);
                p.drawText(r.adjusted(1, 1, -1, -1), Qt::AlignCenter | Qt::TextSingleLine, QString::fromStdString(*caption));
            }
        }
}

void TqorArrayButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    m_pressed = true;
    m_pressedCell = CellAt(p.x(), p.y());
    update();
}

void TqorArrayButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    update();
    // The cell pressed, wherever the button comes up.
    if (onArrayButtonClicked)
        onArrayButtonClicked(m_pressedCell.x(), m_pressedCell.y());
}
