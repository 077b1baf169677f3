#include "PainterReduceForm.h"

#include "ImageControl.h"

#include "gif/GIFImage.h"
#include "platform/ui/CommandActions.h"
#include "platform/ui/GuardedActions.h"
#include "platform/Ui.h"

#include <QAction>
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

// A menu item that chooses `Value`.
template <class T>
struct TChoiceItem {
    const char* Id;
    const char* Caption;
    T Value;
};
const TChoiceItem<TColorReduction> kPalettes[] = {
    {"palette.none", "&None", rmNone},
    {"palette.windows-system", "&Windows system (20 colors)", rmWindows20},
    {"palette.windows-halftone", "W&indows halftone (256 colors)", rmWindows256},
    {"palette.windows-grayscale", "W&in&dows grayscale (4 colors)", rmWindowsGray},
    {"palette.monochrome", "&Monochrome (black/white)", rmMonochrome},
    {"palette.grayscale", "&Grayscale (256 shades)", rmGrayScale},
    {"palette.netscape", "N&etscape (216 colors)", rmNetscape},
    {"palette.optimized", "&Optimized (256 colors)", rmQuantize},
    {"palette.optimized-windows", "&Optimized Windows (256 colors)", rmQuantizeWindows},
    {"palette.best", "&Best", rmBest},
};
const TChoiceItem<TDitherMode> kDithers[] = {
    {"dither.floyd-steinberg", "&Floyd Steinberg", dmFloydSteinberg},
    {"dither.nearest-color", "&Nearest color", dmNearest},
    {"dither.stucki", "Stucki", dmStucki},
    {"dither.burkes", "Burkes", dmBurkes},
    {"dither.sierra", "Sierra", dmSierra},
    {"dither.jajuni", "JaJuNi", dmJaJuNi},
    {"dither.steve-arche", "SteveArche", dmSteveArche},
};

// "palette.colors-8" .. "palette.colors-256": the optimized palette's colour counts.
std::string colorsId(int bits)
{
    return "palette.colors-" + std::to_string(1 << bits);
}

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

    // The menus: each item shows whether it is the choice in force.
    TCommandTable& t = m_commands;
    for (const auto& p : kPalettes) {
        const TColorReduction method = p.Value;
        t.Add({.Id = p.Id, .Caption = p.Caption, .Checked = [this, method] { return m_settings.Palette == method; },
               .Handler = [this, method] {
                   m_settings.Palette = method;
                   const QScreen* screen = QGuiApplication::primaryScreen();
                   const int depth = screen ? screen->depth() : 24;
                   if (method == rmWindows256 && depth > 8)
                       UI().ShowMessage(HalftoneNote(depth).toStdString());
               }});
    }
    // A submenu's own item cannot be clicked: choosing a count is how the optimized
    // palette is chosen.
    for (int bits = 3; bits <= 8; ++bits)
        t.Add({.Id = colorsId(bits), .Caption = std::to_string(1 << bits) + " colors",
               .Checked = [this, bits] { return m_settings.Bits == bits; },
               .Handler = [this, bits] {
                   m_settings.Palette = rmQuantize;
                   m_settings.Bits = bits;
               }});
    t.Add(ToggleCommand("palette.keep-frame-palettes", "Keep Frame Palettes", m_keepFramePalettes));
    for (const auto& d : kDithers) {
        const TDitherMode mode = d.Value;
        t.Add({.Id = d.Id, .Caption = d.Caption, .Checked = [this, mode] { return m_settings.Dither == mode; },
               .Handler = [this, mode] { m_settings.Dither = mode; }});
    }
    m_actions = new TCommandActions(this, m_commands);

    auto* outer = new QVBoxLayout(this);
    Menu = new QMenuBar(this);
    outer->setMenuBar(Menu);
    QMenu* palette = Menu->addMenu("&Palette");
    palette->setObjectName("MenuPalette");
    for (const auto& p : kPalettes) {
        m_actions->AddTo(palette, {p.Id});
        if (p.Value == rmQuantize) {
            auto* counts = new QMenu(palette);
            for (int bits = 3; bits <= 8; ++bits)
                m_actions->AddTo(counts, {colorsId(bits).c_str()});
            Action(p.Id)->setMenu(counts);
        }
    }
    m_actions->AddTo(palette, {"-", "palette.keep-frame-palettes"});
    QMenu* dithering = Menu->addMenu("&Dithering");
    dithering->setObjectName("MenuDithering");
    for (const auto& d : kDithers)
        m_actions->AddTo(dithering, {d.Id});
    m_actions->Update();

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

QAction* TPainterReduceF::Action(const QString& id) const
{
    return m_actions->Action(id.toStdString());
}

void TPainterReduceF::SetSettings(const TReduceSettings& settings)
{
    m_settings = settings;
    m_actions->Update();
}

void TPainterReduceF::SetKeepFramePalettes(bool on)
{
    m_keepFramePalettes = on;
    m_actions->Update();
}

QString TPainterReduceF::HalftoneNote(int bitsPerPixel)
{
    // The palette is the program's own, whatever the display: the note says what it is.
    (void)bitsPerPixel;
    return "Please note: the Windows Halftone palette is a fixed set of 256 colors\r(the 20 system colors, a "
           "6 x 6 x 6 color cube and 20 grays). Every pixel\rtakes the nearest of them, whatever your display shows.\r\rIt "
           "gives more colors than the Windows System Palette method (20 colors).";
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
    TGIFImage image;
    image.Reduction = Settings();
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
