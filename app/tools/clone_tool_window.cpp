#include "tools/clone_tool_window.h"

#include "core/error.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "tools/brush_controls.h"

#include <QActionGroup>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

// The program-run settings: a new window starts from what the last one left.
static mv::CloneSettings& clone_settings()
{
    static mv::CloneSettings settings;
    return settings;
}

CloneToolWindow::CloneToolWindow(QWidget* parent) : ToolWindowBase(kKind, tr("Clone"), parent)
{
    tool_.settings = clone_settings();
    mv::error_box(mv::clone_rebuild_brush(tool_));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    brush_ = new BrushControls(tool_.settings.brush, tool_.brush, false, [this] {
        mv::error_box(mv::clone_rebuild_brush(tool_));
        clone_settings() = tool_.settings;
    }, body);
    layout->addWidget(brush_);
    auto* optionsButton = new QPushButton(tr("Options"), body);
    options_ = new QMenu(optionsButton);
    optionsButton->setMenu(options_);
    layout->addWidget(optionsButton);
    buildOptions();
    setWidget(body);
    adjustSize();
}

void CloneToolWindow::buildOptions()
{
    // Each group lists (text, stored value) pairs.
    const auto group = [this](const QList<QPair<QString, int>>& items, int current, auto set) {
        auto* g = new QActionGroup(this);
        for (const auto& [text, value] : items) {
            QAction* a = options_->addAction(text);
            a->setCheckable(true);
            a->setChecked(value == current);
            g->addAction(a);
            connect(a, &QAction::triggered, this, [this, set, v = value] {
                set(v);
                clone_settings() = tool_.settings;
            });
        }
        options_->addSeparator();
    };
    mv::CloneSettings& s = tool_.settings;
    group({{tr("&Copy"), 0}, {tr("&Lighten Only"), 1}, {tr("&Darken Only"), 2}}, s.blend,
          [&s](int v) { s.blend = v; });
    group({{tr("&Linked"), mv::kCloneLinked}, {tr("&Free"), mv::kCloneFree},
           {tr("&One to One"), mv::kCloneOneToOne}, {tr("Fi&xed"), mv::kCloneFixed}},
          s.source_mode, [&s](int v) { s.source_mode = v; });
    group({{tr("&Continuous"), 7}, {tr("&Single"), 8}}, s.single ? 8 : 7,
          [&s](int v) { s.single = v == 8; });
    QAction* tiled = options_->addAction(tr("&Tiled"));
    tiled->setCheckable(true);
    tiled->setChecked(s.tiled);
    connect(tiled, &QAction::toggled, this, [this](bool on) {
        tool_.settings.tiled = on;
        clone_settings() = tool_.settings;
    });
}

void CloneToolWindow::handle(ImageWindow*, const mv::ToolWindow& target, int x, int y,
                             int event, mv::ToolResult& result)
{
    mv::clone_event(tool_, target, x, y, event, result);
}

void CloneToolWindow::pressure(int q)
{
    if (mv::clone_pressure(tool_, q))
        brush_->refresh();
}

void CloneToolWindow::paintMarks(ImageWindow* window, QPainter& painter)
{
    if (!tool_.source_window || tool_.source_window != tool_handle(window))
        return;
    const mv::WindowRecord& r = window->record();
    int x, y;
    mv::image_to_window(r, {tool_.source_x, tool_.source_y}, x, y);
    if (r.zoom >= 2)
        x += r.zoom / 2, y += r.zoom / 2;
    const int radius = mv::clone_marker_radius(mv::brush_whole_radius(tool_.settings.brush.radius),
                                               r.zoom);
    // Drawn inverting what lies under it, so it shows on any picture.
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPoint(x, y), radius, radius);
    if (radius >= 4)
        painter.drawRect(x - 1, y - 1, 2, 2);
    painter.restore();
}
