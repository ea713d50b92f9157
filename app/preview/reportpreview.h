#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QScrollArea;
class QSpinBox;

namespace shenbao {

class Interaction;
class PreviewPages;

// The preview window "报表预览": modal, maximized, one page at a time at 100 % at first. Page
// navigation, zoom, printing, saving the report as a PDF and opening a saved one. Every dialog
// it raises goes through the window's Interaction.
class ReportPreview : public QDialog
{
    Q_OBJECT

public:
    enum class ZoomMode { Percent, WholePage, PageWidth };

    ReportPreview(Interaction* interaction, std::unique_ptr<PreviewPages> pages, QWidget* parent = nullptr);
    ~ReportPreview() override;

    // What the save dialog proposes first: the document's own name in its folder.
    void setSaveName(const QString& path) { m_saveName = path; }

    const PreviewPages& pages() const { return *m_pages; }
    int pageCount() const;
    int currentPage() const { return m_current; } // 0-based
    int zoomPercent() const { return m_zoom; }
    ZoomMode zoomMode() const { return m_mode; }
    // The picture of the current page as shown.
    QImage pageImage() const { return m_image; }
    // The toolbar's commands by name: first, previous, next, last, zoomIn, zoomOut, wholePage,
    // pageWidth, print, save, open, close.
    QAction* command(const QString& name) const;
    // A bar above the pages that the applicant reads before printing (the loose leaves naming
    // their author); hidden when text is empty.
    void setNotice(const QString& text);
    QString notice() const;

    static constexpr int kMinZoom = 10;
    static constexpr int kMaxZoom = 400;

public slots:
    void setCurrentPage(int index);
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void setZoomPercent(int percent);
    void zoomIn();
    void zoomOut();
    void fitWholePage();
    void fitPageWidth();
    void print();
    void save();
    void open();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar();
    void setPages(std::unique_ptr<PreviewPages> pages);
    void refit();
    void render();
    void updateControls();
    double screenDpi() const;

    Interaction* m_interaction;
    std::unique_ptr<PreviewPages> m_pages;
    int m_current = 0;
    int m_zoom = 100;
    ZoomMode m_mode = ZoomMode::Percent;
    QImage m_image;
    QString m_saveName;
    QString m_openName;

    QScrollArea* m_scroll = nullptr;
    QLabel* m_page = nullptr;
    QSpinBox* m_pageNumber = nullptr;
    QLabel* m_pageTotal = nullptr;
    QComboBox* m_zoomBox = nullptr;
    QLabel* m_notice = nullptr;
};

} // namespace shenbao
