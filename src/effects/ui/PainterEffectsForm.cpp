#include "PainterEffectsForm.h"

#include "BarValue.h"
#include "EffectImage.h"

#include "platform/ui/GuardedActions.h"
#include "platform/Ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int kNodeRole = Qt::UserRole;

QToolButton* flatButton(QWidget* parent, const char* name, const char* caption, const char* color)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setAutoRaise(true);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    b->setStyleSheet(QString("QToolButton { font-weight: bold; color: %1; }").arg(color));
    return b;
}

QScrollBar* horizontalBar(QWidget* parent, const char* name, int min, int max, int position)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(min, max);
    bar->setValue(position);
    return bar;
}

void showBar(QScrollBar* bar, const TEffectBar& state)
{
    const QSignalBlocker block(bar);
    bar->setRange(state.Min, state.Max);
    bar->setValue(state.Position);
}

} // namespace

TPainterEffectsF::TPainterEffectsF(QWidget* parent) : QDialog(parent)
{
    setObjectName("PainterEffectsF");
    setWindowTitle("Painter Effects");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);
    resize(571, 417);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    image = new TEffectImage;
    image->setObjectName("image");
    ScrollBox1 = EffectImageScrollBox(this, image, "ScrollBox1");
    outer->addWidget(ScrollBox1, 1);

    effectspanel = new QWidget(this);
    effectspanel->setObjectName("effectspanel");
    effectspanel->setFixedWidth(222);
    outer->addWidget(effectspanel);
    auto* panel = new QVBoxLayout(effectspanel);
    panel->setContentsMargins(6, 6, 6, 6);

    auto* treeRow = new QHBoxLayout;
    ETree = new QTreeWidget(effectspanel);
    ETree->setObjectName("ETree");
    ETree->setHeaderHidden(true);
    ETree->setFixedSize(161, 289);
    ETree->setMouseTracking(true); // hot tracking
    ETree->setStyleSheet("QTreeWidget { background: black; color: yellow; }"
                         "QTreeWidget::item:selected { background: navy; color: yellow; }");
    treeRow->addWidget(ETree);
    EBar = new QScrollBar(Qt::Vertical, effectspanel);
    EBar->setObjectName("EBar");
    EBar->setFixedHeight(289);
    treeRow->addWidget(EBar);
    // The main bar's number beside its top.
    m_values.push_back(new TBarValue(EBar, effectspanel));
    m_values.back()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    treeRow->addWidget(m_values.back(), 0, Qt::AlignTop);
    treeRow->addStretch();
    panel->addLayout(treeRow);

    auto* bars = new QGridLayout;
    const TPainterEffects& m = m_model;
    extrabar = horizontalBar(effectspanel, "extrabar", m.ExtraBar().Min, m.ExtraBar().Max, m.ExtraBar().Position);
    cxbar = horizontalBar(effectspanel, "cxbar", m.CxBar().Min, m.CxBar().Max, m.CxBar().Position);
    cybar = horizontalBar(effectspanel, "cybar", m.CyBar().Min, m.CyBar().Max, m.CyBar().Position);
    int row = 0;
    for (auto [caption, bar] : {std::pair<const char*, QScrollBar*>{"Turb", extrabar}, {"cx", cxbar}, {"cy", cybar}}) {
        auto* label = new QLabel(caption, effectspanel);
        label->setObjectName(QString("label") + caption);
        bars->addWidget(label, row, 0);
        bars->addWidget(bar, row, 1);
        m_values.push_back(new TBarValue(bar, effectspanel));
        bars->addWidget(m_values.back(), row++, 2);
    }
    bars->setColumnStretch(1, 1);
    panel->addLayout(bars);

    auto* buttons = new QGridLayout;
    SpeedButton1 = flatButton(effectspanel, "SpeedButton1", "Use", "green");
    btnappend = flatButton(effectspanel, "btnappend", "Add", "red");
    btnstep = flatButton(effectspanel, "btnstep", "Step Up", "blue");
    btnstepdown = flatButton(effectspanel, "btnstepdown", "Step Down", "blue");
    buttons->addWidget(SpeedButton1, 0, 0);
    buttons->addWidget(btnappend, 0, 1);
    buttons->addWidget(btnstep, 1, 0);
    buttons->addWidget(btnstepdown, 1, 1);
    panel->addLayout(buttons);
    panel->addStretch();

    buildTree();
    showBar(EBar, m.EBar());

    m_barTimer = new QTimer(this);
    m_barTimer->setSingleShot(true);
    m_barTimer->setInterval(0);
    connect(m_barTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { applyBars(); }); });
    for (QScrollBar* bar : {EBar, extrabar, cxbar, cybar}) {
        connect(bar, &QScrollBar::valueChanged, this, [this, bar] { RunGuarded([&] { barMoved(bar); }); });
        // Where the bar stops is always applied.
        connect(bar, &QScrollBar::sliderReleased, this, [this] { RunGuarded([this] { applyBars(); }); });
    }
    ConnectGuarded(ETree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) { nodeClicked(item); });
    ConnectGuarded(ETree, &QTreeWidget::currentItemChanged, this,
                   [this](QTreeWidgetItem* item, QTreeWidgetItem*) { nodeClicked(item); });

    ConnectGuarded(SpeedButton1, &QToolButton::clicked, this, [this] {
        applyBars();
        m_model.Use();
        sync();
        accept();
    });
    ConnectGuarded(btnappend, &QToolButton::clicked, this, [this] {
        applyBars();
        m_model.Add();
    });
    // A series runs to its end before the window takes further input.
    ConnectGuarded(btnstep, &QToolButton::clicked, this, [this] {
        applyBars();
        WaitCursor wait;
        m_model.StepUp();
        sync();
    });
    ConnectGuarded(btnstepdown, &QToolButton::clicked, this, [this] {
        applyBars();
        WaitCursor wait;
        m_model.StepDown();
        sync();
    });
    sync();
}

