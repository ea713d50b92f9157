#include "app/preview/reportstatus.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QPushButton>

namespace shenbao {

QString statusText(const QString& pattern, int sheetNumber)
{
    QString out;
    out.reserve(pattern.size() + 4);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == u'p' || pattern[i + 1] == u'P')) {
            out += QString::number(sheetNumber);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

ReportStatus::ReportStatus(const QString& pattern, QWidget* parent)
    : QProgressDialog(parent,
                      Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_pattern(pattern)
{
    setObjectName(QStringLiteral("ReportStatus"));
    setWindowTitle(QStringLiteral("报表状态"));
    setWindowModality(Qt::ApplicationModal);
    // The dialog's own button: one given with setCancelButton() would leave its Esc shortcut
    // beside the new one, and Esc would do nothing.
    setCancelButtonText(QStringLiteral("取消"));
    m_cancel = findChild<QPushButton*>();
    setRange(0, 0);
    setMinimumDuration(0);
    setAutoClose(false);
    setAutoReset(false);
    // Wide enough for three-digit sheet numbers, so that the window keeps its size.
    setMinimumWidth(fontMetrics().horizontalAdvance(statusText(m_pattern, 888)) + 80);
    setLabelText(statusText(m_pattern, 1));
    setAccessibleName(windowTitle());
}

bool ReportStatus::sheetBegins(int sheetNumber)
{
    setLabelText(statusText(m_pattern, sheetNumber));
    // Said by a screen reader as it changes (a reader need not say every sheet).
    setAccessibleDescription(labelText());
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
    // The work holds the event loop: let the text show and the cancel button be pressed.
    QCoreApplication::processEvents();
    return !wasCanceled();
}

void ReportStatus::reject()
{
    cancel();
}

} // namespace shenbao
