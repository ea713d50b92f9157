#include "app/interaction.h"

#include "app/helpviewer.h"
#include "app/messages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTranslator>

#include <memory>

namespace shenbao {

Interaction::~Interaction() = default;

bool installQtTranslations(const QLocale& locale, const QString& programDirectory)
{
    const QString folders[] = {programDirectory + QStringLiteral("/translations"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        auto translator = std::make_unique<QTranslator>(qApp);
        if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator.release());
            return true;
        }
    }
    return false;
}

QString programTitle()
{
    return QStringLiteral("澄岚省教育科学规划课题立项申请填写程序");
}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

QString withDefaultSuffix(const QString& path, const QString& suffix)
{
    if (path.isEmpty() || suffix.isEmpty())
        return path;
    const QFileInfo info(path);
    if (!info.suffix().isEmpty() || info.fileName().isEmpty())
        return path;
    return path.endsWith(u'.') ? path + suffix : path + u'.' + suffix;
}

namespace {

QString runFileDialog(QWidget* parent, const FileRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    // Neither dialog insists on an existing file nor asks before replacing one: opening a
    // missing file fails when it is parsed, and saving replaces without a question.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(request.filterName + QStringLiteral(" (") + request.filterPattern + u')');
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.places.isEmpty()) {
        QList<QUrl> sidebar = dialog.sidebarUrls();
        for (const QString& place : request.places)
            if (const QUrl url = QUrl::fromLocalFile(place); !sidebar.contains(url))
                sidebar.append(url);
        dialog.setSidebarUrls(sidebar);
        // Wide enough for "未保存的草稿" to be read whole.
        if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
            splitter->setSizes({170, 530});
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return withDefaultSuffix(dialog.selectedFiles().constFirst(), request.defaultSuffix);
}

void runBox(QWidget* parent, const QString& caption, QMessageBox::Icon icon, const QString& text,
            bool centreOnScreen = false)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    // A box raised before the window is first shown (the start-up open) has nothing to sit on.
    if (centreOnScreen || (parent && !parent->isVisible())) {
        box.adjustSize();
        if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
            QRect frame = box.frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            box.move(frame.topLeft());
        }
    }
    box.exec();
}

} // namespace

QString DesktopInteraction::openFileName(QWidget* parent, const FileRequest& request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString DesktopInteraction::saveFileName(QWidget* parent, const FileRequest& request)
{
    return runFileDialog(parent, request, QFileDialog::AcceptSave);
}

void DesktopInteraction::plainBox(QWidget* parent, const QString& text)
{
    runBox(parent, programTitle(), QMessageBox::NoIcon, text);
}

void DesktopInteraction::informationBox(QWidget* parent, const QString& text)
{
    runBox(parent, QStringLiteral("Information"), QMessageBox::Information, text, true);
}

void DesktopInteraction::errorBox(QWidget* parent, const QString& text)
{
    runBox(parent, programTitle(), QMessageBox::Critical, text);
}

bool DesktopInteraction::questionBox(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no); // also what the box's close button answers
    box.exec();
    return box.clickedButton() == yes;
}

void DesktopInteraction::beep()
{
    QApplication::beep();
}

bool DesktopInteraction::openUrl(const QUrl& url)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The desktop's opener starts whether or not anything can open the document, and says
    // nothing when nothing can: ask first which program would.
    if (url.isLocalFile()) {
        QProcess query;
        query.start(
            QStringLiteral("xdg-mime"),
            {QStringLiteral("query"), QStringLiteral("default"),
             QMimeDatabase().mimeTypeForFile(url.toLocalFile(), QMimeDatabase::MatchExtension).name()});
        if (!query.waitForFinished(3000) || query.exitCode() != 0 ||
            query.readAllStandardOutput().trimmed().isEmpty())
            return false;
    }
#endif
    return QDesktopServices::openUrl(url);
}

void DesktopInteraction::showHelp(QWidget* parent)
{
    auto* viewer = new HelpViewer(parent);
    viewer->show();
    viewer->raise();
}

void DesktopInteraction::runModal(QDialog* dialog)
{
    dialog->exec();
}

RecoveryChoice DesktopInteraction::offerRecovery(QWidget* parent, const RecoveryOffer& offer)
{
    QMessageBox box(QMessageBox::Question, programTitle(), appmsg::recoveryOffer(offer),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("RecoveryOffer"));
    QPushButton* restore = box.addButton(appmsg::recoveryRestore(), QMessageBox::AcceptRole);
    QPushButton* later = box.addButton(appmsg::recoveryLater(), QMessageBox::RejectRole);
    QPushButton* discard = box.addButton(appmsg::recoveryDiscard(), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later); // closing the box changes nothing
    box.exec();
    if (box.clickedButton() == restore)
        return RecoveryChoice::Restore;
    return box.clickedButton() == discard ? RecoveryChoice::Discard : RecoveryChoice::Later;
}

void DesktopInteraction::notice(QWidget* parent, const QString& text)
{
    auto* box =
        new QMessageBox(QMessageBox::Information, programTitle(), text, QMessageBox::NoButton, parent);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

bool DesktopInteraction::canPrint()
{
#ifdef Q_OS_WIN
    return !QPrinterInfo::availablePrinters().isEmpty();
#else
    return true; // Qt's own print dialog also prints to a PDF file
#endif
}

bool DesktopInteraction::printSetup(QWidget* parent, QPrinter* printer, int pageCount)
{
    QPrintDialog dialog(printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintSelection | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCurrentPage | QAbstractPrintDialog::PrintCollateCopies |
                      QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintToFile);
    dialog.setMinMax(1, pageCount);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace shenbao
