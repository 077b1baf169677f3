// TPainterEffectsF, the "Painter Effects" window: the effect tree, the bars and the four
// buttons over TPainterEffects. Created once at start-up; the node picked and the bar
// positions stay from one opening to the next. The window knows nothing of the frame
// strip: the main window gives the model its Append and series length.
#pragma once

#include "effects/PainterEffects.h"

#include <QDialog>

#include <set>
#include <vector>

class QLabel;
class QScrollArea;
class QScrollBar;
class QTimer;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TBarValue;
class TEffectImage;

class TPainterEffectsF : public QDialog {
    Q_OBJECT
public:
    explicit TPainterEffectsF(QWidget* parent = nullptr);

    TPainterEffects& Model() { return m_model; }
    // The hand-over of a frame (TPainterEffects::Open) without showing the window.
    void Open(const TBitmap& frame);
    // Open, then the window modally; true when it closed with "Use". The picture to take
    // is then Model().Image().
    bool Execute(const TBitmap& frame);

    // The tree item of node k of PainterEffectNodes().
    QTreeWidgetItem* NodeItem(int k) const;

    QScrollArea* ScrollBox1 = nullptr;
    TEffectImage* image = nullptr;
    QWidget* effectspanel = nullptr;
    QTreeWidget* ETree = nullptr;
    QScrollBar* EBar = nullptr;
    QScrollBar* extrabar = nullptr;
    QScrollBar* cxbar = nullptr;
    QScrollBar* cybar = nullptr;
    QToolButton* SpeedButton1 = nullptr; // "Use"
    QToolButton* btnappend = nullptr;    // "Add"
    QToolButton* btnstep = nullptr;      // "Step Up"
    QToolButton* btnstepdown = nullptr;  // "Step Down"

private:
    void buildTree();
    // A bar moved: applied at once, or, while its slider is dragged, once the events
    // waiting behind it have run (positions passed over may be skipped, the last never).
    void barMoved(QScrollBar* bar);
    // Hands the positions of the bars the user moved to the model.
    void applyBars();
    void nodeClicked(QTreeWidgetItem* item);
    // Shows the model: bar ranges and positions, the picture.
    void sync();

    TPainterEffects m_model;
    QTimer* m_barTimer = nullptr;
    std::set<QScrollBar*> m_moved; // bars moved by the user and not yet applied
    std::vector<TBarValue*> m_values; // the bars' numbers
};
