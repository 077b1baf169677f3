#include "GIFExplorerForm.h"

#include "AnimationSpeedForm.h"

#include "gif/GIFClipboard.h"
#include "graphics/FileWrite.h"
#include "graphics/ImageFile.h"
#include "graphics/MemoryBudget.h"
#include "platform/Clipboard.h"
#include "platform/ui/CommandActions.h"
#include "platform/CommandGuard.h"
#include "platform/Ui.h"
#include "widgets/ExportForm.h"
#include "widgets/ImageControl.h"
#include "workspace/AnimationExport.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>
#include <filesystem>

// A plain drawing surface (the window's paint boxes): painting and mouse moves go to the
// window's handlers.
class TExplorerPaintBox : public QWidget {
public:
    explicit TExplorerPaintBox(QWidget* parent) : QWidget(parent)
    {
        setMouseTracking(true);
        setCursor(Qt::CrossCursor);
    }
    std::function<void(QPainter&, const QRect&)> OnPaint;
    std::function<void(int, int)> OnMouseMove;
    std::function<void()> OnResize;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        if (OnPaint)
            OnPaint(p, event->rect());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (OnMouseMove)
            RunGuarded([&] { OnMouseMove(event->position().toPoint().x(), event->position().toPoint().y()); });
    }
    void resizeEvent(QResizeEvent*) override
    {
        if (OnResize)
            OnResize();
    }
};

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The node images: small glyphs drawn once.
std::vector<QIcon> makeNodeImages()
{
    std::vector<QIcon> icons;
    for (int i = 0; i < kGIFNodeImageCount; ++i) {
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QPen outline(QColor(60, 60, 60), 1);
        p.setPen(outline);
        switch (i) {
        case niDocument: // a film strip
            p.setBrush(QColor(70, 70, 90));
            p.drawRect(2, 1, 12, 14);
            p.setBrush(QColor(150, 200, 255));
            p.drawRect(5, 3, 6, 4);
            p.drawRect(5, 9, 6, 4);
            break;
        case niLoop: { // a circular arrow
            p.setPen(QPen(QColor(0, 120, 0), 2));
            p.drawArc(QRectF(3, 3, 10, 10), 30 * 16, 280 * 16);
            p.setBrush(QColor(0, 120, 0));
            p.setPen(Qt::NoPen);
            p.drawPolygon(QPolygonF({QPointF(11, 1), QPointF(15, 5), QPointF(10, 6)}));
            break;
        }
        case niApplication: // a box with "A"
        case niUnknown:     // a box with "?"
        case niText:        // a box with "T"
        case niHeader: {    // a box with "H"
            p.setBrush(i == niUnknown ? QColor(230, 230, 230) : i == niHeader ? QColor(255, 240, 190) : QColor(220, 235, 255));
            p.drawRect(1, 1, 14, 14);
            QFont f("Arial");
            f.setPixelSize(11);
            f.setBold(true);
            p.setFont(f);
            p.setPen(QColor(30, 30, 120));
            const char* letter = i == niApplication ? "A" : i == niUnknown ? "?" : i == niText ? "T" : "H";
            p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, letter);
            break;
        }
        case niFrame: // a picture: sky and a hill
            p.setBrush(QColor(150, 200, 255));
            p.drawRect(1, 2, 14, 12);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 160, 60));
            p.drawEllipse(QRectF(2, 8, 12, 10));
            break;
        case niComment: { // a speech bubble
            p.setBrush(QColor(255, 255, 210));
            QPainterPath path;
            path.addRoundedRect(QRectF(1, 2, 14, 9), 3, 3);
            path.moveTo(4, 11);
            path.lineTo(4, 15);
            path.lineTo(8, 11);
            p.drawPath(path.simplified());
            break;
        }
        case niPalette: // four swatches
            p.setBrush(QColor(220, 40, 40));
            p.drawRect(1, 1, 6, 6);
            p.setBrush(QColor(40, 180, 40));
            p.drawRect(8, 1, 6, 6);
            p.setBrush(QColor(40, 80, 220));
            p.drawRect(1, 8, 6, 6);
            p.setBrush(QColor(240, 210, 40));
            p.drawRect(8, 8, 6, 6);
            break;
        case niGraphicControl: // a clock
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.drawLine(QPointF(8, 8), QPointF(8, 4));
            p.drawLine(QPointF(8, 8), QPointF(11, 9));
            break;
        }
        icons.emplace_back(pm);
    }
    return icons;
}