void TPainterEffectsF::buildTree()
{
    const std::vector<TPainterEffectNode>& nodes = PainterEffectNodes();
    QTreeWidgetItem* group = nullptr;
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        const TPainterEffectNode& n = nodes[k];
        QTreeWidgetItem* item = nullptr;
        if (n.Group && group)
            item = new QTreeWidgetItem(group);
        else
            item = new QTreeWidgetItem(ETree);
        item->setText(0, QString::fromUtf8(n.Caption));
        item->setData(0, kNodeRole, static_cast<int>(k));
        if (n.Index < 0)
            group = item;
    }
    ETree->expandAll();
}

QTreeWidgetItem* TPainterEffectsF::NodeItem(int k) const
{
    QTreeWidgetItemIterator it(ETree);
    for (; *it; ++it)
        if ((*it)->data(0, kNodeRole).toInt() == k)
            return *it;
    return nullptr;
}

void TPainterEffectsF::Open(const TBitmap& frame)
{
    m_barTimer->stop();
    m_moved.clear();
    m_model.Open(frame);
    sync();
}

bool TPainterEffectsF::Execute(const TBitmap& frame)
{
    Open(frame);
    return exec() == QDialog::Accepted;
}

void TPainterEffectsF::barMoved(QScrollBar* bar)
{
    m_moved.insert(bar);
    if (bar->isSliderDown()) {
        if (!m_barTimer->isActive())
            m_barTimer->start();
        return;
    }
    applyBars();
}

void TPainterEffectsF::applyBars()
{
    m_barTimer->stop();
    if (m_moved.empty())
        return;
    // Only the bars the user moved: the others show the model already (Plasma may have
    // moved extrabar itself).
    const std::set<QScrollBar*> moved = std::exchange(m_moved, {});
    const std::pair<QScrollBar*, void (TPainterEffects::*)(int)> bars[] = {
        {EBar, &TPainterEffects::SetEBarPosition},
        {extrabar, &TPainterEffects::SetExtraPosition},
        {cxbar, &TPainterEffects::SetCxPosition},
        {cybar, &TPainterEffects::SetCyPosition},
    };
    for (const auto& [bar, set] : bars)
        if (moved.count(bar))
            (m_model.*set)(bar->value());
    sync();
}

void TPainterEffectsF::nodeClicked(QTreeWidgetItem* item)
{
    if (!item)
        return;
    applyBars();
    m_model.SelectNode(item->data(0, kNodeRole).toInt());
    sync();
}

void TPainterEffectsF::sync()
{
    showBar(EBar, m_model.EBar());
    showBar(extrabar, m_model.ExtraBar());
    showBar(cxbar, m_model.CxBar());
    showBar(cybar, m_model.CyBar());
    for (TBarValue* value : m_values)
        value->Refresh();
    image->ShowBitmap(m_model.Image());
}
