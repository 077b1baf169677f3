#include "ExportForm.h"

#include "platform/Ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QProgressDialog>
#include <QSpinBox>
#include <QVBoxLayout>

#include <filesystem>

namespace {

struct TFormatChoice {
    TExportFormat Format;
    const char* Caption;
    const char* Filter;
};
constexpr TFormatChoice kChoices[] = {
    {TExportFormat::Apng, "APNG (animated PNG)", "Animated PNG|*.apng"},
    {TExportFormat::WebP, "Animated WebP", "Animated WebP|*.webp"},
    {TExportFormat::Mp4, "MP4 video (H.264)", "MP4 video|*.mp4"},
    {TExportFormat::WebM, "WebM video (VP9)", "WebM video|*.webm"},
    {TExportFormat::PngSequence, "PNG sequence", "PNG sequence|*.png"},
    {TExportFormat::SpriteSheet, "Sprite sheet", "Sprite sheet|*.png"},
};

const TFormatChoice& choiceOf(TExportFormat format)
{
    for (const TFormatChoice& c : kChoices)
        if (c.Format == format)
            return c;
    return kChoices[0];
}

} // namespace

TExportOptionsForm::TExportOptionsForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("ExportOptionsForm");
    setWindowTitle("Export");
    auto* form = new QFormLayout;
    ComboFormat = new QComboBox(this);
    ComboFormat->setObjectName("ComboFormat");
    for (const TFormatChoice& c : kChoices)
        ComboFormat->addItem(c.Caption, static_cast<int>(c.Format));
    form->addRow("&Format:", ComboFormat);
    SpinQuality = new QSpinBox(this);
    SpinQuality->setObjectName("SpinQuality");
    SpinQuality->setRange(0, 100);
    form->addRow("&Quality (0-100):", SpinQuality);
    CheckLossless = new QCheckBox("&Lossless", this);
    CheckLossless->setObjectName("CheckLossless");
    form->addRow("", CheckLossless);
    SpinColumns = new QSpinBox(this);
    SpinColumns->setObjectName("SpinColumns");
    SpinColumns->setRange(0, 65535);
    SpinColumns->setSpecialValueText("Automatic");
    form->addRow("&Columns:", SpinColumns);
    SpinPadding = new QSpinBox(this);
    SpinPadding->setObjectName("SpinPadding");
    SpinPadding->setRange(0, 4096);
    form->addRow("&Padding:", SpinPadding);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(ComboFormat, &QComboBox::currentIndexChanged, this, [this] { updateStates(); });
    connect(CheckLossless, &QCheckBox::toggled, this, [this] { updateStates(); });
    SetOptions({});
}

void TExportOptionsForm::SetOptions(const TExportOptions& options)
{
    ComboFormat->setCurrentIndex(ComboFormat->findData(static_cast<int>(options.Format)));
    SpinQuality->setValue(options.Quality);
    CheckLossless->setChecked(options.Lossless);
    SpinColumns->setValue(options.Columns);
    SpinPadding->setValue(options.Padding);
    updateStates();
}

TExportOptions TExportOptionsForm::Options() const
{
    TExportOptions o;
    o.Format = static_cast<TExportFormat>(ComboFormat->currentData().toInt());
    o.Quality = SpinQuality->value();
    o.Lossless = CheckLossless->isChecked();
    o.Columns = SpinColumns->value();
    o.Padding = SpinPadding->value();
    return o;
}

void TExportOptionsForm::updateStates()
{
    // Only what the chosen format uses can be changed.
    const auto f = static_cast<TExportFormat>(ComboFormat->currentData().toInt());
    const bool webp = f == TExportFormat::WebP;
    CheckLossless->setEnabled(webp);
    SpinQuality->setEnabled((webp && !CheckLossless->isChecked()) || f == TExportFormat::Mp4 || f == TExportFormat::WebM);
    SpinColumns->setEnabled(f == TExportFormat::SpriteSheet);
    SpinPadding->setEnabled(f == TExportFormat::SpriteSheet);
}

TFileDialogOptions ExportSaveDialog(TExportFormat format, const std::string& dir, const std::string& name)
{
    TFileDialogOptions o;
    o.Title = "Export";
    o.Filters = {choiceOf(format).Filter};
    o.DefaultExt = ExportExtension(format).substr(1);
    o.InitialDir = dir;
    o.FileName = name.empty() ? "" : name + ExportExtension(format);
    return o;
}

bool ExportAnimationCommand(const TExportAnimation& animation, std::string& dir, QWidget* parent)
{
    CheckExportAnimation(animation);
    static TExportOptions last; // the choices of this run
    TExportOptionsForm form(parent);
    form.SetOptions(last);
    if (form.exec() != QDialog::Accepted)
        return false;
    last = form.Options();
    const auto path = UI().SaveFile(ExportSaveDialog(last.Format, dir, "animation"));
    if (!path)
        return false;
    dir = std::filesystem::path(*path).parent_path().string();

    QProgressDialog progress("Exporting " + QString::fromStdString(std::filesystem::path(*path).filename().string()) + "...",
                             "&Stop", 0, static_cast<int>(animation.Frames.size()), parent);
    progress.setObjectName("ExportProgress");
    progress.setWindowTitle("Export");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    try {
        ExportAnimation(animation, *path, last, [&](int done, int) {
            progress.setValue(done);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    } catch (const EExportStopped&) {
        return false;
    }
    return true;
}