// A frame as a picture: its indices through its active table (indices past the table
// black), the transparent index clear.
QImage frameImage(const TGIFSubImage& frame)
{
    if (frame.Empty())
        return QImage();
    MemoryBudget::Check(MemoryBudget::PictureBytes(frame.Width(), frame.Height(), 1, 4), "the frame preview");
    QList<QRgb> table(256, qRgb(0, 0, 0));
    const std::vector<TGIFColor>& colors = frame.ActiveColorMap().Colors();
    for (std::size_t i = 0; i < colors.size() && i < 256; ++i)
        table[static_cast<qsizetype>(i)] = qRgb(colors[i].Red, colors[i].Green, colors[i].Blue);
    const int t = frame.TransparentIndex();
    if (t >= 0 && t < 256)
        table[t] = qRgba(0, 0, 0, 0);
    QImage indexed(frame.Data.data(), frame.Width(), frame.Height(), frame.Width(), QImage::Format_Indexed8);
    indexed.setColorTable(table);
    return indexed.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The background picture repeated over a w x h screen, starting `offset` into the tile.
TBitmap tiledBitmap(const TBitmap& tile, int w, int h, QPoint offset)
{
    TBitmap screen(w, h, TPixelFormat::pf24bit);
    const int tw = tile.Width(), th = tile.Height();
    if (tw <= 0 || th <= 0)
        return screen;
    TBitmap source = tile;
    source.SetPixelFormat(TPixelFormat::pf24bit);
    const int ox = ((offset.x() % tw) + tw) % tw, oy = ((offset.y() % th) + th) % th;
    for (int y = -oy; y < h; y += th)
        for (int x = -ox; x < w; x += tw)
            screen.CopyRect(Point(x, y), source, Rect(0, 0, tw, th));
    return screen;
}

const char* severityName(int severity)
{
    return severity == gsInfo ? "Info" : severity == gsError ? "Error" : "Warning";
}

std::vector<std::string> pictureFilters()
{
    return {"All pictures|*.gif;*.png;*.jpg;*.jpeg;*.bmp;*.ico", "GIF Image|*.gif", "PNG Image|*.png",
            "JPEG Image|*.jpg;*.jpeg", "Bitmaps|*.bmp", "Icons|*.ico"};
}

} // namespace

TGIFExplorerF::TGIFExplorerF(QWidget* parent) : QMainWindow(parent, Qt::Window)
{
    setObjectName("GIFExplorerF");
    setWindowTitle("GIF Explorer");
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);
    m_nodeImages = makeNodeImages();

    createMenus();
    createLayout();
    resize(690, 410 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());

    m_flags = kGIFInitialViewFlags;
    m_fileName = QCoreApplication::applicationFilePath().toStdString();
    m_document = std::make_unique<TGIFImage>();
    attachDocumentEvents();
    ClearView();
}

TGIFExplorerF::~TGIFExplorerF()
{
    ClearView();
}

void TGIFExplorerF::attachDocumentEvents()
{
    m_document->OnWarning = [this](const TGIFObject& sender, int severity, const std::string& message) {
        return warning(sender, severity, message);
    };
    m_document->OnProgress = [this](TGIFProgressStage stage, int percent, const std::string& message) {
        progress(stage, percent, message);
    };
    const QColor window = palette().color(QPalette::Base);
    m_document->DrawBackgroundColor = RGB(window.red(), window.green(), window.blue());
}

QAction* TGIFExplorerF::Action(const QString& id) const
{
    return m_actions->Action(id.toStdString());
}

void TGIFExplorerF::createMenus()
{
    TCommandTable& t = m_commands;
    t.Add({.Id = "file.open", .Caption = "&Open file", .Shortcut = "F3", .Handler = [this] { FileOpenClick(); }});
    t.Add({.Id = "file.open-preview", .Caption = "O&pen with preview", .Shortcut = "Ctrl+F3",
           .Handler = [this] { MenuFileOpenPreviewClick(); }});
    t.Add({.Id = "file.open-clipboard", .Caption = "Op&en from clipboard", .Enabled = [this] { return m_clipboardHasGIF; },
           .Handler = [this] { LoadFromClipboard(); }});
    t.Add({.Id = "file.close", .Caption = "&Close", .Shortcut = "Alt+F3", .Handler = [this] { ClearView(); }});
    t.Add({.Id = "file.export", .Caption = "Ex&port...", .Enabled = [this] { return m_document && !m_document->Images.empty(); },
           .Handler = [this] {
               const std::string name = m_fileName.empty() ? "GIF document" : m_fileName;
               ExportAnimationCommand(ExportAnimationOf(*m_document, name), m_exportDir, this);
           }});
    t.Add({.Id = "file.background", .Caption = "Select &background", .Handler = [this] { MenuFileBackgroundClick(); }});
    t.Add({.Id = "file.exit", .Caption = "E&xit", .Shortcut = "Alt+X", .Handler = [this] { hide(); }});

    t.Add(ToggleCommand("view.properties", "&Properties", m_viewProperties, [this] {
        ListViewInfo->setVisible(m_viewProperties);
        refreshNode();
    }));
    t.Add(ToggleCommand("view.preview", "P&review", m_viewPreview, [this] {
        if (!m_viewPreview)
            NotebookPreview->hide();
        refreshNode();
    }));
    t.Add(ToggleCommand("view.warnings", "&Warnings", m_viewWarnings));

    auto apply = [this] { ApplyAnimationOptions(); };
    TGIFAnimationChoice& c = m_choice;
    t.Add(ToggleCommand("animation.animate", "A&nimate", c.Animate, apply));
    t.Add(ToggleCommand("animation.loop", "&Loop", c.Loop, apply)).Enabled = [&c] { return c.Animate; };
    t.Add(ToggleCommand("animation.clear-on-loop", "&Clear on loop", c.ClearOnLoop, apply));
    // The speeds: one of them shows its check mark, "n % ..." for a speed typed in.
    for (int tag : {50, 100, 200, 400, 800})
        t.Add({.Id = "animation.speed-" + std::to_string(tag), .Caption = std::to_string(tag) + "%",
               .Checked = [this, tag] { return m_speedItem == tag; }, .Handler = [this, tag] { MenuAnimationSpeedClick(tag); }});
    t.Add({.Id = "animation.speed-other", .Caption = "n % ...", .Checked = [this] { return m_speedItem == 0; },
           .Handler = [this] { MenuAnimationSpeedXClick(); }});
    t.Add(ToggleCommand("animation.threaded", "&Threaded", c.Threaded, apply));
    t.Add(ToggleCommand("animation.buffered", "&Buffered", c.Buffered, apply)).Enabled = [&c] { return c.Threaded; };
    t.Add(ToggleCommand("animation.stretch", "&Stretch", c.Stretch, apply)).Enabled = [&c] { return !c.Tile; };
    t.Add(ToggleCommand("animation.tile", "T&ile", c.Tile, apply)).Enabled = [&c] { return !c.Stretch; };
    t.Add(ToggleCommand("animation.transparent", "T&ransparent", c.Transparent, apply));
    t.Add(ToggleCommand("animation.dither", "&Dither", c.Dither, apply));
    t.Add(ToggleCommand("animation.auto-dither", "A&uto dither", c.AutoDither, apply)).Enabled = [&c] { return c.Dither; };
    t.Add(ToggleCommand("animation.tiled-background", "T&iled Background", m_tiledBackground, apply));
    m_actions = new TCommandActions(this, m_commands);

    menuBar()->setObjectName("MainMenu1");
    auto menu = [&](QMenu* parent, const char* name, const char* caption) {
        QMenu* m = parent ? parent->addMenu(QString::fromUtf8(caption)) : menuBar()->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString(name) + "Menu");
        m->menuAction()->setObjectName(name);
        return m;
    };
    QMenu* file = menu(nullptr, "MenuFile", "&File");
    m_actions->AddTo(file, {"file.open", "file.open-preview", "file.open-clipboard", "file.close", "-", "file.export", "-", "file.background", "-",
                            "file.exit"});
    connect(file, &QMenu::aboutToShow, this, [this] { RunGuarded([this] { MenuFileClick(); }); });
    m_actions->AddTo(menu(nullptr, "MenuView", "&View"), {"view.properties", "view.preview", "view.warnings"});
    QMenu* animation = menu(nullptr, "MenuAnimation", "&Animation");
    m_actions->AddTo(animation, {"animation.animate", "animation.loop", "animation.clear-on-loop"});
    m_actions->AddTo(menu(animation, "MenuAnimationSpeed", "&Speed"),
                     {"animation.speed-50", "animation.speed-100", "animation.speed-200", "animation.speed-400",
                      "animation.speed-800", "-", "animation.speed-other"});
    m_actions->AddTo(animation, {"-", "animation.threaded", "animation.buffered", "-", "animation.stretch", "animation.tile",
                                 "animation.transparent", "-", "animation.dither", "animation.auto-dither", "-",
                                 "animation.tiled-background"});
    m_actions->Update();
}

