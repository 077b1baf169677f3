#include "QtUi.h"

#include "DialogConversions.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

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
        dlg.setDefaultSuffix(qs(ext));
    }
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

std::optional<std::string> QtUi::OpenFile(const TFileDialogOptions& options)
{
    QFileDialog dlg(dialogParent());
    prepare(dlg, options);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
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
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, ToQFont(initial), dialogParent());
    if (!ok)
        return std::nullopt;
    return FromQFont(f, initial.Color);
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
