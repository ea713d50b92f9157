#include "session/session.h"

#include "check/verify.h"

namespace shenbao {

OpenedDocument openDocument(const QString& path, const ApplicationRecord& current)
{
    OpenResult open = openXdxFile(path);
    OpenedDocument d;
    d.status = open.status;
    d.message = open.message;
    d.fileMessage = open.fileMessage;
    switch (open.status) {
    case OpenResult::Status::Failed:
        return d; // the open stops before the check
    case OpenResult::Status::Loaded:
        d.record = std::move(open.record);
        d.official = open.official;
        break;
    case OpenResult::Status::NoChildren:
    case OpenResult::Status::Rejected:
        d.record = current; // nothing read: the check looks at the fields as they stand
        break;
    }
    d.checked = true;
    d.errorList = verify(d.record);
    return d;
}

PreparedSave prepareSave(const ApplicationRecord& record)
{
    PreparedSave save;
    save.errorList = verify(record);
    save.refusal = saveRefusal(record);
    if (save.refusal.isEmpty()) {
        save.record = record;
        save.record.setProjectId(newProjectId());
    }
    return save;
}

} // namespace shenbao
