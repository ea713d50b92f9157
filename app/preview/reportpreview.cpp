#include "app/preview/reportpreview.h"

#include "app/interaction.h"
#include "app/messages.h"
#include "app/preview/previewpages.h"
#include "app/preview/reportprint.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPrinter>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>

namespace shenbao {
namespace {

constexpr std::array kZoomSteps{10, 25, 50, 75, 100, 125, 150, 200, 300, 400};
constexpr int kPaperMargin = 12; // grey around the page in the fitting modes

FileRequest pdfRequest(const QString& title, const QString& fileName)
{
    return {.title = title,
            .directory = {},
            .fileName = fileName,
            .filterName = appmsg::reportFilter(),
            .filterPattern = QStringLiteral("*.pdf"),
            .defaultSuffix = QStringLiteral("pdf"),
            .places = {}};
}

} // namespace

ReportPreview::ReportPreview(Interaction* interaction, std::unique_ptr<PreviewPages> pages, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_interaction(interaction)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("报表预览"));
    setModal(true);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("pageView"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_page = new QLabel;
    m_page->setObjectName(QStringLiteral("page"));
    m_page->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(m_page);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    layout->addWidget(findChild<QToolBar*>());
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setWordWrap(true);
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_notice->setContentsMargins(8, 6, 8, 6);
    m_notice->setAutoFillBackground(true);
    QPalette warning = m_notice->palette();
    warning.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xCE));
    warning.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
    m_notice->setPalette(warning);
    m_notice->hide();
    layout->addWidget(m_notice);
    layout->addWidget(m_scroll, 1);

    // The size it returns to when no longer maximized (and has, without a window manager).
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size() * 0.9);
    setWindowState(Qt::WindowMaximized);
    setPages(std::move(pages));
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::buildToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("previewTools"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto add = [&](const char* name, const QString& text, QStyle::StandardPixmap icon, QKeySequence key,
                         void (ReportPreview::*slot)()) {
        QAction* a = bar->addAction(style()->standardIcon(icon), text);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add("first", QStringLiteral("首页"), QStyle::SP_MediaSkipBackward, QKeySequence(Qt::CTRL | Qt::Key_Home),
        &ReportPreview::firstPage);
    add("previous", QStringLiteral("上一页"), QStyle::SP_ArrowLeft, QKeySequence(Qt::Key_PageUp),
        &ReportPreview::previousPage);

    m_pageNumber = new QSpinBox(bar);
    m_pageNumber->setObjectName(QStringLiteral("pageNumber"));
    m_pageNumber->setPrefix(QStringLiteral("第 "));
    m_pageNumber->setSuffix(QStringLiteral(" 页"));
    m_pageNumber->setKeyboardTracking(false);
    m_pageNumber->setToolTip(QStringLiteral("转到页"));
    connect(m_pageNumber, &QSpinBox::valueChanged, this, [this](int n) { setCurrentPage(n - 1); });
    bar->addWidget(m_pageNumber);
    m_pageTotal = new QLabel(bar);
    m_pageTotal->setObjectName(QStringLiteral("pageTotal"));
    m_pageTotal->setContentsMargins(4, 0, 4, 0);
    bar->addWidget(m_pageTotal);

    add("next", QStringLiteral("下一页"), QStyle::SP_ArrowRight, QKeySequence(Qt::Key_PageDown),
        &ReportPreview::nextPage);
    add("last", QStringLiteral("末页"), QStyle::SP_MediaSkipForward, QKeySequence(Qt::CTRL | Qt::Key_End),
        &ReportPreview::lastPage);
    bar->addSeparator();

    add("zoomOut", QStringLiteral("缩小"), QStyle::SP_ArrowDown, QKeySequence::ZoomOut,
        &ReportPreview::zoomOut);
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setObjectName(QStringLiteral("zoom"));
    m_zoomBox->setEditable(true);
    m_zoomBox->setInsertPolicy(QComboBox::NoInsert);
    m_zoomBox->setToolTip(QStringLiteral("缩放比例"));
    for (int z : kZoomSteps)
        m_zoomBox->addItem(QStringLiteral("%1%").arg(z), z);
    m_zoomBox->lineEdit()->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\s*\\d{1,3}\\s*%?\\s*")), m_zoomBox));
    // A percentage picked from the list or typed and confirmed with Return (which, with
    // NoInsert, the box itself ignores).
    const auto applyZoomText = [this] {
        QString digits = m_zoomBox->currentText();
        digits.remove(u'%');
        bool ok = false;
        const int z = digits.trimmed().toInt(&ok);
        if (ok && z > 0)
            setZoomPercent(z);
        else
            updateControls();
    };
    connect(m_zoomBox, &QComboBox::activated, this, applyZoomText);
    connect(m_zoomBox->lineEdit(), &QLineEdit::returnPressed, this, applyZoomText);
    bar->addWidget(m_zoomBox);
    add("zoomIn", QStringLiteral("放大"), QStyle::SP_ArrowUp, QKeySequence::ZoomIn, &ReportPreview::zoomIn);
    add("wholePage", QStringLiteral("整页"), QStyle::SP_TitleBarNormalButton, {},
        &ReportPreview::fitWholePage);
    add("pageWidth", QStringLiteral("页宽"), QStyle::SP_TitleBarMaxButton, {}, &ReportPreview::fitPageWidth);
    bar->addSeparator();

    add("print", QStringLiteral("打印"), QStyle::SP_FileDialogDetailedView, QKeySequence::Print,
        &ReportPreview::print);
    add("save", QStringLiteral("保存"), QStyle::SP_DialogSaveButton, QKeySequence::Save,
        &ReportPreview::save);
    add("open", QStringLiteral("打开"), QStyle::SP_DialogOpenButton, QKeySequence::Open,
        &ReportPreview::open);
    bar->addSeparator();
    add("close", QStringLiteral("关闭"), QStyle::SP_DialogCloseButton, {}, &ReportPreview::accept);
}

void ReportPreview::setNotice(const QString& text)
{
    m_notice->setText(text);
    m_notice->setAccessibleName(text);
    m_notice->setVisible(!text.isEmpty());
}

QString ReportPreview::notice() const
{
    return m_notice->isVisible() || !m_notice->isHidden() ? m_notice->text() : QString();
}

QAction* ReportPreview::command(const QString& name) const
{
    return findChild<QAction*>(name);
}

int ReportPreview::pageCount() const
{
    return m_pages ? m_pages->count() : 0;
}

void ReportPreview::setPages(std::unique_ptr<PreviewPages> pages)
{
    m_pages = std::move(pages);
    m_current = 0;
    {
        const QSignalBlocker block(m_pageNumber);
        m_pageNumber->setRange(1, std::max(pageCount(), 1));
        m_pageNumber->setValue(1);
    }
    m_pageTotal->setText(QStringLiteral("共 %1 页").arg(pageCount()));
    refit();
    render();
}

void ReportPreview::setCurrentPage(int index)
{
    index = std::clamp(index, 0, std::max(pageCount() - 1, 0));
    if (index == m_current)
        return updateControls();
    m_current = index;
    refit(); // pages may differ in size
    render();
}

void ReportPreview::firstPage()
{
    setCurrentPage(0);
}

void ReportPreview::previousPage()
{
    setCurrentPage(m_current - 1);
}

void ReportPreview::nextPage()
{
    setCurrentPage(m_current + 1);
}

void ReportPreview::lastPage()
{
    setCurrentPage(pageCount() - 1);
}

void ReportPreview::setZoomPercent(int percent)
{
    m_mode = ZoomMode::Percent;
    m_zoom = std::clamp(percent, kMinZoom, kMaxZoom);
    render();
}

void ReportPreview::zoomIn()
{
    const auto* next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), m_zoom);
    setZoomPercent(next == kZoomSteps.end() ? kMaxZoom : *next);
}

