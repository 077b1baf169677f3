#include "QtUi.h"

#include "DialogConversions.h"

#include <QApplication>
#include <cctype>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

QString titleOr(const std::string& caption)
{
    return caption.empty() ? QString::fromLatin1(ApplicationTitle) : qs(caption);
}

// One file dialog set up from the options; the caller picks the mode.
void prepare(QFileDialog& dlg, const TFileDialogOptions& o)
{
    if (!o.Title.empty())
        dlg.setWindowTitle(qs(o.Title));
    const QStringList filters = QtNameFilters(o.Filters);
    if (!filters.isEmpty())
        dlg.setNameFilters(filters);
    if (!o.InitialDir.empty())
        dlg.setDirectory(qs(o.InitialDir));
    if (!o.FileName.empty())
        dlg.selectFile(qs(o.FileName));
    if (!o.DefaultExt.empty()) {
        std::string ext = o.DefaultExt;
        if (ext.front() == '.')
            ext.erase(0, 1);
        // File names are case-sensitive here and every other program writes lower case.
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        dlg.setDefaultSuffix(qs(ext));
    }
}

// A picture box beside the file list that shows the file under the cursor.
void addPicturePreview(QFileDialog& dlg)
{
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    auto* grid = qobject_cast<QGridLayout*>(dlg.layout());
    if (!grid)
        return;
    auto* preview = new QLabel(&dlg);
    preview->setObjectName("PicturePreview");
    preview->setFixedSize(180, 180);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 1, grid->columnCount(), 1, 1);
    QObject::connect(&dlg, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        QImageReader reader(path);
        const QSize size = reader.size();
        if (size.isValid() && size.width() > 0 && size.height() > 0) {
            // Read only what the box shows: a huge picture is scaled while it decodes.
            reader.setScaledSize(size.scaled(preview->size() - QSize(8, 8), Qt::KeepAspectRatio).boundedTo(size));
        }
        const QImage img = reader.read();
        preview->setPixmap(img.isNull() ? QPixmap() : QPixmap::fromImage(img));
    });
}

std::optional<QStringList> runFileDialog(QFileDialog& dlg)
{
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return dlg.selectedFiles();
}

} // namespace

QtUi::~QtUi()
{
    // A wait left open at exit would leave the cursor set on a dying application.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        while (m_waitDepth > 0)
            EndWait();
}

std::string QtUi::InputBox(const std::string& caption, const std::string& prompt, const std::string& proposed)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), titleOr(caption), qs(prompt), QLineEdit::Normal, qs(proposed), &ok);
    return ok ? text.toStdString() : proposed;
}

bool QtUi::InputQuery(const std::string& caption, const std::string& prompt, std::string& value)
{
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), titleOr(caption), qs(prompt), QLineEdit::Normal, qs(value), &ok);
    if (ok)
        value = text.toStdString();
    return ok;
}

void QtUi::ShowMessage(const std::string& text)
{
    QMessageBox::information(dialogParent(), QString::fromLatin1(ApplicationTitle), qs(text));
}

void QtUi::MessageDlg(const std::string& text, TMsgDlgType type)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (type) {
    case TMsgDlgType::mtInformation: icon = QMessageBox::Information; break;
    case TMsgDlgType::mtWarning: icon = QMessageBox::Warning; break;
    case TMsgDlgType::mtError: icon = QMessageBox::Critical; break;
    case TMsgDlgType::mtConfirmation: icon = QMessageBox::Question; break;
    }
    QMessageBox box(icon, QString::fromLatin1(ApplicationTitle), qs(text), QMessageBox::Ok, dialogParent());
    box.exec();
}

bool QtUi::Confirm(const std::string& caption, const std::string& text)
{
    return QMessageBox::question(dialogParent(), titleOr(caption), qs(text), QMessageBox::Yes | QMessageBox::No,
               QMessageBox::No)
        == QMessageBox::Yes;
}

int QtUi::ChooseButton(const std::string& caption, const std::string& text, TMsgDlgType type,
                       const std::vector<std::string>& buttons)
{
    QMessageBox box(dialogParent());
    box.setWindowTitle(titleOr(caption));
    box.setText(qs(text));
    switch (type) {
    case TMsgDlgType::mtInformation: box.setIcon(QMessageBox::Information); break;
    case TMsgDlgType::mtWarning: box.setIcon(QMessageBox::Warning); break;
    case TMsgDlgType::mtError: box.setIcon(QMessageBox::Critical); break;
    case TMsgDlgType::mtConfirmation: box.setIcon(QMessageBox::Question); break;
    }
    std::vector<QAbstractButton*> added;
    for (const std::string& b : buttons)
        added.push_back(box.addButton(qs(b), QMessageBox::ActionRole));
    if (!added.empty())
        box.setDefaultButton(static_cast<QPushButton*>(added.front()));
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i])
            return static_cast<int>(i);
    return -1;
}

std::optional<std::string> QtUi::OpenFile(const TFileDialogOptions& options)
{
    QFileDialog dlg(dialogParent());
    prepare(dlg, options);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (options.Preview)
        addPicturePreview(dlg);
    if (auto files = runFileDialog(dlg))
        return files->first().toStdString();
    return std::nullopt;
}

std::optional<std::vector<std::string>> QtUi::OpenFiles(const TFileDialogOptions& options)
{
    QFileDialog dlg(dialogParent());
    prepare(dlg, options);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    auto files = runFileDialog(dlg);
    if (!files)
        return std::nullopt;
    std::vector<std::string> out;
    for (const QString& f : *files)
        out.push_back(f.toStdString());
    return out;
}

std::optional<std::string> QtUi::SaveFile(const TFileDialogOptions& options)
{
    QFileDialog dlg(dialogParent());
    prepare(dlg, options);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !options.OverwritePrompt);
    if (auto files = runFileDialog(dlg))
        return files->first().toStdString();
    return std::nullopt;
}

std::optional<std::string> QtUi::ChooseDirectory(const std::string& title, const std::string& initialDir)
{
    const QString dir = QFileDialog::getExistingDirectory(dialogParent(), titleOr(title), qs(initialDir));
    if (dir.isEmpty())
        return std::nullopt;
    return dir.toStdString();
}

std::optional<TColor> QtUi::ChooseColor(TColor initial)
{
    const QColor c = QColorDialog::getColor(ToQColor(initial), dialogParent());
    if (!c.isValid())
        return std::nullopt;
    return FromQColor(c);
}

std::optional<TFontChoice> QtUi::ChooseFont(const TFontChoice& initial)
{
    const TFontDialogStart start = FontDialogStart(initial);
    QFontDialog dlg(start.Font, dialogParent());
    if (!start.Note.isEmpty())
        dlg.setWindowTitle(QStringLiteral("Select Font (") + start.Note + QLatin1Char(')'));
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return FontDialogAnswer(initial, start.Font, dlg.selectedFont());
}

void QtUi::BeginWait()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ++m_waitDepth;
}

void QtUi::EndWait()
{
    if (m_waitDepth == 0)
        return;
    --m_waitDepth;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
}

void QtUi::ProcessEvents()
{
    QCoreApplication::processEvents();
}

void UseDesktopDialogs()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return;
    static QtUi desktop;
    SetDesktopUI(&desktop);
}
