#include "PainterQBForm.h"

#include "BarValue.h"
#include "EffectImage.h"

#include "platform/ui/CommandActions.h"
#include "platform/ui/GuardedActions.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QScrollBar* bar(QWidget* parent, const char* name, int min, int max)
{
    auto* b = new QScrollBar(Qt::Horizontal, parent);
    b->setObjectName(name);
    b->setRange(min, max);
    return b;
}

void place(QScrollBar* bar, int value)
{
    {
        const QSignalBlocker block(bar);
        bar->setValue(value);
    }
    // Its number follows, though the bar said nothing.
    if (auto* number = bar->parentWidget()->findChild<TBarValue*>(bar->objectName() + "Value"))
        number->Refresh();
}

} // namespace

TPainterQBF::TPainterQBF(const std::string& presetsFile, QWidget* parent) : QDialog(parent), m_model(presetsFile)
{
    setObjectName("PainterQBF");
    setWindowTitle("QuickBack");
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);
    resize(640, 440);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(6, 6, 0, 6);
    auto* side = new QWidget(this);
    side->setObjectName("qbpanel");
    side->setFixedWidth(240);
    outer->addWidget(side);
    auto* col = new QVBoxLayout(side);
    col->setContentsMargins(0, 0, 0, 0);

    QBList = new QListWidget(side);
    QBList->setObjectName("QBList");
    for (int i = 0; i < kQuickBackFunctionCount; ++i)
        QBList->addItem(QString::fromUtf8(QuickBackFunctionName(i)));
    col->addWidget(QBList, 3);

    auto* radios = new QHBoxLayout;
    redradio = new QRadioButton(side);
    redradio->setObjectName("redradio");
    greenradio = new QRadioButton(side);
    greenradio->setObjectName("greenradio");
    blueradio = new QRadioButton(side);
    blueradio->setObjectName("blueradio");
    const std::pair<QRadioButton*, const char*> channels[] = {
        {redradio, "red"}, {greenradio, "green"}, {blueradio, "blue"}};
    for (const auto& [radio, color] : channels) {
        radio->setStyleSheet(QString("QRadioButton { color: %1; }").arg(color == std::string("green") ? "darkgreen" : color));
        radio->setToolTip(QString("Function of the %1 setting").arg(color));
        radios->addWidget(radio);
    }
    redradio->setChecked(true);
    col->addLayout(radios);

    auto* grid = new QGridLayout;
    trkred = bar(side, "trkred", 0, 255);
    trkgreen = bar(side, "trkgreen", 0, 255);
    trkblue = bar(side, "trkblue", 0, 255);
    trkfactor = bar(side, "trkfactor", kQuickBackMinFactor, kQuickBackMaxFactor);
    int row = 0;
    for (auto [caption, b] : {std::pair<const char*, QScrollBar*>{"Red", trkred},
                              {"Green", trkgreen},
                              {"Blue", trkblue},
                              {"Factor", trkfactor}}) {
        grid->addWidget(new QLabel(caption, side), row, 0);
        grid->addWidget(b, row, 1);
        grid->addWidget(new TBarValue(b, side), row++, 2);
    }
    grid->setColumnStretch(1, 1);
    col->addLayout(grid);

    qbpresets = new QListWidget(side);
    qbpresets->setObjectName("qbpresets");
    qbpresets->setContextMenuPolicy(Qt::CustomContextMenu);
    col->addWidget(qbpresets, 2);

    btnUse = new QToolButton(side);
    btnUse->setObjectName("btnUse");
    btnUse->setText("Use");
    btnUse->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    btnUse->setStyleSheet("QToolButton { font-weight: bold; color: green; }");
    col->addWidget(btnUse);

    image = new TEffectImage;
    image->setObjectName("image");
    ScrollBox1 = EffectImageScrollBox(this, image, "ScrollBox1");
    outer->addWidget(ScrollBox1, 1);

    presetspop = new QMenu(this);
    presetspop->setObjectName("presetspop");
    m_commands.Add({.Id = "presets.add", .Caption = "&Add Backdrop", .Handler = [this] { fillPresets(m_model.AddBackdrop()); }});
    m_commands.Add({.Id = "presets.delete", .Caption = "&Delete Backdrop", .Handler = [this] {
                        m_model.DeleteBackdrop(qbpresets->currentRow());
                        fillPresets(-1);
                    }});
    m_commands.Add({.Id = "presets.update", .Caption = "&Update Backdrop", .Handler = [this] {
                        const int at = m_model.UpdateBackdrop(qbpresets->currentRow());
                        if (at >= 0)
                            fillPresets(at);
                    }});
    m_actions = new TCommandActions(this, m_commands);
    m_actions->AddTo(presetspop, {"presets.add", "presets.delete", "presets.update"});
    connect(qbpresets, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { presetspop->popup(qbpresets->viewport()->mapToGlobal(pos)); });

    ConnectGuarded(QBList, &QListWidget::currentRowChanged, this, [this](int row) {
        m_model.SetMode(row);
        sync();
    });
    ConnectGuarded(redradio, &QRadioButton::clicked, this, [this] { radioClicked(TPainterQB::Red); });
    ConnectGuarded(greenradio, &QRadioButton::clicked, this, [this] { radioClicked(TPainterQB::Green); });
    ConnectGuarded(blueradio, &QRadioButton::clicked, this, [this] { radioClicked(TPainterQB::Blue); });
    ConnectGuarded(trkred, &QScrollBar::valueChanged, this, [this](int v) {
        m_model.SetOffset(TPainterQB::Red, v);
        sync();
    });
    ConnectGuarded(trkgreen, &QScrollBar::valueChanged, this, [this](int v) {
        m_model.SetOffset(TPainterQB::Green, v);
        sync();
    });
    ConnectGuarded(trkblue, &QScrollBar::valueChanged, this, [this](int v) {
        m_model.SetOffset(TPainterQB::Blue, v);
        sync();
    });
    ConnectGuarded(trkfactor, &QScrollBar::valueChanged, this, [this](int v) {
        m_model.SetFactor(v);
        sync();
    });
    // A click on a preset applies it, also a second click on the same one.
    ConnectGuarded(qbpresets, &QListWidget::itemClicked, this, [this] {
        m_model.ApplyPreset(qbpresets->currentRow());
        sync();
    });
    ConnectGuarded(qbpresets, &QListWidget::itemActivated, this, [this] {
        m_model.ApplyPreset(qbpresets->currentRow());
        sync();
    });
    ConnectGuarded(btnUse, &QToolButton::clicked, this, [this] {
        m_model.Use();
        sync();
        accept();
    });

    RunGuarded([this] { m_model.LoadPresets(); });
    fillPresets(-1);
    sync();
}

