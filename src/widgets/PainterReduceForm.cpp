#include "PainterReduceForm.h"

#include "ImageControl.h"

#include "gif/GIFImage.h"
#include "platform/ui/GuardedActions.h"
#include "platform/Ui.h"

#include <QActionGroup>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct TPaletteItem {
    const char* Name;
    const char* Caption;
    TColorReduction Method;
};
const TPaletteItem kPalettes[] = {
    {"None1", "&None", rmNone},
    {"WindowsSystem1", "&Windows system (20 colors)", rmWindows20},
    {"WindowsHalftone1", "W&indows halftone (256 colors)", rmWindows256},
    {"WindowsGrayscale1", "W&in&dows grayscale (4 colors)", rmWindowsGray},
    {"Monochrome1", "&Monochrome (black/white)", rmMonochrome},
    {"Grayscale1", "&Grayscale (256 shades)", rmGrayScale},
    {"Netscape1", "N&etscape (216 colors)", rmNetscape},
    {"Optimized1", "&Optimized (256 colors)", rmQuantize},
    {"OptimizedWindows1", "&Optimized Windows (256 colors)", rmQuantizeWindows},
    {"Best1", "&Best", rmBest},
};
struct TDitherItem {
    const char* Name;
    const char* Caption;
    TDitherMode Mode;
};
const TDitherItem kDithers[] = {
    {"FloydSteinberg1", "&Floyd Steinberg", dmFloydSteinberg}, {"Nearestcolor1", "&Nearest color", dmNearest},
    {"Stucki1", "Stucki", dmStucki},                           {"Burkes1", "Burkes", dmBurkes},
    {"Sierra1", "Sierra", dmSierra},                           {"JaJuNi1", "JaJuNi", dmJaJuNi},
    {"SteveArche1", "SteveArche", dmSteveArche},
};

QScrollArea* scrolled(QWidget* parent, QWidget* inner)
{
    auto* area = new QScrollArea(parent);
    area->setWidget(inner);
    area->setWidgetResizable(true);
    return area;
}

} // namespace