void ReportPreview::zoomOut()
{
    const auto* below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), m_zoom);
    setZoomPercent(below == kZoomSteps.begin() ? kMinZoom : *(below - 1));
}

void ReportPreview::fitWholePage()
{
    m_mode = ZoomMode::WholePage;
    refit();
    render();
}

void ReportPreview::fitPageWidth()
{
    m_mode = ZoomMode::PageWidth;
    refit();
    render();
}

double ReportPreview::screenDpi() const
{
    return logicalDpiX();
}

// In the fitting modes the percentage follows the page and the window's size.
void ReportPreview::refit()
{
    if (m_mode == ZoomMode::Percent || pageCount() == 0)
        return;
    const QSizeF inches = m_pages->size(m_current);
    const QSize view = m_scroll->maximumViewportSize();
    const double perInch = screenDpi() / 100.0;
    const double byWidth = (view.width() - 2 * kPaperMargin) / (inches.width() * perInch);
    const double scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    double z = 0;
    if (m_mode == ZoomMode::WholePage)
        z = std::min(byWidth, (view.height() - 2 * kPaperMargin) / (inches.height() * perInch));
    else // page width: room left for the vertical scroll bar that a taller page brings
        z = (view.width() - 2 * kPaperMargin - scrollBar) / (inches.width() * perInch);
    m_zoom = std::clamp(int(std::floor(z)), kMinZoom, kMaxZoom);
}

