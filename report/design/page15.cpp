#include "report/design/builder.h"
#include "report/design/pages.h"

using namespace Qt::StringLiterals;

namespace shenbao::design {

// Loose leaf 2: the feasibility analysis under its guidance lines, anonymous like leaf 1.
ReportPage page15()
{
    return page(u"Page15"_s, QString(),
                {
                    bannerCopy(0.8, 10.7, u"Bitmap2"_s),
                    frame(0.9, 1.55, 6.9, 9.1, Fill::White),
                    region(0.9, 0.8, 7.3, 9.8, 9.5,
                           withFeasibilityGuidance({
                               frame(0.9, 0.8, 6.9, 1.0, Fill::White),
                               valueMemo(Field::ProjectAnalyze, 1.0, 1.9, 6.7, 8.4, song(11), Memo::Flowing),
                           })),
                    informalCopy(3.5, 0.5),
                    text(3.6, 10.7, 1.0, arial(10), u"——活页2——"_s),
                    pageNumber(),
                    bannerCopy(4.4, 0.5, u"Bitmap1"_s),
                });
}

} // namespace shenbao::design
