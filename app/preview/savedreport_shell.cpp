#include "app/preview/previewpages.h"

#include "app/messages.h"
#include "files/files.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace shenbao {

// Without a PDF renderer of its own, the preview hands a saved report to the system's PDF
// viewer (the shell's "open"), which shows and prints it faithfully. What is no PDF is refused
// here, as the preview would refuse it.
SavedReport openSavedReport(const QString& path)
{
    SavedReport report;
    const FileRead read = readRegularFile(path, qint64(256) << 20);
    QString why = read.why();
    if (why.isEmpty() && !read.bytes.startsWith("%PDF-"))
        why = appmsg::notAReport();
    if (why.isEmpty() && !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        why = appmsg::noPdfViewer();
    if (!why.isEmpty())
        report.error = appmsg::cannotOpenReport(QDir::toNativeSeparators(path), why);
    return report;
}

} // namespace shenbao
