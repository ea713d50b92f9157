#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

class QDialog;
class QLocale;
class QPrinter;
class QWidget;

namespace shenbao {

// What a file dialog is asked to show. The window keeps the file names between commands and
// passes them in; the dialog only proposes them.
struct FileRequest
{
    QString title;
    QString directory;     // start directory, or empty for the dialog's own choice
    QString fileName;      // proposed name, or empty
    QString filterName;    // "XDX数据交换文件"
    QString filterPattern; // "*.xdx"
    QString defaultSuffix; // "xdx"
    QStringList places;    // folders of the program's own for the sidebar ("未保存的草稿")
};

// A recovery copy offered at start-up or when its document is opened again.
struct RecoveryOffer
{
    QString document;          // the document it belongs to (as shown), or empty for one never saved
    QDateTime written;         // when the copy was written
    QDateTime documentChanged; // when the document was written after the copy, else invalid
    QString drafts;            // where "discard" keeps it (as shown)
};
// Restore fills the form; Later leaves the copy to be offered again; Discard moves it into the
// drafts, no longer offered.
enum class RecoveryChoice { Restore, Later, Discard };

// Every dialog, message box and desktop request of the window goes through this interface, so
// that tests can answer them without showing anything.
class Interaction
{
public:
    virtual ~Interaction();

    // The chosen file, or an empty string when the user cancelled.
    virtual QString openFileName(QWidget* parent, const FileRequest& request) = 0;
    virtual QString saveFileName(QWidget* parent, const FileRequest& request) = 0;

    // Caption: the program title; one "OK"; no icon.
    virtual void plainBox(QWidget* parent, const QString& text) = 0;
    // Caption "Information", information icon, one "OK", centred on the screen.
    virtual void informationBox(QWidget* parent, const QString& text) = 0;
    // Caption: the program title, error icon, one "OK". text is shown as given: the window
    // applies errorBoxText() first.
    virtual void errorBox(QWidget* parent, const QString& text) = 0;
    // Caption "Confirm", "&Yes" (default) and "&No"; Esc and the close button answer No.
    // Returns true for Yes.
    virtual bool questionBox(QWidget* parent, const QString& text) = 0;

    virtual void beep() = 0;
    // Hands a document or an address to the desktop shell: whether something took it (a system
    // without a program for the document's type says no).
    virtual bool openUrl(const QUrl& url) = 0;
    // Shows the help inside the program, in a window of its own that does not wait.
    virtual void showHelp(QWidget* parent) = 0;

    // Runs a modal window (the report preview) and returns when it is closed.
    virtual void runModal(QDialog* dialog) = 0;
    // The print dialog: all pages, the current page (selection) or a range of 1..pageCount;
    // copies, collation, duplex, printer set-up. Sets printer up and returns true to print.
    virtual bool printSetup(QWidget* parent, QPrinter* printer, int pageCount) = 0;
    // Whether printing has anywhere to go: a printer, or a dialog that prints to a PDF file.
    virtual bool canPrint() = 0;

    // The box of its own that offers a recovery copy: restore it, leave it for later, or
    // discard it into the drafts.
    virtual RecoveryChoice offerRecovery(QWidget* parent, const RecoveryOffer& offer) = 0;
    // A notice that does not wait for an answer (the recovery copy cannot be written, a draft
    // was kept).
    virtual void notice(QWidget* parent, const QString& text) = 0;
};

// The real dialogs and boxes: non-native QFileDialog, QMessageBox, QDesktopServices.
class DesktopInteraction : public Interaction
{
public:
    QString openFileName(QWidget* parent, const FileRequest& request) override;
    QString saveFileName(QWidget* parent, const FileRequest& request) override;
    void plainBox(QWidget* parent, const QString& text) override;
    void informationBox(QWidget* parent, const QString& text) override;
    void errorBox(QWidget* parent, const QString& text) override;
    bool questionBox(QWidget* parent, const QString& text) override;
    void beep() override;
    bool openUrl(const QUrl& url) override;
    void showHelp(QWidget* parent) override;
    void runModal(QDialog* dialog) override;
    bool printSetup(QWidget* parent, QPrinter* printer, int pageCount) override;
    bool canPrint() override;
    RecoveryChoice offerRecovery(QWidget* parent, const RecoveryOffer& offer) override;
    void notice(QWidget* parent, const QString& text) override;
};

// Loads Qt's own translations (file, print and page set-up dialogs) for locale, from a
// "translations" folder beside the program or else Qt's own; returns whether one was found. The
// message boxes set every text themselves, so no translation changes them.
bool installQtTranslations(const QLocale& locale, const QString& programDirectory);

// The program's title: window caption, task bar, caption of plain and error boxes.
QString programTitle();

// The text an error box shows for an error's message: a full stop is appended unless the
// message already ends in "." or in a character that sorts before it (such as "!" or ")").
QString errorBoxText(const QString& message);

// A file name as the dialogs return it: the default suffix is added to a name typed without
// an extension; a name with any extension is used as typed.
QString withDefaultSuffix(const QString& path, const QString& suffix);

} // namespace shenbao
