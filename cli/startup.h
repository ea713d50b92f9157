#pragma once

#include "record/applicationrecord.h"
#include "xdx/xdxfile.h"

#include <QString>
#include <QStringList>

namespace shenbao {

// What the window holds right after being started with path on its command line: a fresh
// application, then the open command on that file.
struct StartupView {
    OpenResult::Status status = OpenResult::Status::Failed;
    ApplicationRecord record; // the loaded record, or the fresh one when nothing was read
    bool official = false;
    QStringList errorList;    // the error list the window shows (empty when the check did not run)
    QString message;          // the text of the box the window would show, or empty
};

StartupView openAtStartup(const QString& path);

} // namespace shenbao
