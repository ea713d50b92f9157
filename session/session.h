#pragma once

// The commands' procedures, written once for the window and for xdxtool: what opening a file
// and preparing a save do with a record. The window adds only its dialogs and boxes.

#include "record/applicationrecord.h"
#include "xdx/xdxfile.h"

#include <QString>
#include <QStringList>

namespace shenbao {

// What the open command makes of a file while the fields hold current.
struct OpenedDocument
{
    OpenResult::Status status = OpenResult::Status::Failed;
    ApplicationRecord record; // the document's record when Loaded, else current (nothing was read)
    bool official = false;    // Loaded only
    bool checked = false;     // the check ran on record: after every open that did not fail
    QStringList errorList;    // the check's list, when checked
    QString message;          // the box to show: the error (Failed), the information (Rejected)
    QString fileMessage;      // Failed on a file that could not be read at all: the reason alone
};

// Reads the whole document before anything is taken from it, so that a failure leaves the
// fields as they were; then checks the record. The record holds every value as its control will
// (a choice as its item's own text, or none), so errorList is the list the window shows.
OpenedDocument openDocument(const QString& path, const ApplicationRecord& current = ApplicationRecord());

// A save made ready: refused with the text of the plain box, or the record to write (with a
// fresh ProjectID) and the check's list to write with it.
struct PreparedSave
{
    QString refusal;
    ApplicationRecord record;
    QStringList errorList;
};

PreparedSave prepareSave(const ApplicationRecord& record);

} // namespace shenbao