void TGIFExplorerF::createLayout()
{
    SplitterVertical = new QSplitter(Qt::Horizontal, this);
    SplitterVertical->setObjectName("SplitterVertical");
    SplitterVertical->setOpaqueResize(true);
    SplitterVertical->setChildrenCollapsible(false);
    setCentralWidget(SplitterVertical);

    PanelTree = new QWidget(SplitterVertical);
    PanelTree->setObjectName("PanelTree");
    auto* treeBox = new QVBoxLayout(PanelTree);
    treeBox->setContentsMargins(0, 0, 0, 0);
    treeBox->setSpacing(0);
    TreeViewGIF = new QTreeWidget(PanelTree);
    TreeViewGIF->setObjectName("TreeViewGIF");
    TreeViewGIF->setHeaderHidden(true);
    TreeViewGIF->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeViewGIF->setUniformRowHeights(true); // keeps a tree of thousands of frames quick
    TreeViewGIF->setIconSize(QSize(16, 16));
    ProgressBar = new QProgressBar(PanelTree);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setMaximumHeight(12);
    treeBox->addWidget(TreeViewGIF, 1);
    treeBox->addWidget(ProgressBar);

    PanelInfo = new QWidget(SplitterVertical);
    PanelInfo->setObjectName("PanelInfo");
    auto* infoBox = new QVBoxLayout(PanelInfo);
    infoBox->setContentsMargins(0, 0, 0, 0);
    infoBox->setSpacing(0);
    SplitterPreview = new QSplitter(Qt::Vertical, PanelInfo);
    SplitterPreview->setObjectName("SplitterPreview");
    SplitterPreview->setOpaqueResize(true);
    SplitterPreview->setChildrenCollapsible(false);

    ListViewInfo = new QTableWidget(0, 2, SplitterPreview);
    ListViewInfo->setObjectName("ListViewInfo");
    ListViewInfo->setHorizontalHeaderLabels({"Property", "Value"});
    ListViewInfo->verticalHeader()->hide();
    ListViewInfo->horizontalHeader()->setStretchLastSection(true);
    ListViewInfo->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ListViewInfo->verticalHeader()->setDefaultSectionSize(17);
    ListViewInfo->setColumnWidth(0, 130);
    ListViewInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListViewInfo->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListViewInfo->setSelectionMode(QAbstractItemView::SingleSelection);
    ListViewInfo->setWordWrap(false);

    NotebookPreview = new QStackedWidget(SplitterPreview);
    NotebookPreview->setObjectName("NotebookPreview");
    // A page of the preview, filled by one widget.
    auto page = [this](const char* name) {
        auto* p = new QWidget;
        p->setObjectName(name);
        auto* box = new QVBoxLayout(p);
        box->setContentsMargins(0, 0, 0, 0);
        NotebookPreview->addWidget(p);
        return std::make_pair(p, box);
    };

    // Page: the animated document over an optional background picture.
    auto [pageFile, fileBox] = page("PagePreviewFile");
    ScrollBoxPreview = new QScrollArea(pageFile);
    ScrollBoxPreview->setObjectName("ScrollBoxPreview");
    ScrollBoxPreview->setWidgetResizable(false);
    auto* area = new QWidget;
    area->setObjectName("PanelPreviewArea");
    ImageBackground = new TImageControl(area);
    ImageBackground->setObjectName("ImageBackground");
    ImageBackground->SetFit(TImageFit::Tile);
    ImageBackground->hide();
    ImagePreviewAnimate = new TImageControl(area);
    ImagePreviewAnimate->setObjectName("ImagePreviewAnimate");
    ScrollBoxPreview->setWidget(area);
    ScrollBoxPreview->viewport()->installEventFilter(this);
    fileBox->addWidget(ScrollBoxPreview);

    // Page: one frame on its logical screen.
    auto [pageImage, imageBox] = page("PagePreviewImage");
    ScrollBoxImage = new QScrollArea(pageImage);
    ScrollBoxImage->setObjectName("ScrollBoxImage");
    ScrollBoxImage->setWidgetResizable(false);
    ScrollBoxImage->setAlignment(Qt::AlignCenter); // centred when it fits, scrolled when not
    auto* framePaintBox = new TExplorerPaintBox(nullptr);
    PaintBoxPreview = framePaintBox;
    PaintBoxPreview->setObjectName("PaintBoxPreview");
    framePaintBox->OnPaint = [this](QPainter& p, const QRect& r) { PaintBoxPreviewPaint(p, r); };
    framePaintBox->OnMouseMove = [this](int x, int y) { PaintBoxPreviewMouseMove(x, y); };
    ScrollBoxImage->setWidget(PaintBoxPreview);
    imageBox->addWidget(ScrollBoxImage);

    // Page: a colour table as a grid of swatches.
    auto [pagePalette, paletteBox] = page("PagePreviewPalette");
    auto* palettePaintBox = new TExplorerPaintBox(pagePalette);
    PaintBoxPalette = palettePaintBox;
    PaintBoxPalette->setObjectName("PaintBoxPalette");
    palettePaintBox->OnPaint = [this](QPainter& p, const QRect& r) { PaintBoxPaletteRender(p, r); };
    palettePaintBox->OnMouseMove = [this](int x, int y) { PaintBoxPaletteMouseMove(x, y); };
    palettePaintBox->OnResize = [this] { layoutPaletteGrid(); };
    paletteBox->addWidget(PaintBoxPalette);

    // Page: text of a comment or the dump of an application extension.
    auto [pageText, textBox] = page("PagePreviewText");
    MemoPreview = new QPlainTextEdit(pageText);
    MemoPreview->setObjectName("MemoPreview");
    MemoPreview->setReadOnly(true);
    MemoPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setFamily("Courier New");
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(9);
    MemoPreview->setFont(mono);
    textBox->addWidget(MemoPreview);

    SplitterPreview->addWidget(ListViewInfo);
    SplitterPreview->addWidget(NotebookPreview);
    SplitterPreview->setStretchFactor(0, 0);
    SplitterPreview->setStretchFactor(1, 1);
    SplitterPreview->setSizes({m_listHeight, 410 - m_listHeight});
    NotebookPreview->hide();
    infoBox->addWidget(SplitterPreview, 1);

    PanelPaletteInfo = new QWidget(PanelInfo);
    PanelPaletteInfo->setObjectName("PanelPaletteInfo");
    auto* strip = new QHBoxLayout(PanelPaletteInfo);
    strip->setContentsMargins(2, 2, 2, 2);
    auto label = [&](const char* caption, const char* name, const char* text) {
        strip->addWidget(new QLabel(caption, PanelPaletteInfo));
        auto* l = new QLabel(text, PanelPaletteInfo);
        l->setObjectName(name);
        l->setMinimumWidth(36);
        strip->addWidget(l);
        return l;
    };
    LabelPaletteIndex = label("  Index: ", "LabelPaletteIndex", "");
    LabelPaletteRed = label("Red: ", "LabelPaletteRed", "");
    LabelPaletteGreen = label("Green: ", "LabelPaletteGreen", "");
    LabelPaletteBlue = label("Blue: ", "LabelPaletteBlue", "");
    LabelPaletteHex = label("Hex: ", "LabelPaletteHex", "000000");
    LabelPaletteHex->setMinimumWidth(50);
    strip->addStretch(1);
    PanelPaletteInfo->hide();
    infoBox->addWidget(PanelPaletteInfo);

    SplitterVertical->addWidget(PanelTree);
    SplitterVertical->addWidget(PanelInfo);
    SplitterVertical->setStretchFactor(0, 0);
    SplitterVertical->setStretchFactor(1, 1);

    statusBar()->setObjectName("StatusBar");
    StatusPanel0 = new QLabel(statusBar());
    StatusPanel0->setObjectName("StatusPanel0");
    StatusPanel1 = new QLabel(statusBar());
    StatusPanel1->setObjectName("StatusPanel1");
    StatusPanel1->setMinimumWidth(140);
    statusBar()->addWidget(StatusPanel0, 1);
    statusBar()->addWidget(StatusPanel1);

    connect(TreeViewGIF, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
        RunGuarded([&] {
            const TGIFExplorerNode* node = nodeOf(current);
            TreeViewGIFChanging(node);
            TreeViewGIFChange(node);
        });
    });
    connect(ImagePreviewAnimate, &TImageControl::FramePainted, this, [this](int index) { animate(index); });
    connect(ImagePreviewAnimate, &TImageControl::AnimationEnded, this, [this] { animate(-1); });
    connect(SplitterVertical, &QSplitter::splitterMoved, this, [this] { layoutPreview(); });
    connect(SplitterPreview, &QSplitter::splitterMoved, this, [this] {
        if ((m_flags & vfProperties) && (m_flags & vfPreview))
            m_listHeight = ListViewInfo->height();
    });
}

