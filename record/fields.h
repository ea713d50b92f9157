#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <span>

namespace shenbao {

// Every field of one application, in page order (page 1 to 10), as the catalogue lists them.
// The enumerator names are the control names and, for stored fields, the XDX element names.
enum class Field : int {
    // page 1 "基本资料"
    ProjectName,
    KeyWord,
    ResearchClass,
    ProjectClass,
    SubjectClass,
    Presider,
    EduCode,
    InputDate,
    ExpectCompleteDate,
    ApplyOutlay,
    ExpectProduction1,
    ExpectProduction2,
    // page 2 "主持人信息"
    Sex,
    Nation,
    Birthday,
    IDcard,
    DutyAdmin,
    DutySpecial,
    ResearchSpecial,
    LastDiploma,
    LastDegree,
    Tutor,
    BelongCity,
    BelongSystem,
    Department,
    ContactMail,
    ContactAddress,
    PostCode,
    ContactTelArea,
    ContactTelHome,
    ContactTelDepartmet,
    ContactMobile,
    // pages 3 to 5
    MainActor,
    Production,
    ResearchedProject,
    // pages 6 and 7
    ProjectReasoning,
    ProjectAnalyze,
    // page 8
    ExpectProduction,
    FinallyProduction,
    // page 9 "经费"
    OutlayPromises,
    OutlayDepartment,
    OutlayAddress,
    OutlayPostcode,
    OutlayAccounts,
    OutlayBank,
    // page 10 "推荐意见"
    tuijian1,
    tuijian2,
    danweiyijian,
    jiaoyujuyijian,
};

inline constexpr int kFieldCount = int(Field::jiaoyujuyijian) + 1;

enum class FieldKind { Text, Choice, Code, Table, LongText };

struct TableColumn
{
    const char16_t* header; // exactly as shown, leading blanks included
    int width;              // pixels, set at start-up
};

struct TableSpec
{
    int dataRows; // rows 1..dataRows below the header row 0
    std::span<const TableColumn> columns;
};

struct FieldSpec
{
    Field field;
    const char16_t* name;
    int page;                // 1..10
    const char16_t* caption; // as on the page (without the padding blanks of some labels)
    FieldKind kind;
    int byteLimit;                          // GBK bytes; 0 = no limit
    std::span<const char16_t* const> items; // choice fields
    const char16_t* hint;                   // tooltip, or nullptr
    const char16_t* initial;                // initial value, or nullptr for empty
    const TableSpec* table;                 // table fields
};

// The catalogue: one entry per field, indexed by Field.
std::span<const FieldSpec> fieldCatalogue();
const FieldSpec& fieldSpec(Field f);
QString fieldName(Field f);
// Exact, case-sensitive lookup by control/element name.
std::optional<Field> fieldByName(QStringView name);

// The choice items of a choice field (empty for other kinds).
QStringList choiceItems(Field f);
// First item equal to text ignoring letter case, or -1. BelongCity's capital stands twice
// and always resolves to item 0.
int choiceIndex(Field f, QStringView text);

// Tables.
int tableRows(Field f); // data rows
int tableColumns(Field f);

inline constexpr int kTableCount = 5;
inline constexpr Field kTableFields[kTableCount] = {Field::MainActor, Field::Production,
                                                    Field::ResearchedProject, Field::ExpectProduction,
                                                    Field::FinallyProduction};

// The preset cell of FinallyProduction: data row 1, column 3 holds "研究报告" at start-up.
inline constexpr int kPresetRow = 1;
inline constexpr int kPresetColumn = 3;
QString presetResultForm(); // "研究报告"

// The cities of the province (BelongCity's items without the duplicate capital), in the
// order of the form: capital first, then twelve cities, then the autonomous prefecture.
QStringList provinceCities();

} // namespace shenbao