QAction* TPainterQBF::Action(const QString& id) const
{
    return m_actions->Action(id.toStdString());
}

void TPainterQBF::Prepare(const TBitmap& frame)
{
    m_model.SetSource(frame);
    sync();
}

bool TPainterQBF::Execute(const TBitmap& frame)
{
    Prepare(frame);
    return exec() == QDialog::Accepted;
}

void TPainterQBF::radioClicked(int channel)
{
    m_model.CheckChannel(channel);
    sync();
}

void TPainterQBF::fillPresets(int select)
{
    const QSignalBlocker block(qbpresets);
    qbpresets->clear();
    for (const std::string& line : m_model.Presets())
        qbpresets->addItem(QString::fromUtf8(PresetName(line)));
    if (select >= 0 && select < qbpresets->count())
        qbpresets->setCurrentRow(select);
}

void TPainterQBF::sync()
{
    const TQuickBackSettings& s = m_model.Settings();
    redradio->setText(QString::fromUtf8(m_model.ChannelCaption(TPainterQB::Red)));
    greenradio->setText(QString::fromUtf8(m_model.ChannelCaption(TPainterQB::Green)));
    blueradio->setText(QString::fromUtf8(m_model.ChannelCaption(TPainterQB::Blue)));
    place(trkred, s.RedOffset);
    place(trkgreen, s.GreenOffset);
    place(trkblue, s.BlueOffset);
    place(trkfactor, s.Factor);
    {
        const QSignalBlocker block(QBList);
        QBList->setCurrentRow(m_model.ChannelMode(m_model.CheckedChannel()));
    }
    image->ShowBitmap(m_model.Image());
}
