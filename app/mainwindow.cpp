#include "app/mainwindow.h"

#include "app/interaction.h"
#include "app/widgets.h"
#include "report/fonts.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

namespace shenbao {
namespace {

// The two fields whose typing is filtered character by character; their hints promise that
// nothing can be pasted, so every paste route is closed as well.
struct KeyFilter
{
    Field field;
    const char16_t* allowed;
    bool inputMethod;
};
constexpr KeyFilter kKeyFilters[] = {
    {Field::ApplyOutlay, u"0123456789.", false},
    {Field::IDcard, u"0123456789Xx", true},
};

QString helpMissingMessage()
{
    return QStringLiteral("程序目录下没有找到帮助文档help.doc，请上网下载帮助文档！");
}

} // namespace

MainWindow::MainWindow(Interaction* interaction, QWidget* parent)
    : QWidget(parent), m_interaction(interaction), m_anchors(new AnchorKeeper(this)), m_builder(m_anchors)
{
    if (!m_interaction) {
        m_ownInteraction = std::make_unique<DesktopInteraction>();
        m_interaction = m_ownInteraction.get();
    }
    m_programDirectory = QCoreApplication::applicationDirPath();
    buildControls();
    connectFields();
    setRecord(ApplicationRecord());
    m_modified = false;
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(programTitle());
    setWindowIcon(QIcon(QStringLiteral(":/icons/shenbao.svg")));
    setFont(formFontPixels(QStringLiteral("MS Sans Serif"), 11));
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    setPalette(p);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->setUsesScrollButtons(false);
    m_pages->tabBar()->setExpanding(false);
    // Narrow tabs, so that the ten captions fit in one row. Only the tab bar has a style sheet
    // (a widget with one does not pass its font on) and it is given its font directly.
    m_pages->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    m_pages->tabBar()->setFont(font());
    m_panel = new QWidget(this);
    m_panel->setFixedWidth(kPanelWidth);
    layout->addWidget(m_pages, 1);
    layout->addWidget(m_panel, 0);

    QList<QWidget*> tabChain =
        m_builder.build(m_panel, QSize(kPanelWidth, kClientHeight), commandPanelLayout());
    tabChain.append(m_pages); // its tabs, through the focus proxy
    const QColor tabColour = colourValue(Colour::Navy);
    for (const PageSpec& spec : pageLayouts()) {
        auto* page = new QWidget(m_pages); // a parent now, so that sizes are measured in the window's font
        page->resize(kPageWidth, kPageHeight);
        tabChain += m_builder.build(page, QSize(kPageWidth, kPageHeight), spec);
        const int index = m_pages->addTab(page, QString::fromUtf16(spec.caption));
        m_pages->tabBar()->setTabTextColor(index, tabColour);
    }
    for (qsizetype i = 1; i < tabChain.size(); ++i)
        QWidget::setTabOrder(tabChain[i - 1], tabChain[i]);

    for (const FieldSpec& spec : fieldCatalogue()) {
        QWidget* w = m_builder.controls().value(QString::fromUtf16(spec.name));
        Q_ASSERT_X(w, "MainWindow", "every field has its control in the layout");
        m_fields[std::size_t(spec.field)] = w;
    }
    m_errorList = qobject_cast<QListWidget*>(control(QStringLiteral("verifylist")));
    m_projectId = qobject_cast<QLabel*>(control(QStringLiteral("ProjectID")));

    for (const KeyFilter& filter : kKeyFilters) {
        auto* edit = static_cast<FieldLineEdit*>(fieldControl(filter.field));
        edit->setCharacterFilter(QString::fromUtf16(filter.allowed));
        if (!filter.inputMethod)
            edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
    static_cast<EduCodeEdit*>(fieldControl(Field::EduCode))->setInteraction(m_interaction);

    resize(kClientWidth, kClientHeight);
    m_pages->setCurrentIndex(0);
}

QWidget* MainWindow::control(const QString& name) const
{
    return m_builder.controls().value(name);
}

void MainWindow::connectFields()
{
    for (const FieldSpec& spec : fieldCatalogue()) {
        QWidget* w = fieldControl(spec.field);
        switch (spec.kind) {
        case FieldKind::Text:
            connect(static_cast<QLineEdit*>(w), &QLineEdit::textChanged, this, &MainWindow::markModified);
            break;
        case FieldKind::Code:
            connect(static_cast<QLineEdit*>(w), &QLineEdit::textChanged, this, &MainWindow::markModified);
            break;
        case FieldKind::Choice:
            // Only the user's choice counts, not one the program makes.
            connect(static_cast<QComboBox*>(w), &QComboBox::activated, this, &MainWindow::markModified);
            break;
        case FieldKind::Table:
            connect(static_cast<GridTable*>(w), &GridTable::cellHandedOver, this, &MainWindow::markModified);
            break;
        case FieldKind::LongText:
            connect(static_cast<QPlainTextEdit*>(w), &QPlainTextEdit::textChanged, this,
                    &MainWindow::markModified);
            break;
        }
    }
    // The copies on page 2 follow every change, typed or written, after Modified is set.
    auto* presider = static_cast<QLineEdit*>(fieldControl(Field::Presider));
    auto* presider1 = static_cast<FieldLineEdit*>(control(QStringLiteral("Presider1")));
    connect(presider, &QLineEdit::textChanged, presider1, &FieldLineEdit::setValue);
    auto* eduCode = static_cast<EduCodeEdit*>(fieldControl(Field::EduCode));
    auto* eduCode1 = static_cast<EduCodeEdit*>(control(QStringLiteral("EduCode1")));
    connect(eduCode, &QLineEdit::textChanged, eduCode1,
            [eduCode, eduCode1] { eduCode1->setValue(eduCode->value()); });

    connect(static_cast<QAbstractButton*>(control(QStringLiteral("helpinfo"))), &QAbstractButton::clicked,
            this, &MainWindow::helpinfoClick);
    connect(static_cast<QAbstractButton*>(control(QStringLiteral("printreport"))), &QAbstractButton::clicked,
            this, &MainWindow::printreportClick);
    connect(static_cast<ClickLabel*>(control(QStringLiteral("Label41"))), &ClickLabel::clicked, this,
            &MainWindow::Label41Click);
}

void MainWindow::markModified()
{
    m_modified = true;
}

void MainWindow::start(const QStringList& arguments)
{
    m_modified = false;
    m_openDirectory = m_programDirectory;
    m_startupFileName = arguments.join(u' ');
    m_pages->setCurrentIndex(0);
}

ApplicationRecord MainWindow::record() const
{
    ApplicationRecord r = ApplicationRecord::empty();
    for (const FieldSpec& spec : fieldCatalogue()) {
        QWidget* w = fieldControl(spec.field);
        switch (spec.kind) {
        case FieldKind::Text:
            r.setValue(spec.field, static_cast<QLineEdit*>(w)->text());
            break;
        case FieldKind::Choice: {
            const auto* combo = static_cast<QComboBox*>(w);
            r.setValue(spec.field, combo->currentIndex() < 0 ? QString() : combo->currentText());
            break;
        }
        case FieldKind::Code:
            r.setValue(spec.field, static_cast<EduCodeEdit*>(w)->value());
            break;
        case FieldKind::LongText:
            r.setValue(spec.field, static_cast<LongTextEdit*>(w)->value());
            break;
        case FieldKind::Table: {
            const auto* grid = static_cast<GridTable*>(w);
            TableGrid& table = r.table(spec.field);
            for (int row = 1; row <= table.rows(); ++row)
                for (int column = 0; column < table.columns(); ++column)
                    table.setCell(row, column, grid->cellText(row, column));
            break;
        }
        }
    }
    r.setProjectId(m_projectId->text());
    return r;
}

void MainWindow::setRecord(const ApplicationRecord& r)
{
    m_projectId->setText(r.projectId());
    for (const FieldSpec& spec : fieldCatalogue()) {
        QWidget* w = fieldControl(spec.field);
        switch (spec.kind) {
        case FieldKind::Text:
            static_cast<FieldLineEdit*>(w)->setValue(r.value(spec.field));
            break;
        case FieldKind::Choice:
            static_cast<QComboBox*>(w)->setCurrentIndex(choiceIndex(spec.field, r.value(spec.field)));
            break;
        case FieldKind::Code:
            static_cast<EduCodeEdit*>(w)->setValue(r.value(spec.field));
            break;
        case FieldKind::LongText:
            static_cast<LongTextEdit*>(w)->setValue(r.value(spec.field));
            break;
        case FieldKind::Table: {
            auto* grid = static_cast<GridTable*>(w);
            const TableGrid& table = r.table(spec.field);
            for (int row = 1; row <= table.rows(); ++row)
                for (int column = 0; column < table.columns(); ++column)
                    grid->setCellText(row, column, table.cell(row, column));
            break;
        }
        }
    }
}

void MainWindow::helpinfoClick()
{
    QString path = m_programDirectory;
    if (!path.endsWith(u'/'))
        path += u'/';
    path += QStringLiteral("help.doc");
    // A folder of that name is no help document.
    if (QFileInfo(path).isFile())
        m_interaction->openUrl(QUrl::fromLocalFile(path));
    else
        m_interaction->plainBox(this, helpMissingMessage());
}

void MainWindow::Label41Click()
{
    m_interaction->openUrl(QUrl(registrationSite()));
}

void MainWindow::printreportClick()
{
    // The print command comes with the printed form.
}

} // namespace shenbao