// --- Loading ----------------------------------------------------------------------------

void TGIFExplorerF::ClearView()
{
    setWindowTitle("GIF Explorer");
    m_currentNode = nullptr;
    m_currentItem = nullptr;
    m_paletteMap = nullptr;
    m_frame = nullptr;
    m_frameImage = QImage();
    if (ImagePreviewAnimate)
        ImagePreviewAnimate->Clear();
    {
        const QSignalBlocker block(TreeViewGIF);
        TreeViewGIF->clear();
    }
    m_tree = TGIFExplorerNode();
    ListViewInfo->setRowCount(0);
    NotebookPreview->hide();
    PanelPaletteInfo->hide();
    StatusPanel0->clear();
    StatusPanel1->clear();
}

void TGIFExplorerF::Load(const std::string& fileName)
{
    WaitCursor wait;
    ClearView();
    m_fileName = std::filesystem::absolute(std::filesystem::path(fileName)).lexically_normal().string();
    const std::exception_ptr failure = GIFExplorerLoad(*m_document, [this] { m_document->LoadFromFile(m_fileName); });
    if (!m_document->Header.FileVersion.empty()) {
        // What was read is shown, also when the file broke off after it.
        const std::string name = std::filesystem::path(m_fileName).filename().string();
        buildTree(name);
        setWindowTitle("GIF Explorer: " + qs(name));
    }
    if (failure) {
        StatusPanel0->setText(qs(ExceptionMessage(failure))); // stays beside what was read
        std::rethrow_exception(failure);
    }
}

