#pragma once

#include "app/interaction.h"

#include <QDialog>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

namespace shenbao {

// Answers the window's dialogs and boxes from queues and records what was asked. Nothing is
// shown. An unexpected file dialog is answered with "cancel", an unexpected question with No.
class ScriptedInteraction : public Interaction
{
public:
    enum class Box { Plain, Information, Error, Question };
    struct Asked
    {
        Box box;
        QString text;
    };

    QQueue<QString> openAnswers; // file names; "" cancels
    QQueue<QString> saveAnswers;
    QQueue<bool> questionAnswers; // true = Yes

    QList<FileRequest> openRequests;
    QList<FileRequest> saveRequests;
    QList<Asked> boxes;
    QList<QUrl> urls;
    bool shellOpens = true; // whether the desktop has a program for what it is handed
    int helpShown = 0;      // the help shown inside the program
    int beeps = 0;

    // A modal window (the preview) is not run: onModal, when set, plays the user's part while
    // it is "open"; the window's title is recorded.
    std::function<void(QDialog*)> onModal;
    QStringList modals;
    // When set, every box and file dialog also shows a real modal window for its time, as the
    // desktop's do: it takes the focus and gives it back when it closes.
    std::function<void(QWidget* parent)> onShown;
    // The print dialog: onPrint sets the printer up and answers; unset, it is cancelled.
    std::function<bool(QPrinter*, int pageCount)> onPrint;
    int printDialogs = 0;
    bool printers = true; // whether the machine has a printer (or a dialog printing to PDF)
    // Recovery copies offered, and the answers (later when there is none left).
    QQueue<RecoveryChoice> recoveryAnswers;
    QList<RecoveryOffer> recoveryOffers;
    QStringList notices;

    QString openFileName(QWidget* parent, const FileRequest& request) override
    {
        openRequests.append(request);
        shown(parent);
        return openAnswers.isEmpty() ? QString() : openAnswers.dequeue();
    }
    QString saveFileName(QWidget* parent, const FileRequest& request) override
    {
        saveRequests.append(request);
        shown(parent);
        return saveAnswers.isEmpty() ? QString() : saveAnswers.dequeue();
    }
    void plainBox(QWidget* parent, const QString& text) override { asked(parent, Box::Plain, text); }
    void informationBox(QWidget* parent, const QString& text) override
    {
        asked(parent, Box::Information, text);
    }
    void errorBox(QWidget* parent, const QString& text) override { asked(parent, Box::Error, text); }
    bool questionBox(QWidget* parent, const QString& text) override
    {
        asked(parent, Box::Question, text);
        return !questionAnswers.isEmpty() && questionAnswers.dequeue();
    }
    void beep() override { ++beeps; }
    bool openUrl(const QUrl& url) override
    {
        urls.append(url);
        return shellOpens;
    }
    void showHelp(QWidget*) override { ++helpShown; }
    void runModal(QDialog* dialog) override
    {
        modals.append(dialog->windowTitle());
        if (onModal)
            onModal(dialog);
    }
    bool printSetup(QWidget*, QPrinter* printer, int pageCount) override
    {
        ++printDialogs;
        return onPrint && onPrint(printer, pageCount);
    }

    bool canPrint() override { return printers; }
    RecoveryChoice offerRecovery(QWidget* parent, const RecoveryOffer& offer) override
    {
        recoveryOffers.append(offer);
        shown(parent);
        return recoveryAnswers.isEmpty() ? RecoveryChoice::Later : recoveryAnswers.dequeue();
    }
    void notice(QWidget*, const QString& text) override { notices.append(text); }

    void shown(QWidget* parent)
    {
        if (onShown)
            onShown(parent);
    }
    void asked(QWidget* parent, Box box, const QString& text)
    {
        boxes.append({box, text});
        shown(parent);
    }

    QStringList texts(Box box) const
    {
        QStringList out;
        for (const Asked& a : boxes)
            if (a.box == box)
                out.append(a.text);
        return out;
    }
    void clear()
    {
        openRequests.clear();
        saveRequests.clear();
        boxes.clear();
        urls.clear();
        beeps = 0;
        modals.clear();
        printDialogs = 0;
    }
};

} // namespace shenbao
