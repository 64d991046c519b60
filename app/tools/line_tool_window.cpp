#include "tools/line_tool_window.h"

#include "shell/image_window.h"
#include "shell/window_records.h"
#include "tools/brush.h"
#include "tools/color_control.h"
#include "transform/popup_list.h"
#include "transform/slider.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

// The program-run settings: a new window starts from what the last one left.
static mv::LineSettings& line_settings()
{
    static mv::LineSettings settings;
    return settings;
}

LineToolWindow::LineToolWindow(QWidget* parent)
    : ToolWindowBase(kKind, tr("Line & Arrow Tool"), parent)
{
    tool_.settings = line_settings();
    mv::LineSettings& s = tool_.settings;
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setSpacing(2);
    const auto row = [&](QLabel*& label, int position) {
        label = new QLabel(body);
        auto* slider = new Slider(body);
        slider->setValues(position);
        layout->addWidget(label);
        layout->addWidget(slider);
        return slider;
    };
    width_ = row(widthLabel_, mv::slider_from_radius(s.width));
    transparency_ = row(transparencyLabel_, mv::slider_from_percent(s.transparency));
    const auto follow = [this](Slider* slider, double& value, double (*map)(int)) {
        const auto set = [this, &value, map](int p, int) {
            value = map(p);
            line_settings() = tool_.settings;
            updateLabels();
        };
        connect(slider, &Slider::sliderMoving, this, set);
        connect(slider, &Slider::sliderReleased, this, set);
    };
    follow(width_, s.width, mv::radius_from_slider);
    follow(transparency_, s.transparency, mv::percent_from_slider);

    head_ = new PopupList(tr("Arrow head:"),
                          {tr("None"), tr("At end of line"), tr("At beginning of line"),
                           tr("At both ends of line")},
                          s.head, body);
    style_ = new PopupList(tr("Arrow style:"), {tr("Blunt"), tr("Medium"), tr("Narrow")},
                           s.style, body);
    connect(head_, &PopupList::popupChanged, this, [this](int i) {
        tool_.settings.head = i;
        line_settings() = tool_.settings;
    });
    connect(style_, &PopupList::popupChanged, this, [this](int i) {
        tool_.settings.style = i;
        line_settings() = tool_.settings;
    });
    layout->addWidget(head_);
    layout->addWidget(style_);
    color_ = new ColorControl(s.color, tr("Arrow Color"), body);
    layout->addWidget(color_);
    setWidget(body);
    updateLabels();
    adjustSize();
}

void LineToolWindow::updateLabels()
{
    widthLabel_->setText(QString::asprintf("Width: %.1f", tool_.settings.width));
    transparencyLabel_->setText(
        QString::asprintf("Transparency: %.1f", tool_.settings.transparency));
}

void LineToolWindow::handle(ImageWindow*, const mv::ToolWindow& target, int x, int y, int event,
                            mv::ToolResult& result)
{
    if (event == kToolRelease && tool_.drawing)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool rendering = event == kToolRelease && tool_.drawing;
    mv::line_event(tool_, target, x, y, event, result);
    if (rendering) {
        QApplication::restoreOverrideCursor();
        // The rubber line goes away with the release.
        result.rubber = true;
    }
}

void LineToolWindow::colorPicked()
{
    color_->refresh();
    line_settings() = tool_.settings;
}

void LineToolWindow::paintMarks(ImageWindow* window, QPainter& painter)
{
    if (!tool_.drawing || tool_.target.window != tool_handle(window))
        return;
    if (tool_.start_x == tool_.end_x && tool_.start_y == tool_.end_y)
        return;
    const mv::WindowRecord& r = window->record();
    const int half = r.zoom >= 2 ? r.zoom / 2 : 0;
    int x0, y0, x1, y1;
    mv::image_to_window(r, {tool_.start_x, tool_.start_y}, x0, y0);
    mv::image_to_window(r, {tool_.end_x, tool_.end_y}, x1, y1);
    painter.save();
    painter.setClipRect(r.centre_left, r.centre_top, r.visible_width, r.visible_height);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.drawLine(x0 + half, y0 + half, x1 + half, y1 + half);
    painter.restore();
}