void TGIFExplorerF::LoadFromClipboard()
{
    WaitCursor wait;
    ClearView();
    m_fileName = "[Clipboard]";
    if (!ClipboardHasFormat(kGIFClipboardFormat))
        throw GIFException("Unsupported clipboard format");
    const std::vector<std::uint8_t> data = ClipboardData(kGIFClipboardFormat);
    const std::exception_ptr failure =
        GIFExplorerLoad(*m_document, [&] { LoadGIFClipboardData(*m_document, kGIFClipboardFormat, data); });
    if (!m_document->Header.FileVersion.empty()) {
        buildTree("[Clipboard]");
        setWindowTitle("GIF Explorer: [Clipboard]");
    }
    if (failure) {
        StatusPanel0->setText(qs(ExceptionMessage(failure)));
        std::rethrow_exception(failure);
    }
}

void TGIFExplorerF::buildTree(const std::string& rootText)
{
    m_tree = BuildGIFExplorerTree(*m_document, rootText);
    // Items are made bottom up and handed to the view in one go: a tree of thousands of
    // frames then lays itself out once.
    auto makeItem = [this](const TGIFExplorerNode& node) {
        auto* item = new QTreeWidgetItem({qs(node.Text)});
        item->setIcon(0, m_nodeImages[static_cast<std::size_t>(node.ImageIndex)]);
        item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&node)));
        return item;
    };
    QTreeWidgetItem* root = makeItem(m_tree);
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(m_tree.Children.size()));
    for (const TGIFExplorerNode& child : m_tree.Children) {
        QTreeWidgetItem* item = makeItem(child);
        for (const TGIFExplorerNode& grandChild : child.Children)
            item->addChild(makeItem(grandChild));
        children.push_back(item);
    }
    root->addChildren(children);
    const QSignalBlocker block(TreeViewGIF);
    TreeViewGIF->addTopLevelItem(root);
    root->setExpanded(true);
}

const TGIFExplorerNode* TGIFExplorerF::nodeOf(QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    return reinterpret_cast<const TGIFExplorerNode*>(item->data(0, Qt::UserRole).value<quintptr>());
}

// --- Menus ------------------------------------------------------------------------------

void TGIFExplorerF::MenuFileClick()
{
    m_clipboardHasGIF = ClipboardHasFormat(kGIFClipboardFormat);
    m_actions->Update();
}

void TGIFExplorerF::FileOpenClick()
{
    TFileDialogOptions o;
    o.Title = "Select GIF File";
    o.Filters = {std::string(kGIFFileDescription) + "|*.gif"};
    o.DefaultExt = "gif";
    if (const auto file = UI().OpenFile(o))
        Load(*file);
}

void TGIFExplorerF::MenuFileOpenPreviewClick()
{
    TFileDialogOptions o;
    o.Title = "Select GIF File";
    o.Filters = {std::string(kGIFFileDescription) + "|*.gif"};
    o.DefaultExt = "gif";
    o.Preview = true;
    o.InitialDir = std::filesystem::path(m_fileName).parent_path().string();
    if (const std::optional<std::string> file = UI().OpenFile(o))
        Load(*file);
}