void ReportPreview::render()
{
    if (pageCount() == 0) {
        m_image = QImage();
        m_page->clear();
    } else {
        m_image = m_pages->image(m_current, screenDpi() * m_zoom / 100.0);
        m_page->setPixmap(QPixmap::fromImage(m_image));
    }
    m_page->resize(m_page->sizeHint());
    updateControls();
}

void ReportPreview::updateControls()
{
    const int n = pageCount();
    {
        const QSignalBlocker block(m_pageNumber);
        m_pageNumber->setValue(m_current + 1);
    }
    command(QStringLiteral("first"))->setEnabled(m_current > 0);
    command(QStringLiteral("previous"))->setEnabled(m_current > 0);
    command(QStringLiteral("next"))->setEnabled(m_current + 1 < n);
    command(QStringLiteral("last"))->setEnabled(m_current + 1 < n);
    command(QStringLiteral("zoomIn"))->setEnabled(m_zoom < kMaxZoom);
    command(QStringLiteral("zoomOut"))->setEnabled(m_zoom > kMinZoom);
    command(QStringLiteral("print"))->setEnabled(n > 0);
    command(QStringLiteral("save"))->setEnabled(n > 0);
    m_zoomBox->setEditText(QStringLiteral("%1%").arg(m_zoom));
}

void ReportPreview::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_mode != ZoomMode::Percent && m_pages) {
        const int before = m_zoom;
        refit();
        if (m_zoom != before)
            render();
    }
}

void ReportPreview::print()
{
    if (pageCount() == 0)
        return;
    // Without a printer Windows' dialog shows nothing at all: say so, and what to do instead.
    if (!m_interaction->canPrint()) {
        m_interaction->plainBox(this, appmsg::noPrinter());
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    if (!m_interaction->printSetup(this, &printer, pageCount()))
        return;
    const std::vector<int> sequence = printSequence(pageCount(), m_current, printChoice(printer));
    if (sequence.empty())
        return;
    QString error;
    if (!printPages(printer, *m_pages, sequence, this, &error) && !error.isEmpty())
        m_interaction->errorBox(this, errorBoxText(error));
}

void ReportPreview::save()
{
    if (pageCount() == 0)
        return;
    const QString path =
        m_interaction->saveFileName(this, pdfRequest(appmsg::saveReportCaption(), m_saveName));
    if (path.isEmpty())
        return;
    m_saveName = path;
    QString error;
    if (!m_pages->save(path, &error))
        m_interaction->errorBox(this, errorBoxText(error));
}

void ReportPreview::open()
{
    const QString path =
        m_interaction->openFileName(this, pdfRequest(appmsg::openReportCaption(), m_openName));
    if (path.isEmpty())
        return;
    m_openName = path;
    SavedReport report = openSavedReport(path);
    if (!report.error.isEmpty())
        m_interaction->errorBox(this, errorBoxText(report.error));
    else if (report.pages) {
        setPages(std::move(report.pages));
        setNotice(QString()); // it spoke of the window's application, not of this file
    }
}

} // namespace shenbao
