#include "session/session.h"

#include "check/verify.h"

namespace shenbao {

OpenedDocument openDocument(const QString& path, const ApplicationRecord& current)
{
    OpenedDocument d{openXdxFile(path), current, std::nullopt};
    switch (d.status()) {
    case OpenStatus::Unreadable:
        return d; // the open stops before the check
    case OpenStatus::Loaded:
        d.record = d.document->record;
        break;
    case OpenStatus::Hollow:
    case OpenStatus::Rejected:
        break; // nothing read: the check looks at the fields as they stand
    }
    d.errorList = verify(d.record);
    return d;
}

PreparedSave prepareSave(const ApplicationRecord& record)
{
    PreparedSave save{verify(record), record};
    if (const QString refusal = saveRefusal(record); !refusal.isEmpty())
        save.record = unexpected(refusal);
    else
        save.record->setProjectId(newProjectId());
    return save;
}

} // namespace shenbao