void TGIFExplorerF::MenuFileBackgroundClick()
{
    TFileDialogOptions o;
    o.Title = "Select Background";
    o.Filters = pictureFilters();
    o.DefaultExt = "gif";
    o.Preview = true;
    const std::optional<std::string> file = UI().OpenFile(o);
    if (!file)
        return;
    TBitmap picture;
    const std::vector<std::uint8_t> bytes = ReadFileBytes(*file);
    if (DetectImageFormat(bytes.data(), bytes.size(), *file) == TImageFormat::Gif) {
        // A GIF background is still: its first picture, tiled like any other.
        TGIFImage gif;
        gif.LoadFromBytes(bytes);
        if (gif.Empty())
            throw GIFException("Image is empty");
        picture = gif.Bitmap();
    } else {
        picture = ReadImage(bytes.data(), bytes.size(), *file);
    }
    m_background = std::move(picture);
    ImageBackground->ShowBitmap(m_background);
    ImagePreviewAnimate->StopAnimation();
    ApplyAnimationOptions();
}

void TGIFExplorerF::refreshNode()
{
    TreeViewGIFChanging(m_currentNode, true);
    TreeViewGIFChange(m_currentNode);
}

void TGIFExplorerF::setSpeed(int speed)
{
    m_document->SetAnimationSpeed(speed);
    ImagePreviewAnimate->SetAnimationSpeed(speed);
}

void TGIFExplorerF::MenuAnimationSpeedClick(int speed)
{
    m_speedItem = speed;
    if (m_speedWindow)
        m_speedWindow->SetSpeed(speed);
    setSpeed(speed);
}

void TGIFExplorerF::MenuAnimationSpeedXClick()
{
    m_speedItem = 0;
    if (!m_speedWindow) {
        m_speedWindow = new TFormAnimationSpeed(this);
        m_speedWindow->SetSpeed(m_document->AnimationSpeed());
        m_speedWindow->OnSpeedChange = [this](int speed) { RunGuarded([&] { setSpeed(speed); }); };
        const QWidget* client = centralWidget();
        const QPoint topRight = client->mapToGlobal(QPoint(client->width() - m_speedWindow->width(), 0));
        m_speedWindow->move(topRight);
    }
    m_speedWindow->show();
    m_speedWindow->raise();
}

// --- Selection --------------------------------------------------------------------------

unsigned TGIFExplorerF::flagsFor(const TGIFExplorerNode& node) const
{
    return GIFNodeViewFlags(node.Kind, m_viewProperties, m_viewPreview);
}

void TGIFExplorerF::TreeViewGIFChanging(const TGIFExplorerNode* node, bool force)
{
    if (!m_currentItem)
        return;
    const TGIFObject* item = node ? GIFNodeItem(*m_document, *node) : nullptr;
    // Nodes of one kind share the layout: moving between frames keeps it as it is.
    if (!force && item && std::strcmp(item->ClassName(), m_currentItem->ClassName()) == 0)
        return;
    const unsigned next = item ? flagsFor(*node) : 0;
    if (m_flags & vfDocumentPage)
        ImagePreviewAnimate->Clear();
    const unsigned off = m_flags & ~next;
    if ((off & vfDocumentPage) && m_speedWindow)
        m_speedWindow->hide();
    if (off & vfFrameCounter)
        StatusPanel1->clear();
    if (off & vfPreview)
        NotebookPreview->hide();
    if (off & vfColorInfo)
        PanelPaletteInfo->hide();
    if ((next & 0x0E) == vfProperties) {
        // The list alone fills the area; its height beside a preview is kept for later.
        if ((m_flags & 0x0E) != vfProperties && (m_flags & vfPreview) && ListViewInfo->isVisible())
            m_listHeight = ListViewInfo->height();
    } else if ((next & vfProperties) && (next & vfPreview)) {
        m_placeList = true; // once the preview is shown again
    }
    m_flags = next;
}