TPainterReduceF::TPainterReduceF(QWidget* parent) : QDialog(parent)
{
    setObjectName("PainterReduceF");
    setWindowTitle("GIF Optimizer");
    QFont f("Arial");
    f.setPixelSize(14);
    setFont(f);
    resize(620, 387);

    auto* outer = new QVBoxLayout(this);
    Menu = new QMenuBar(this);
    outer->setMenuBar(Menu);
    QMenu* palette = Menu->addMenu("&Palette");
    palette->setObjectName("MenuPalette");
    m_palette = new QActionGroup(this);
    m_bits = new QActionGroup(this);
    for (const TPaletteItem& p : kPalettes) {
        QAction* a = item(m_palette, palette, p.Name, p.Caption);
        a->setData(static_cast<int>(p.Method));
        if (p.Method == rmQuantize) {
            auto* counts = new QMenu(palette);
            for (int bits = 3; bits <= 8; ++bits) {
                const QString caption = QString::number(1 << bits) + " colors";
                const std::string name = "N" + std::to_string(1 << bits) + "colors1";
                QAction* c = item(m_bits, counts, name.c_str(), caption.toUtf8().constData());
                c->setData(bits);
                c->setChecked(bits == 8);
                // A submenu's own item cannot be clicked: choosing a count is how the
                // optimized palette is chosen.
                connect(c, &QAction::triggered, a, [a] { a->setChecked(true); });
            }
            a->setMenu(counts);
        }
        if (p.Method == rmQuantizeWindows)
            a->setChecked(true);
        if (p.Method == rmWindows256)
            connect(a, &QAction::triggered, this, [this] {
                const QScreen* screen = QGuiApplication::primaryScreen();
                const int depth = screen ? screen->depth() : 24;
                if (depth > 8)
                    RunGuarded([&] { UI().ShowMessage(HalftoneNote(depth).toStdString()); });
            });
    }
    palette->addSeparator();
    m_framePalettes = new QAction("Keep Frame Palettes", this);
    m_framePalettes->setObjectName("KeepFramePalettes1");
    m_framePalettes->setCheckable(true);
    palette->addAction(m_framePalettes);
    QMenu* dithering = Menu->addMenu("&Dithering");
    dithering->setObjectName("MenuDithering");
    m_dither = new QActionGroup(this);
    for (const TDitherItem& d : kDithers) {
        QAction* a = item(m_dither, dithering, d.Name, d.Caption);
        a->setData(static_cast<int>(d.Mode));
        a->setChecked(d.Mode == dmFloydSteinberg);
    }

    auto* panels = new QHBoxLayout;
    auto* source = new QGroupBox("Bitmap", this);
    source->setObjectName("PanelSource");
    m_source = source;
    ImageBitmap = new TImageControl;
    ImageBitmap->setObjectName("ImageBitmap");
    (new QVBoxLayout(source))->addWidget(scrolled(source, ImageBitmap));
    auto* gif = new QGroupBox("GIF <= 256 colors", this);
    gif->setObjectName("PanelGIF");
    ImageGIF = new TImageControl;
    ImageGIF->setObjectName("ImageGIF");
    (new QVBoxLayout(gif))->addWidget(scrolled(gif, ImageGIF));
    panels->addWidget(source);
    panels->addWidget(gif);
    outer->addLayout(panels, 1);

    auto* bottom = new QHBoxLayout;
    ButtonConvert = new QToolButton(this);
    ButtonConvert->setObjectName("ButtonConvert");
    ButtonConvert->setText("Convert");
    sizecap = new QLabel("size=", this);
    sizecap->setObjectName("sizecap");
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKBtn");
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("CancelBtn");
    bottom->addWidget(ButtonConvert);
    bottom->addWidget(sizecap);
    bottom->addWidget(ProgressBar, 1);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    outer->addLayout(bottom);
    ConnectGuarded(ButtonConvert, &QToolButton::clicked, this, [this] { Convert(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QAction* TPainterReduceF::item(QActionGroup* group, QMenu* menu, const char* name, const char* caption)
{
    auto* a = new QAction(QString::fromUtf8(caption), this);
    a->setObjectName(name);
    a->setCheckable(true);
    group->addAction(a);
    menu->addAction(a);
    return a;
}

QAction* TPainterReduceF::Action(const QString& name) const { return findChild<QAction*>(name); }

TReduceSettings TPainterReduceF::Settings() const
{
    TReduceSettings s;
    const QAction* p = m_palette->checkedAction();
    s.Palette = p ? static_cast<TColorReduction>(p->data().toInt()) : rmNone;
    const QAction* b = m_bits->checkedAction();
    s.Bits = b ? b->data().toInt() : 8;
    const QAction* d = m_dither->checkedAction();
    s.Dither = d ? static_cast<TDitherMode>(d->data().toInt()) : dmNearest;
    return s;
}

bool TPainterReduceF::KeepFramePalettes() const { return m_framePalettes->isChecked(); }

void TPainterReduceF::SetKeepFramePalettes(bool on) { m_framePalettes->setChecked(on); }

QString TPainterReduceF::HalftoneNote(int bitsPerPixel)
{
    const qint64 colors = bitsPerPixel >= 63 ? 0 : (qint64(1) << bitsPerPixel);
    return "Please note that the Windows Halftone color reduction method\ronly works properly in 256 color display "
           "mode.\r\rSince your display adapter is currently in "
        + QString::number(colors) + " color mode," + "\r" + "the Windows Halftone Palette method will produce the same"
        + "\r" + "result as the Windows System Palette method.";
}

void TPainterReduceF::SetBitmap(const TBitmap& frame)
{
    m_bitmap = frame;
    ImageBitmap->ShowBitmap(frame);
    ImageBitmap->setMinimumSize(frame.Width(), frame.Height());
    ImageGIF->Clear();
    ImageGIF->setMinimumSize(frame.Width(), frame.Height());
}

void TPainterReduceF::Convert()
{
    if (m_bitmap.Empty()) {
        UI().ShowMessage("No bitmap to convert!");
        return;
    }
    ButtonConvert->setEnabled(false);
    struct Reenable {
        QToolButton* b;
        QProgressBar* p;
        ~Reenable()
        {
            b->setEnabled(true);
            p->setValue(0);
        }
    } reenable{ButtonConvert, ProgressBar};
    ImageGIF->Clear();
    const TReduceSettings s = Settings();
    DefaultColorReduction = s.Palette;
    DefaultDitherMode = s.Dither;
    DefaultReductionBits = s.Bits;
    TGIFImage image;
    image.OnProgress = [this](TGIFProgressStage stage, int percent, const std::string&) {
        ProgressBar->setValue(stage == psEnding ? 0 : percent);
    };
    image.Assign(m_bitmap);
    const std::vector<std::uint8_t> bytes = image.SaveToBytes();
    sizecap->setText("Size= " + QString::number(bytes.size()) + " bytes");
    ImageGIF->ShowDocument(image);
}

void TPainterReduceF::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // FormResize: the source panel keeps half the width.
    if (m_source)
        m_source->setFixedWidth(width() / 2);
}
