#include "GammaPanel.h"

#include "platform/Ui.h"
#include "widgets/BitmapImage.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include <cmath>

namespace {

QFrame* area(QWidget* parent, int x, int y, int w, int h, QFrame::Shadow shadow)
{
    auto* f = new QFrame(parent);
    f->setGeometry(x, y, w, h);
    f->setFrameStyle(QFrame::Panel | shadow);
    f->setLineWidth(1);
    f->setMouseTracking(true);
    return f;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->move(x, y);
    l->setMouseTracking(true);
    QFont f = l->font();
    f.setPointSize(7);
    l->setFont(f);
    l->adjustSize();
    return l;
}

QString css(TColor c)
{
    return QString("#%1%2%3")
        .arg(GetRValue(c), 2, 16, QLatin1Char('0'))
        .arg(GetGValue(c), 2, 16, QLatin1Char('0'))
        .arg(GetBValue(c), 2, 16, QLatin1Char('0'));
}

} // namespace

TGammaPanel::TGammaPanel(QWidget* parent) : QFrame(parent), m_picture(GammaPicture())
{
    setObjectName("gamma");
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);

    // The palette, centred in its area, with a picker cursor.
    QFrame* paletteArea = area(this, 8, 7, 50, 100, QFrame::Sunken);
    PalettePicture = new QLabel(paletteArea);
    PalettePicture->setObjectName("GammaPicture");
    PalettePicture->setPixmap(QPixmap::fromImage(ImageFromBitmap(m_picture)));
    PalettePicture->setGeometry((50 - m_picture.Width()) / 2, (100 - m_picture.Height()) / 2, m_picture.Width(),
                                m_picture.Height());
    PalettePicture->setCursor(Qt::CrossCursor);
    PalettePicture->setMouseTracking(true);

    // The swatches: the first made last, so it lies in front.
    QFrame* swatchArea = area(this, 8, 111, 50, 50, QFrame::Sunken);
    SecondSwatch = new QFrame(swatchArea);
    SecondSwatch->setObjectName("SecondSwatch");
    SecondSwatch->setGeometry(16, 16, 30, 30);
    FirstSwatch = new QFrame(swatchArea);
    FirstSwatch->setObjectName("FirstSwatch");
    FirstSwatch->setGeometry(4, 4, 30, 30);
    for (QFrame* s : {FirstSwatch, SecondSwatch})
        s->setMouseTracking(true);
    paintSwatch(FirstSwatch, m_first);
    paintSwatch(SecondSwatch, m_second);
    XLabel = label(swatchArea, "XLabel", "X", 6, 35);
    XLabel->setCursor(Qt::PointingHandCursor);

    // The preview and the colour values.
    QFrame* infoArea = area(this, 8, 165, 50, 80, QFrame::Sunken);
    Preview = new QLabel(infoArea);
    Preview->setObjectName("Preview");
    Preview->setGeometry(6, 44, 36, 30);
    Preview->setAlignment(Qt::AlignCenter);
    Preview->setMouseTracking(true);
    QFont small = Preview->font();
    small.setPointSize(7);
    Preview->setFont(small);
    RedLabel = label(infoArea, "RedLabel", "R - - -", 11, 3);
    GreenLabel = label(infoArea, "GreenLabel", "G - - -", 11, 16);
    BlueLabel = label(infoArea, "BlueLabel", "B - - -", 11, 30);
    for (QWidget* w : std::initializer_list<QWidget*>{PalettePicture, FirstSwatch, SecondSwatch, XLabel, Preview,
                                                      paletteArea, swatchArea, infoArea, RedLabel, GreenLabel,
                                                      BlueLabel})
        w->installEventFilter(this);
    ResetPreview();
}

TBitmap TGammaPanel::GammaPicture()
{
    constexpr int w = 45, h = 96, mid = 22;
    TBitmap bmp(w, h);
    for (int y = 0; y < h; ++y) {
        // Hue round the six primaries and secondaries, red at both ends.
        const double hue = 6.0 * y / h;
        const int sector = static_cast<int>(hue);
        const double f = hue - sector;
        double r = 0, g = 0, b = 0;
        switch (sector % 6) {
        case 0: r = 1; g = f; break;
        case 1: r = 1 - f; g = 1; break;
        case 2: g = 1; b = f; break;
        case 3: g = 1 - f; b = 1; break;
        case 4: r = f; b = 1; break;
        default: r = 1; b = 1 - f; break;
        }
        for (int x = 0; x < w; ++x) {
            auto channel = [&](double c) {
                const double v = x <= mid ? c * x / mid : c + (1 - c) * (x - mid) / (w - 1 - mid);
                return static_cast<int>(std::lround(v * 255));
            };
            bmp.SetPixel(x, y, RGB(channel(r), channel(g), channel(b)));
        }
    }
    return bmp;
}

