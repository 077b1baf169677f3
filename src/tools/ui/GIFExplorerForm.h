// TGIFExplorerF, the "GIF Explorer" window: the tree of a GIF file's blocks, the property
// list of the selected block and a preview that depends on it (the animated document,
// one frame on its logical screen, a colour table as a grid of swatches, the text of a
// comment or the dump of an application extension). What it shows comes from
// GIFExplorerModel.h; this class holds the widgets and their wiring.
#pragma once

#include "tools/GIFExplorerModel.h"

#include "graphics/Bitmap.h"
#include "platform/CommandTable.h"

#include <QImage>
#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TCommandActions;
class TFormAnimationSpeed;
class TImageControl;

class TGIFExplorerF : public QMainWindow {
    Q_OBJECT
public:
    explicit TGIFExplorerF(QWidget* parent = nullptr);
    ~TGIFExplorerF() override;

    // Reads a GIF file and shows its tree. A file that breaks off shows what was read;
    // the error is then raised for the command guard to show.
    void Load(const std::string& fileName);
    // The same from the clipboard's "GIF Image" format.
    void LoadFromClipboard();
    // Caption "GIF Explorer", no selection, empty tree and list, no preview.
    void ClearView();

    // The menu commands by id ("file.open", "view.warnings", "animation.speed-800", ...);
    // Action throws std::logic_error for an unknown id.
    const TCommandTable& Commands() const { return m_commands; }
    QAction* Action(const QString& id) const;
    TGIFImage& Document() { return *m_document; }
    const std::string& FileName() const { return m_fileName; }
    unsigned ViewFlags() const { return m_flags; }
    // The node of the selected tree item, or nullptr.
    const TGIFExplorerNode* CurrentNode() const { return m_currentNode; }
    const TGIFPaletteGrid& PaletteGrid() const { return m_grid; }
    // The speed window, once "n % ..." has created it.
    TFormAnimationSpeed* SpeedWindow() const { return m_speedWindow; }
    // The background picture chosen with "Select background" (empty until then).
    const TBitmap& BackgroundPicture() const { return m_background; }

    // Components other code and the tests reach by name.
    QTreeWidget* TreeViewGIF = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QSplitter* SplitterVertical = nullptr;
    QWidget* PanelTree = nullptr;
    QWidget* PanelInfo = nullptr;
    QTableWidget* ListViewInfo = nullptr;
    QSplitter* SplitterPreview = nullptr;
    QStackedWidget* NotebookPreview = nullptr;
    QScrollArea* ScrollBoxPreview = nullptr;
    TImageControl* ImagePreviewAnimate = nullptr;
    TImageControl* ImageBackground = nullptr;
    QScrollArea* ScrollBoxImage = nullptr;
    QWidget* PaintBoxPreview = nullptr; // cross cursor; paints the frame
    QWidget* PaintBoxPalette = nullptr; // cross cursor; paints the palette grid
    QPlainTextEdit* MemoPreview = nullptr;
    QWidget* PanelPaletteInfo = nullptr;
    QLabel* LabelPaletteIndex = nullptr;
    QLabel* LabelPaletteRed = nullptr;
    QLabel* LabelPaletteGreen = nullptr;
    QLabel* LabelPaletteBlue = nullptr;
    QLabel* LabelPaletteHex = nullptr;
    // The two panels of the status bar: progress messages, the animation's frame counter.
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createMenus();
    void createLayout();
    void attachDocumentEvents();

    // Menu handlers.
    void FileOpenClick();
    void MenuFileOpenPreviewClick();
    void MenuFileClick();
    void MenuFileBackgroundClick();
    void MenuAnimationSpeedClick(int speed);
    void MenuAnimationSpeedXClick();
    void refreshNode();

    // Tree: the layout before the selection moves, and the contents after.
    void TreeViewGIFChanging(const TGIFExplorerNode* node, bool force = false);
    void TreeViewGIFChange(const TGIFExplorerNode* node);
    const TGIFExplorerNode* nodeOf(QTreeWidgetItem* item) const;
    void buildTree(const std::string& rootText);
    unsigned flagsFor(const TGIFExplorerNode& node) const;

    // Previews.
    void ApplyAnimationOptions();
    void layoutPreview();
    void layoutPaletteGrid();
    void showFrame(const TGIFSubImage& frame);
    void showText(const std::vector<std::string>& lines);
    void PaintBoxPreviewPaint(class QPainter& p, const QRect& area);
    void PaintBoxPaletteMouseMove(int x, int y);
    void PaintBoxPaletteRender(class QPainter& p, const QRect& area);
    void PaintBoxPreviewMouseMove(int x, int y);
    void setColorLabels(const TGIFColorLabels& labels);
    void setSpeed(int speed);

    // Events of the document and of the animated preview.
    void progress(TGIFProgressStage stage, int percent, const std::string& message);
    bool warning(const TGIFObject& sender, int severity, const std::string& message);
    void animate(int frameIndex);

    std::unique_ptr<TGIFImage> m_document;
    std::string m_fileName;
    std::string m_exportDir; // where Export... last wrote
    TGIFExplorerNode m_tree;
    const TGIFExplorerNode* m_currentNode = nullptr;
    const TGIFObject* m_currentItem = nullptr;
    unsigned m_flags = kGIFInitialViewFlags;
    int m_listHeight = 120;
    bool m_placeList = false;
    bool m_shownOnce = false;
    TGIFPaletteGrid m_grid;
    const TGIFColorMap* m_paletteMap = nullptr;
    const TGIFSubImage* m_frame = nullptr;
    QImage m_frameImage;
    TBitmap m_background;
    TFormAnimationSpeed* m_speedWindow = nullptr;
    std::vector<QIcon> m_nodeImages;
    int m_lastPercent = -1;
    // The menus' state: what View shows, the Animation choices, the speed item checked
    // (its percentage; 0 for "n % ..."), whether the clipboard held a GIF when File opened.
    TCommandTable m_commands;
    TCommandActions* m_actions = nullptr;
    bool m_viewProperties = true;
    bool m_viewPreview = true;
    bool m_viewWarnings = true;
    TGIFAnimationChoice m_choice;
    bool m_tiledBackground = false;
    int m_speedItem = 100;
    bool m_clipboardHasGIF = false;
};
