#include "HelpViewer.h"

#include "QtUi.h"
#include "Shell.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPointer>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>

#include <filesystem>

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QString::fromLatin1(ApplicationTitle) + QStringLiteral(" Help"));
    // An open help window must not keep the program running once the main window closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 520);

    auto* splitter = new QSplitter(this);
    m_topics = new QListWidget(splitter);
    m_topics->setObjectName(QStringLiteral("HelpTopics"));
    m_browser = new QTextBrowser(splitter);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenLinks(false);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({180, 580});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    // Esc and Ctrl+W close the window, as other help windows do.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* close = new QShortcut(key, this);
        close->setContext(Qt::WindowShortcut);
        connect(close, &QShortcut::activated, this, &QWidget::close);
    }

    connect(m_browser, &QTextBrowser::anchorClicked, this, &THelpViewer::linkClicked);
    connect(m_topics, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (name.toStdString() != m_current)
            ShowTopic(name.toStdString());
    });
}

void THelpViewer::SetDocument(THelpDocument document)
{
    m_document = std::move(document);
    m_current.clear();
    const QSignalBlocker block(m_topics);
    m_topics->clear();
    for (const THelpTopic& t : m_document.Topics())
        m_topics->addItem(QString::fromStdString(t.Name));
}

void THelpViewer::ShowTopic(const std::string& name)
{
    const THelpTopic* topic = m_document.Find(name);
    std::string markdown;
    if (!topic) {
        markdown = "*The help topic \"" + name + "\" was not found.*\n\n";
        if (!m_document.Topics().empty())
            topic = &m_document.Topics().front();
    }
    if (topic)
        markdown += topic->Markdown;
    m_current = topic ? topic->Name : std::string();
    m_browser->setMarkdown(QString::fromStdString(markdown));

    const QSignalBlocker block(m_topics);
    const auto& topics = m_document.Topics();
    for (std::size_t i = 0; i < topics.size(); ++i)
        if (topic == &topics[i])
            m_topics->setCurrentRow(static_cast<int>(i));
}

void THelpViewer::linkClicked(const QUrl& url)
{
    if (url.scheme().isEmpty() && url.path().isEmpty() && url.hasFragment())
        ShowTopic(url.fragment().toStdString());
    else
        OpenUrl(url.toString().toStdString());
}

namespace {

THelpViewer* showDocument(THelpDocument document, const std::string& topic)
{
    static QPointer<THelpViewer> viewer;
    if (!viewer)
        viewer = new THelpViewer;
    viewer->SetDocument(std::move(document));
    viewer->ShowTopic(topic);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

} // namespace

THelpViewer* ShowHelpFile(const std::string& fileName, const std::string& topic)
{
    return showDocument(THelpDocument::Load(fileName), topic);
}

THelpViewer* ShowHelp(const std::string& topic)
{
    return ShowHelpFile(HelpFileName(), topic);
}

THelpViewer* ShowHelpAndReadme()
{
    const std::string readme = ReadmeFileName();
    if (readme.empty())
        return ShowHelp({});
    THelpDocument document;
    std::error_code ec;
    if (std::filesystem::is_regular_file(HelpFileName(), ec))
        document = THelpDocument::Load(HelpFileName());
    const THelpDocument pages = THelpDocument::Load(readme);
    document.Append(pages);
    THelpViewer* viewer = showDocument(std::move(document), pages.Topics().empty() ? std::string() : pages.Topics().front().Name);
    // The README's pictures are named from its folder.
    viewer->Browser()->setSearchPaths({QString::fromStdString(std::filesystem::path(readme).parent_path().string())});
    viewer->Browser()->reload();
    return viewer;
}
