#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace shenbao {

// pattern with "%p" (either letter case) replaced by the sheet number: "正在生成第3页".
QString statusText(const QString& pattern, int sheetNumber);

// The status window "报表状态": which sheet is being generated or printed, and a button that
// cancels. It is shown while the work runs in the window's own thread; sheetBegins() lets
// events through, so the button and the close button work meanwhile. Application-modal, so
// nothing else can be used until the work ends.
class ReportStatus : public QDialog
{
    Q_OBJECT

public:
    explicit ReportStatus(const QString& pattern, QWidget* parent = nullptr);

    // Shows the text for sheetNumber; false once the work was cancelled.
    bool sheetBegins(int sheetNumber);
    bool isCancelled() const { return m_cancelled; }
    QString text() const;
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void cancel();

protected:
    void reject() override; // Esc and the close button cancel too

private:
    QString m_pattern;
    QLabel* m_text;
    QPushButton* m_cancel;
    bool m_cancelled = false;
};

} // namespace shenbao
