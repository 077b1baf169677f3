// Export...: a small options dialog (format, quality, lossless, sprite sheet columns and
// padding), then the save dialog for that format, then the export with a progress window
// whose Stop button ends it (nothing is written then). The main window and the GIF
// explorer both use it; the encoders are in export/.
#pragma once

#include "export/ExportAnimation.h"
#include "platform/Ui.h"

#include <QDialog>

#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

class TExportOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TExportOptionsForm(QWidget* parent = nullptr);
    void SetOptions(const TExportOptions& options);
    TExportOptions Options() const;

    QComboBox* ComboFormat = nullptr;
    QSpinBox* SpinQuality = nullptr;
    QCheckBox* CheckLossless = nullptr;
    QSpinBox* SpinColumns = nullptr; // 0: automatic
    QSpinBox* SpinPadding = nullptr;

private:
    void updateStates();
};

// The whole command for `animation`: false when cancelled or stopped. `dir` is where the
// save dialog starts and becomes the chosen file's folder; the options are kept for the
// next call in this run.
bool ExportAnimationCommand(const TExportAnimation& animation, std::string& dir, QWidget* parent);

// The save dialog's settings for a format: its filter and extension, the proposed name.
TFileDialogOptions ExportSaveDialog(TExportFormat format, const std::string& dir, const std::string& name);
