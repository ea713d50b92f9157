#include "report/design/pages.h"
#include "report/reportdesign.h"

using namespace Qt::StringLiterals;

namespace shenbao {

ReportDesign builtInDesign()
{
    using namespace design;
    ReportDesign d(u"Report1"_s);
    for (ReportPage (*make)() : {page01, page02, page03, page04, page05, page06, page07, page08, page09,
                                 page10, page11, page12, page13, page14, page15})
        d.addPage(make());
    return d;
}

} // namespace shenbao