void TGIFExplorerF::TreeViewGIFChange(const TGIFExplorerNode* node)
{
    ListViewInfo->setUpdatesEnabled(false);
    ListViewInfo->setRowCount(0);
    ListViewInfo->setUpdatesEnabled(true);
    m_currentNode = node;
    m_currentItem = node ? GIFNodeItem(*m_document, *node) : nullptr;
    m_flags = m_currentItem ? flagsFor(*node) : 0;
    m_paletteMap = nullptr;
    m_frame = nullptr;
    m_frameImage = QImage();

    if (m_currentItem && m_flags) {
        switch (node->Kind) {
        case TGIFNodeKind::Document:
            if (m_flags & vfDocumentPage) {
                NotebookPreview->setCurrentWidget(NotebookPreview->findChild<QWidget*>("PagePreviewFile"));
                NotebookPreview->show(); // laid out at its real size before the animation starts
                ApplyAnimationOptions();
            }
            break;
        case TGIFNodeKind::Frame: {
            const auto& frame = static_cast<const TGIFSubImage&>(*m_currentItem);
            if (frame.Empty())
                m_flags &= ~vfPreview;
            if (m_flags & vfPreview)
                showFrame(frame);
            break;
        }
        case TGIFNodeKind::GlobalPalette:
        case TGIFNodeKind::LocalPalette:
            if (m_flags & vfPreview) {
                m_paletteMap = static_cast<const TGIFColorMap*>(m_currentItem);
                NotebookPreview->setCurrentWidget(NotebookPreview->findChild<QWidget*>("PagePreviewPalette"));
            }
            break;
        case TGIFNodeKind::Comment:
        case TGIFNodeKind::Application:
            if (m_flags & vfPreview)
                showText(GIFNodePreviewText(*m_document, *node));
            break;
        default:
            break;
        }
        if (m_flags & vfProperties) {
            const TGIFPropertyRows rows = GIFNodeRows(*m_document, *node);
            ListViewInfo->setUpdatesEnabled(false);
            ListViewInfo->setRowCount(static_cast<int>(rows.size()));
            for (std::size_t i = 0; i < rows.size(); ++i) {
                ListViewInfo->setItem(static_cast<int>(i), 0, new QTableWidgetItem(qs(rows[i].first)));
                ListViewInfo->setItem(static_cast<int>(i), 1, new QTableWidgetItem(qs(rows[i].second)));
            }
            ListViewInfo->setUpdatesEnabled(true);
        }
    }

    NotebookPreview->setVisible(m_flags & vfPreview);
    PanelPaletteInfo->setVisible(m_flags & vfColorInfo);
    if (m_placeList && (m_flags & vfPreview) && (m_flags & vfProperties)) {
        // The list goes back to the top with the height it had beside a preview.
        const int total = std::max(SplitterPreview->height(), m_listHeight + 40);
        SplitterPreview->setSizes({m_listHeight, total - m_listHeight});
    }
    m_placeList = false;
    if (m_flags & vfPalettePage) {
        layoutPaletteGrid();
        PaintBoxPalette->update();
    }
    if (m_flags & vfFramePage)
        PaintBoxPreview->update();
    if ((m_flags & vfDocumentPage) && m_speedWindow) {
        m_speedWindow->setAttribute(Qt::WA_ShowWithoutActivating);
        m_speedWindow->show();
    }
    if (m_flags & vfSplitter)
        SplitterPreview->handle(1)->show();
    else
        SplitterPreview->handle(1)->hide();
    ListViewInfo->setShowGrid(m_flags & vfProperties);
}

// --- Previews ---------------------------------------------------------------------------

void TGIFExplorerF::ApplyAnimationOptions()
{
    // Stretch and Tile exclude each other (each is disabled while the other is on).
    if (m_choice.Stretch && m_choice.Tile)
        m_choice.Stretch = m_choice.Tile = false;

    if (!(m_flags & vfDocumentPage) || m_document->Empty())
        return;
    ImagePreviewAnimate->SetFit(m_choice.Stretch ? TImageFit::Stretch : m_choice.Tile ? TImageFit::Tile : TImageFit::Centre);
    const bool tiledBackground = !m_background.Empty() && m_tiledBackground;
    ImageBackground->setVisible(tiledBackground);

    const TGIFAnimationChoice& c = m_choice;
    m_document->DrawOptions = GIFExplorerDrawOptions(c);

    layoutPreview();
    // Transparent parts of the animation show the background picture, lined up with it.
    if (tiledBackground && c.Transparent)
        ImagePreviewAnimate->SetPlaybackBackground(
            tiledBitmap(m_background, m_document->Width(), m_document->Height(),
                        QPoint((ImagePreviewAnimate->width() - m_document->Width()) / 2,
                               (ImagePreviewAnimate->height() - m_document->Height()) / 2)));
    else
        ImagePreviewAnimate->SetPlaybackBackground(TBitmap());
    ImagePreviewAnimate->ShowDocument(*m_document);
}

void TGIFExplorerF::layoutPreview()
{
    if (!(m_flags & vfDocumentPage))
        return;
    QWidget* area = ScrollBoxPreview->widget();
    const QSize client = ScrollBoxPreview->viewport()->size();
    QSize size = client;
    if (!m_choice.Stretch) {
        // A picture larger than the box gets scroll bars; a smaller one sits in the middle.
        size = size.expandedTo(QSize(m_document->Width(), m_document->Height()));
    }
    area->resize(size);
    ImageBackground->setGeometry(0, 0, size.width(), size.height());
    ImagePreviewAnimate->setGeometry(0, 0, size.width(), size.height());
}

void TGIFExplorerF::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if ((m_flags & vfProperties) && (m_flags & vfPreview) && ListViewInfo->isVisible())
        m_listHeight = ListViewInfo->height();
    layoutPreview();
}

void TGIFExplorerF::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The designed split, once the window has its real size.
    if (!m_shownOnce) {
        m_shownOnce = true;
        const int total = SplitterVertical->width();
        SplitterVertical->setSizes({250, std::max(total - 250, 100)});
    }
}

bool TGIFExplorerF::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ScrollBoxPreview->viewport() && event->type() == QEvent::Resize)
        layoutPreview();
    return QMainWindow::eventFilter(watched, event);
}

void TGIFExplorerF::showFrame(const TGIFSubImage& frame)
{
    m_frame = &frame;
    m_frameImage = frameImage(frame);
    PaintBoxPreview->setFixedSize(m_document->Width() + 8, m_document->Height() + 8);
    NotebookPreview->setCurrentWidget(NotebookPreview->findChild<QWidget*>("PagePreviewImage"));
}

void TGIFExplorerF::showText(const std::vector<std::string>& lines)
{
    QStringList text;
    for (const std::string& l : lines)
        text.push_back(qs(l));
    MemoPreview->setPlainText(text.join('\n'));
    NotebookPreview->setCurrentWidget(NotebookPreview->findChild<QWidget*>("PagePreviewText"));
}

