#include "cli/startup.h"

#include "check/verify.h"

namespace shenbao {

StartupView openAtStartup(const QString& path)
{
    OpenResult open = openXdxFile(path);
    StartupView view;
    view.status = open.status;
    view.message = open.message;
    switch (open.status) {
    case OpenResult::Status::Loaded:
        view.record = std::move(open.record);
        view.official = open.official;
        view.errorList = verify(view.record);
        break;
    case OpenResult::Status::NoChildren:
    case OpenResult::Status::Rejected:
        // Nothing read; the open command still checks the fields as they stand.
        view.errorList = verify(view.record);
        break;
    case OpenResult::Status::Failed:
        break; // the open stops before the check
    }
    return view;
}

} // namespace shenbao
