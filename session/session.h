#pragma once

// The commands' procedures, written once for the window and for xdxtool: what opening a file
// and preparing a save do with a record. The window adds only its dialogs and boxes.

#include "record/applicationrecord.h"
#include "xdx/xdxfile.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace shenbao {

// What the open command makes of a file while the fields hold current.
struct OpenedDocument
{
    OpenResult document;      // what the file held, or why it was not read
    ApplicationRecord record; // the document's record when loaded, else current (nothing was read)
    // The check's list of record: after every open that did not fail.
    std::optional<QStringList> errorList;

    OpenStatus status() const { return openStatus(document); }
    bool official() const { return document && document->official; }
    // The box to show: the error (unreadable), the information (rejected); empty otherwise.
    QString message() const { return document ? QString() : document.error().message; }
};

// Reads the whole document before anything is taken from it, so that a failure leaves the
// fields as they were; then checks the record. The record holds every value as its control will
// (a choice as its item's own text, or none), so errorList is the list the window shows.
OpenedDocument openDocument(const QString& path, const ApplicationRecord& current = ApplicationRecord());

// A save made ready: the check's list (to show, and to write with the document), and the record
// to write with a fresh ProjectID, or the refusal (the text of the plain box).
struct PreparedSave
{
    QStringList errorList;
    Expected<ApplicationRecord, QString> record;
};

PreparedSave prepareSave(const ApplicationRecord& record);

} // namespace shenbao
