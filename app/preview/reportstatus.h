#pragma once

#include <QProgressDialog>
#include <QString>

class QPushButton;

namespace shenbao {

// pattern with "%p" (either letter case) replaced by the sheet number: "正在生成第3页".
QString statusText(const QString& pattern, int sheetNumber);

// The status window "报表状态": which sheet is being generated or printed, and "取消". It is
// shown while the work runs in the window's own thread; sheetBegins() lets events through, so
// the button, Esc and the close button work meanwhile. Application-modal, so nothing else can be
// used until the work ends. The number of sheets is not known beforehand: the bar only shows
// that work goes on.
class ReportStatus : public QProgressDialog
{
    Q_OBJECT

public:
    explicit ReportStatus(const QString& pattern, QWidget* parent = nullptr);

    // Shows the text for sheetNumber; false once the work was cancelled.
    bool sheetBegins(int sheetNumber);
    bool isCancelled() const { return wasCanceled(); }
    QString text() const { return labelText(); }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void reject() override; // Esc cancels too

private:
    QString m_pattern;
    QPushButton* m_cancel = nullptr;
};

} // namespace shenbao