void TGIFExplorerF::PaintBoxPreviewPaint(QPainter& p, const QRect& area)
{
    p.fillRect(area, palette().color(QPalette::Window));
    if (!m_frame)
        return;
    const int left = m_frame->Left, top = m_frame->Top;
    if (!m_frameImage.isNull())
        p.drawImage(left + 4, top + 4, m_frameImage);
    QPen dotted(Qt::black, 1, Qt::DotLine);
    dotted.setCosmetic(true);
    p.setPen(dotted);
    p.setBrush(Qt::NoBrush);
    // The logical screen, and the frame when it covers less.
    const QRect screen(3, 3, PaintBoxPreview->width() - 7, PaintBoxPreview->height() - 7);
    p.drawRect(screen);
    const QRect bounds(left + 3, top + 3, m_frame->Width() + 1, m_frame->Height() + 1);
    if (bounds != screen)
        p.drawRect(bounds);
}

void TGIFExplorerF::PaintBoxPreviewMouseMove(int x, int y)
{
    if (!m_frame)
        return;
    setColorLabels(FrameColorLabels(*m_frame, x - m_frame->Left - 4, y - m_frame->Top - 4));
}

void TGIFExplorerF::layoutPaletteGrid()
{
    if (!m_paletteMap)
        return;
    m_grid = LayoutPaletteGrid(m_paletteMap->Count(), PaintBoxPalette->width(), PaintBoxPalette->height());
}

void TGIFExplorerF::PaintBoxPaletteRender(QPainter& p, const QRect& area)
{
    const QColor box = palette().color(QPalette::Window);
    // Nothing to draw without a table (the box is only shown with one).
    if (!m_paletteMap || m_grid.CellWidth < 2 || m_grid.CellHeight < 2) {
        p.fillRect(area, box);
        return;
    }
    p.fillRect(area, box);
    const int n = m_paletteMap->Count();
    const std::vector<TGIFColor>& colors = m_paletteMap->Colors();
    const QColor dark = palette().color(QPalette::Dark), light = palette().color(QPalette::Light);
    for (int r = 0; r < m_grid.Rows; ++r) {
        for (int c = 0; c < m_grid.Columns; ++c) {
            QRect cell(m_grid.Left + c * m_grid.CellWidth, m_grid.Top + r * m_grid.CellHeight, m_grid.CellWidth, m_grid.CellHeight);
            if (!cell.intersects(area))
                continue;
            const int index = r * m_grid.Columns + c;
            if (index >= n) {
                p.fillRect(cell, box);
                continue;
            }
            if (m_grid.CellHeight > 6 && m_grid.CellWidth > 3) {
                // A sunken edge, one pixel inside the cell.
                p.setPen(dark);
                p.drawLine(cell.left(), cell.top(), cell.right() - 1, cell.top());
                p.drawLine(cell.left(), cell.top(), cell.left(), cell.bottom() - 1);
                p.setPen(light);
                p.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
                p.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
                cell.adjust(1, 1, -1, -1);
            }
            const TGIFColor col = colors[static_cast<std::size_t>(index)];
            p.fillRect(cell, QColor(col.Red, col.Green, col.Blue));
        }
    }
}

void TGIFExplorerF::PaintBoxPaletteMouseMove(int x, int y)
{
    if (!m_paletteMap)
        return;
    setColorLabels(PaletteColorLabels(*m_paletteMap, PaletteGridIndex(m_grid, m_paletteMap->Count(), x, y)));
}

void TGIFExplorerF::setColorLabels(const TGIFColorLabels& labels)
{
    LabelPaletteIndex->setText(qs(labels[0]));
    LabelPaletteRed->setText(qs(labels[1]));
    LabelPaletteGreen->setText(qs(labels[2]));
    LabelPaletteBlue->setText(qs(labels[3]));
    LabelPaletteHex->setText(qs(labels[4]));
}

// --- Events -----------------------------------------------------------------------------

void TGIFExplorerF::progress(TGIFProgressStage stage, int percent, const std::string& message)
{
    if (stage == psEnding) {
        ProgressBar->setValue(0);
        StatusPanel0->clear();
        m_lastPercent = -1;
    } else {
        // Repainting costs more than reading a small frame: only when the figure moves.
        if (percent == m_lastPercent)
            return;
        m_lastPercent = percent;
        ProgressBar->setValue(std::clamp(percent, 0, 100));
        StatusPanel0->setText(qs(message));
    }
    if (isVisible()) {
        ProgressBar->repaint();
        StatusPanel0->repaint();
    }
}

bool TGIFExplorerF::warning(const TGIFObject& sender, int severity, const std::string& message)
{
    if (!m_viewWarnings)
        return true;
    const std::string text = std::string("GIF Warning:\n") + "Where:    " + GIFWarningSource(*m_document, sender) + "\n"
        + "Severity: " + severityName(severity) + "\n" + "Message:  " + message;
    // Each button on a key of its own; "All" ignores this and every later warning.
    const int answer = UI().ChooseButton("Warning", text, TMsgDlgType::mtWarning, {"&Abort", "&Ignore", "A&ll"});
    if (answer == 2) {
        m_viewWarnings = false;
        m_actions->Update();
        return true;
    }
    return answer == 1;
}

void TGIFExplorerF::animate(int frameIndex)
{
    if (!(m_flags & vfFrameCounter))
        return;
    if (frameIndex < 0) {
        StatusPanel1->clear();
        return;
    }
    const TGIFImage* shown = ImagePreviewAnimate->Document();
    StatusPanel1->setText(QString(" Frame %1 of %2").arg(frameIndex + 1).arg(shown ? shown->Count() : m_document->Count()));
}
