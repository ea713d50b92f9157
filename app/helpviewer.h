#pragma once

#include <QDialog>

class QTextBrowser;

namespace shenbao {

// The help inside the program, for a system on which nothing opens help.doc: the same text,
// read-only, in a window of its own beside the form.
class HelpViewer : public QDialog
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent);
    QString text() const;

    // The help's text as the program carries it (the source help.doc is made from).
    static QString helpText();

private:
    QTextBrowser* m_browser;
};

} // namespace shenbao
