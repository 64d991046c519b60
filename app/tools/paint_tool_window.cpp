#include "tools/paint_tool_window.h"

#include "core/error.h"
#include "tools/brush_controls.h"
#include "tools/color_control.h"

#include <QActionGroup>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

// The program-run settings: a new window starts from what the last one left.
static mv::PaintSettings& paint_settings()
{
    static mv::PaintSettings settings;
    return settings;
}

PaintToolWindow::PaintToolWindow(QWidget* parent) : ToolWindowBase(kKind, tr("Paint"), parent)
{
    tool_.settings = paint_settings();
    mv::error_box(mv::paint_rebuild_brush(tool_));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    brush_ = new BrushControls(tool_.settings.brush, tool_.brush, true, [this] {
        mv::error_box(mv::paint_rebuild_brush(tool_));
        paint_settings() = tool_.settings;
    }, body);
    layout->addWidget(brush_);
    color_ = new ColorControl(tool_.settings.color, tr("Paint Color"), body);
    layout->addWidget(color_);
    auto* optionsButton = new QPushButton(tr("Options"), body);
    options_ = new QMenu(optionsButton);
    optionsButton->setMenu(options_);
    layout->addWidget(optionsButton);
    buildOptions();
    setWidget(body);
    adjustSize();
}

void PaintToolWindow::buildOptions()
{
    const auto group = [this](const QStringList& texts, int first, int current, auto set) {
        auto* g = new QActionGroup(this);
        for (int i = 0; i < texts.size(); ++i) {
            QAction* a = options_->addAction(texts[i]);
            a->setCheckable(true);
            a->setChecked(first + i == current);
            g->addAction(a);
            connect(a, &QAction::triggered, this, [this, set, v = first + i] {
                set(v);
                paint_settings() = tool_.settings;
            });
        }
        options_->addSeparator();
    };
    mv::PaintSettings& s = tool_.settings;
    group({tr("&Copy"), tr("&Lighten Only"), tr("&Darken Only"), tr("&HSV Hue Only"),
           tr("&HSL Hue Only"), tr("&HSV Hue and Saturation Only"),
           tr("&HSL Hue and Saturation Only")},
          0, s.blend, [&s](int v) { s.blend = v; });
    group({tr("&Continuous"), tr("&Single")}, 7, s.single ? 8 : 7,
          [&s](int v) { s.single = v == 8; });
    group({tr("1x1 Color Probe"), tr("3x3 Color Probe"), tr("5x5 Color Probe"),
           tr("7x7 Color Probe"), tr("9x9 Color Probe")},
          1, s.probe, [&s](int v) { s.probe = v; });
}

void PaintToolWindow::handle(ImageWindow*, const mv::ToolWindow& target, int x, int y,
                             int event, mv::ToolResult& result)
{
    mv::paint_event(tool_, target, x, y, event, result);
}

void PaintToolWindow::pressure(int q)
{
    if (mv::paint_pressure(tool_, q))
        brush_->refresh();
}

void PaintToolWindow::colorPicked()
{
    color_->refresh();
    paint_settings() = tool_.settings;
}
