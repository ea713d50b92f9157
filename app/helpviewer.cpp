#include "app/helpviewer.h"

#include "app/messages.h"

#include <QResource>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace shenbao {

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(appmsg::helpTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser->setObjectName(QStringLiteral("helpText"));
    m_browser->setAccessibleName(appmsg::helpTitle());
    m_browser->setOpenExternalLinks(false);
    m_browser->setMarkdown(helpText());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(720, 640);
}

QString HelpViewer::text() const
{
    return m_browser->toPlainText();
}

QString HelpViewer::helpText()
{
    // A resource built into the program: read as any resource is, never from the file system.
    const QResource help(QStringLiteral(":/help/help.txt"));
    return help.isValid() ? QString::fromUtf8(help.uncompressedData()) : QString();
}

} // namespace shenbao
