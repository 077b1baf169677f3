// The in-app help viewer: one non-modal window with the topics of the help document on the
// left and the chosen topic on the right. Links to "#Topic" show that topic; web addresses
// open in the user's browser.
#pragma once

#include "platform/HelpDocument.h"

#include <QWidget>

class QListWidget;
class QTextBrowser;
class QUrl;

class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget* parent = nullptr);

    void SetDocument(THelpDocument document);
    // Shows the topic; an unknown topic shows the first one under a note saying so.
    void ShowTopic(const std::string& name);
    // The name of the topic shown ("" when the document has none).
    std::string CurrentTopic() const { return m_current; }
    QTextBrowser* Browser() const { return m_browser; }

private:
    void linkClicked(const QUrl& url);

    THelpDocument m_document;
    std::string m_current;
    QListWidget* m_topics;
    QTextBrowser* m_browser;
};

// Opens the help document (HelpFileName()) in the viewer at the topic and brings the
// viewer to the front. Throws Exception when the document is missing.
THelpViewer* ShowHelp(const std::string& topic);
// The same for a given document file.
THelpViewer* ShowHelpFile(const std::string& fileName, const std::string& topic);
// The program's own pages: the help topics followed by the README's, at the README (the
// help alone when no README is found).
THelpViewer* ShowHelpAndReadme();
