// TqorArrayButton: a grid of rows x cols push buttons drawn by one control, reporting a
// click by its cell. Each cell has its own caption, hint and back colour, taken from lists
// indexed by cell number = row x cols + column; captions are black, 10 points.
#pragma once

#include <QColor>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// A colour by name or number: "clRed", "clbtnface" (any letter
// case; the system names take the widget palette's colours), a decimal number or "$00FF00"
// (0x00BBGGRR). Nothing for text that is neither.
std::optional<QColor> StringToColor(const std::string& text, const QPalette& palette);

class TqorArrayButton : public QWidget {
    Q_OBJECT
public:
    explicit TqorArrayButton(QWidget* parent = nullptr);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    // Accepted only from 1 to 10.
    void setRows(int rows);
    void setCols(int cols);

    const std::vector<std::string>& Captions() const { return m_captions; }
    void SetCaptions(const std::vector<std::string>& captions);
    const std::vector<std::string>& Hints() const { return m_hints; }
    void SetHints(const std::vector<std::string>& hints) { m_hints = hints; }
    void SetBackColors(const std::vector<std::string>& colors);
    // The control's own hint: shown for cells without a hint of their own.
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint) { m_hint = hint; }
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool on) { m_showHint = on; }

    // Cell geometry: cells are (width - 2) div cols by (height - 2) div rows pixels.
    int CellWidth() const;
    int CellHeight() const;
    // The cell a point lies in: column x div CellWidth, row y div CellHeight. It may lie
    // outside the grid (a column or row of cols or rows and beyond).
    QPoint CellAt(int x, int y) const;
    // The area cell (column, row) covers, one pixel in from the control's edge.
    QRect CellRect(int column, int row) const;
    // The hint of the cell under (x, y): its own, else the control's.
    std::string HintAt(int x, int y) const;

    // The cell pressed with the left button (column, row) while it is held.
    bool Pressed() const { return m_pressed; }
    QPoint PressedCell() const { return m_pressedCell; }

    // At the left button's release, with the cell it was pressed on.
    std::function<void(int column, int row)> onArrayButtonClicked;
    // When a cell's hint shows.
    std::function<void(QObject* sender, const std::string& hint)> onHint;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_rows = 1;
    int m_cols = 1;
    std::vector<std::string> m_captions;
    std::vector<std::string> m_hints;
    std::vector<std::string> m_backColors;
    std::string m_hint;
    bool m_showHint = true;
    bool m_pressed = false;
    QPoint m_pressedCell;
};
