#include "report/fillreport.h"

#include "record/fields.h"

#include <functional>

using namespace Qt::StringLiterals;

namespace shenbao {
namespace {

// One step of the filling: a single item named after its field (item == nullptr) or spelt out,
// or, for a table field, all of its cell items.
struct FillStep
{
    const char16_t* page;
    Field field;
    const char16_t* item = nullptr;
};

using F = Field;
// clang-format off
constexpr FillStep kSteps[] = {
    {u"Page1", F::ProjectName}, {u"Page1", F::Presider}, {u"Page1", F::EduCode, u"educode"},
    {u"Page1", F::Department}, {u"Page1", F::ProjectClass}, {u"Page1", F::SubjectClass},
    {u"Page1", F::InputDate},
    {u"Page4", F::ProjectName}, {u"Page4", F::KeyWord}, {u"Page4", F::ProjectClass},
    {u"Page4", F::SubjectClass}, {u"Page4", F::ResearchClass}, {u"Page4", F::Presider},
    {u"Page4", F::Department}, {u"Page4", F::Sex}, {u"Page4", F::Nation}, {u"Page4", F::Birthday},
    {u"Page4", F::DutyAdmin}, {u"Page4", F::DutySpecial}, {u"Page4", F::ResearchSpecial},
    {u"Page4", F::LastDiploma}, {u"Page4", F::LastDegree}, {u"Page4", F::Tutor},
    {u"Page4", F::BelongCity}, {u"Page4", F::BelongSystem}, {u"Page4", F::ContactMail},
    {u"Page4", F::ContactAddress}, {u"Page4", F::PostCode}, {u"Page4", F::ContactTelArea},
    {u"Page4", F::ContactTelDepartmet}, {u"Page4", F::ContactTelHome}, {u"Page4", F::ContactMobile},
    {u"Page4", F::IDcard}, {u"Page4", F::ExpectProduction1}, {u"Page4", F::ExpectProduction2},
    {u"Page4", F::ApplyOutlay}, {u"Page4", F::ExpectCompleteDate},
    {u"Page4", F::MainActor},
    {u"Page5", F::Production}, {u"Page5", F::ResearchedProject},
    {u"Page6", F::ProjectReasoning},
    {u"Page7", F::ProjectAnalyze},
    {u"Page8", F::ExpectProduction}, {u"Page8", F::FinallyProduction},
    {u"Page9", F::OutlayPromises}, {u"Page9", F::OutlayDepartment}, {u"Page9", F::OutlayAddress},
    {u"Page9", F::OutlayPostcode}, {u"Page9", F::OutlayBank}, {u"Page9", F::OutlayAccounts},
    {u"Page10", F::tuijian1}, {u"Page10", F::tuijian2},
    {u"Page11", F::danweiyijian}, {u"Page11", F::jiaoyujuyijian},
    {u"Page14", F::ProjectName}, {u"Page14", F::ProjectReasoning},
    {u"Page15", F::ProjectAnalyze},
};
// clang-format on

// The marks: the watermark and banner masters show an official print, the informal mark the rest.
struct Mark
{
    const char16_t* page;
    const char16_t* item;
    bool official; // shown on an official print
};
constexpr Mark kMarks[] = {
    {u"Page1", u"Bitmap1", true},
    {u"Page6", u"Bitmap1", true},
    {u"Page1", u"informal", false},
};

// Calls visit(page, item, value) for every item the record fills, in filling order. The item of
// row r and column c of a table is the field's name, r and c, counted from 1; it shows the cell
// in column c − 1.
void forEachValue(const ApplicationRecord& record,
                  const std::function<void(const QString&, const QString&, const QString&)>& visit)
{
    for (const FillStep& step : kSteps) {
        const QString page = QString::fromUtf16(step.page);
        if (fieldSpec(step.field).kind != FieldKind::Table) {
            const QString item = step.item ? QString::fromUtf16(step.item) : fieldName(step.field);
            visit(page, item, record.value(step.field));
            continue;
        }
        const TableGrid& grid = record.table(step.field);
        for (int r = 1; r <= tableRows(step.field); ++r)
            for (int c = 1; c <= tableColumns(step.field); ++c)
                visit(page, cellItemName(step.field, r, c), grid.cell(r, c - 1));
    }
}

} // namespace

void fillReport(ReportDesign& design, const ApplicationRecord& record, bool official)
{
    for (const Mark& m : kMarks)
        design.setVisible(m.page, m.item, m.official == official);
    forEachValue(record, [&](const QString& page, const QString& item, const QString& value) {
        design.setText(page, item, value);
    });
}

QStringList missingFillItems(const ReportDesign& design)
{
    QStringList missing;
    auto check = [&](const QString& page, const QString& item) {
        if (!design.item(page, item))
            missing.append(page + u'.' + item);
    };
    for (const Mark& m : kMarks)
        check(QString::fromUtf16(m.page), QString::fromUtf16(m.item));
    forEachValue(ApplicationRecord(),
                 [&](const QString& page, const QString& item, const QString&) { check(page, item); });
    return missing;
}

ReportLayout layoutForm(const ApplicationRecord& record, bool official, const SheetProgress& progress,
                        const std::function<void(ReportDesign&)>& amend)
{
    ReportDesign design = builtInDesign();
    fillReport(design, record, official);
    if (amend)
        amend(design);
    return layoutReport(design, progress);
}

} // namespace shenbao
