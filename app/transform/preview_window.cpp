#include "transform/preview_window.h"

#include "core/image.h"
#include "shell/display_painter.h"
#include "shell/image_view.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"

#include <QCloseEvent>
#include <QPainter>

namespace {

class PreviewCanvas : public QWidget {
public:
    explicit PreviewCanvas(PreviewWindow* owner) : QWidget(owner), owner_(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        paint_display_image(p, owner_->record(), rect(), event->rect(), 0, 0);
    }

private:
    PreviewWindow* owner_;
};

} // namespace

PreviewWindow::PreviewWindow(WorkspaceArea* area, int recordIndex) : ChildWindow(kPreview, recordIndex)
{
    record().window = this;
    setWidget(new PreviewCanvas(this));
    area->addSubWindow(this);
    updateTitle();
}

PreviewWindow::~PreviewWindow()
{
    mv::window_record_release(recordIndex());
}

mv::WindowRecord& PreviewWindow::record() const
{
    return *mv::window_record_at(recordIndex());
}

void PreviewWindow::updateTitle()
{
    const mv::WindowRecord& r = record();
    // The preview's picture is its display image: the title shows the zoom of a picture type.
    setWindowTitle(QString::fromStdString(mv::image_window_title("", recordIndex(), mv::IMAGE_COLOR, r.zoom, true)));
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    if (!closingByProgram_)
        emit closedByUser();
    ChildWindow::closeEvent(event);
}