void TGammaPanel::SetFirstColor(TColor color)
{
    m_first = color;
    paintSwatch(FirstSwatch, color);
    changed();
}

void TGammaPanel::SetSecondColor(TColor color)
{
    m_second = color;
    paintSwatch(SecondSwatch, color);
    changed();
}

void TGammaPanel::paintSwatch(QFrame* swatch, TColor color)
{
    swatch->setStyleSheet(QString("QFrame { background: %1; border: 1px solid black; }").arg(css(color)));
}

void TGammaPanel::showPreview(TColor color)
{
    m_preview = color;
    Preview->setText(QString());
    Preview->setStyleSheet(QString("QLabel { background: %1; }").arg(css(color)));
    RedLabel->setText(QString("R %1").arg(GetRValue(color)));
    GreenLabel->setText(QString("G %1").arg(GetGValue(color)));
    BlueLabel->setText(QString("B %1").arg(GetBValue(color)));
    for (QLabel* l : {RedLabel, GreenLabel, BlueLabel})
        l->adjustSize();
}

void TGammaPanel::ResetPreview()
{
    m_preview = kPreviewGrey;
    Preview->setText("None");
    Preview->setStyleSheet(QString("QLabel { background: %1; }").arg(css(kPreviewGrey)));
    RedLabel->setText("R - - -");
    GreenLabel->setText("G - - -");
    BlueLabel->setText("B - - -");
    for (QLabel* l : {RedLabel, GreenLabel, BlueLabel})
        l->adjustSize();
}

void TGammaPanel::PaletteMouseMove(int x, int y)
{
    if (x < 0 || y < 0 || x >= m_picture.Width() || y >= m_picture.Height())
        return;
    showPreview(m_picture.Pixel(x, y));
}

void TGammaPanel::PaletteClick()
{
    // The property is set directly; the one change event follows.
    if (m_targetSecond) {
        m_second = m_preview;
        paintSwatch(SecondSwatch, m_second);
    } else {
        m_first = m_preview;
        paintSwatch(FirstSwatch, m_first);
    }
    changed();
}

void TGammaPanel::SwatchMouseMove(bool first)
{
    showPreview(first ? m_first : m_second);
}

void TGammaPanel::SwatchMouseDown(bool first)
{
    TColor& color = first ? m_first : m_second;
    if (const auto chosen = UI().ChooseColor(color)) {
        color = *chosen;
        paintSwatch(first ? FirstSwatch : SecondSwatch, color);
    }
    changed(); // also after Cancel: the editor applies the colours again
}

void TGammaPanel::XClick()
{
    m_targetSecond = !m_targetSecond;
    // The swatch in front is the one palette clicks set.
    if (m_targetSecond)
        FirstSwatch->stackUnder(SecondSwatch);
    else
        SecondSwatch->stackUnder(FirstSwatch);
}

void TGammaPanel::changed()
{
    update();
    if (OnChange)
        OnChange(this);
}

bool TGammaPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (watched == PalettePicture)
            PaletteMouseMove(me->position().toPoint().x(), me->position().toPoint().y());
        else if (watched == FirstSwatch || watched == SecondSwatch)
            SwatchMouseMove(watched == FirstSwatch);
        else
            ResetPreview();
        return true; // handled here, not again by the areas behind
    } else if (event->type() == QEvent::MouseButtonPress) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if ((watched == FirstSwatch || watched == SecondSwatch) && me->button() == Qt::LeftButton) {
            SwatchMouseDown(watched == FirstSwatch);
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton && watched == PalettePicture
            && PalettePicture->rect().contains(me->position().toPoint())) {
            PaletteClick();
            return true;
        }
        if (me->button() == Qt::LeftButton && watched == XLabel && XLabel->rect().contains(me->position().toPoint())) {
            XClick();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TGammaPanel::mouseMoveEvent(QMouseEvent* event)
{
    ResetPreview();
    QFrame::mouseMoveEvent(event);
}

void TGammaPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (width() != kWidth || height() != kHeight)
        resize(kWidth, kHeight);
}
