#include "transform/curve_control.h"

#include "core/error.h"
#include "tone/curve_files.h"
#include "transform/settings_file_dialog.h"

#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kGraphSide = 256;  // smallest graph: one pixel per level
constexpr int kPickDistance = 4; // how near a press must be to a point
const QColor kGraphGray(0x80, 0x80, 0x80);
const QColor kGridGray(0x6c, 0x6c, 0x6c);
const QColor kDiagonalGray(0x60, 0x60, 0x60);

// The tool buttons' pictures: a small drawing of what each one chooses.
QIcon tool_icon(int which)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, which == 2 || which == 5);
    p.setPen(QPen(Qt::black, 1.5));
    switch (which) {
    case 0: { // stair step
        const QPointF s[] = {{1, 14}, {5, 14}, {5, 10}, {9, 10}, {9, 6}, {13, 6}, {13, 2}, {15, 2}};
        p.drawPolyline(s, 8);
        break;
    }
    case 1: { // broken line
        const QPointF s[] = {{1, 14}, {6, 7}, {10, 9}, {15, 2}};
        p.drawPolyline(s, 4);
        break;
    }
    case 2: { // smooth curve
        QPainterPath path(QPointF(1, 14));
        path.cubicTo(QPointF(4, 2), QPointF(10, 12), QPointF(15, 2));
        p.drawPath(path);
        break;
    }
    case 3: // show curve: axes and a diagonal
        p.setPen(Qt::black);
        p.drawLine(1, 1, 1, 14);
        p.drawLine(1, 14, 14, 14);
        p.drawLine(2, 13, 14, 1);
        break;
    case 4: // show histograms: bars
        p.setPen(Qt::black);
        for (int x = 1; x < 15; x += 2)
            p.drawLine(x, 14, x, 14 - (x * 7 % 11) - 2);
        break;
    case 5: // probe: a dropper
        p.drawLine(QPointF(3, 13), QPointF(10, 6));
        p.drawEllipse(QPointF(11.5, 4.5), 2.5, 2.5);
        break;
    }
    return QIcon(pm);
}

double histogram_height(std::uint32_t count, std::uint32_t largest, bool linear)
{
    if (largest == 0 || count == 0)
        return 0;
    if (linear)
        return double(count) / largest;
    return std::log(1.0 + count) / std::log(1.0 + largest);
}

QPolygon triangle(QPoint tip, int dx, int dy)
{
    // A mark pointing at `tip` from the direction (dx, dy).
    QPolygon t;
    t << tip << QPoint(tip.x() + dx * 8 - dy * 4, tip.y() + dy * 8 - dx * 4)
      << QPoint(tip.x() + dx * 8 + dy * 4, tip.y() + dy * 8 + dx * 4);
    return t;
}

} // namespace

// The graph and its mark strips; the control does the work.
class CurveGraph : public QWidget {
public:
    explicit CurveGraph(CurveControl* control) : QWidget(control), c_(control)
    {
        setMinimumSize(kGraphSide + CurveControl::kMarkStrip, kGraphSide + CurveControl::kMarkStrip);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        setMouseTracking(true);
    }
    QSize sizeHint() const override { return minimumSize(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        c_->paintGraph(p);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            c_->pressAt(e->position().toPoint(), e->modifiers());
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (e->buttons() & Qt::LeftButton)
            c_->moveTo(e->position().toPoint());
        else
            c_->hoverAt(e->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            c_->release();
    }

private:
    CurveControl* c_;
};

CurveControl::CurveControl(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto* tools = new QHBoxLayout;
    tools->setSpacing(2);
    auto* optionsButton = new QPushButton(tr("Options"), this);
    optionsButton->setAutoDefault(false);
    options_ = new QMenu(optionsButton);
    optionsButton->setMenu(options_);
    tools->addWidget(optionsButton);
    tools->addSpacing(6);

    const auto toolButton = [this, tools](int icon, const QString& hint) {
        auto* b = new QToolButton(this);
        b->setIcon(tool_icon(icon));
        b->setToolTip(hint);
        b->setAccessibleName(hint);
        b->setCheckable(true);
        b->setAutoRaise(true);
        tools->addWidget(b);
        return b;
    };
    viewButtons_[kShowCurve] = toolButton(3, tr("Show Curve"));
    viewButtons_[kShowHistograms] = toolButton(4, tr("Show Histograms"));
    tools->addSpacing(6);
    styleButtons_[mv::CURVE_STEP] = toolButton(0, tr("Stair Step"));
    styleButtons_[mv::CURVE_LINEAR] = toolButton(1, tr("Broken Line"));
    styleButtons_[mv::CURVE_SPLINE] = toolButton(2, tr("Smooth Curve"));
    tools->addSpacing(6);
    probeButton_ = toolButton(5, tr("Probe"));
    tools->addStretch();
    layout->addLayout(tools);
    for (int v = 0; v < 2; ++v)
        connect(viewButtons_[v], &QToolButton::clicked, this, [this, v] { setView(v); });
    for (int s = 0; s < 3; ++s)
        connect(styleButtons_[s], &QToolButton::clicked, this, [this, s] { setStyle(s); });
    connect(probeButton_, &QToolButton::toggled, this, &CurveControl::probeToggled);

    graph_ = new CurveGraph(this);
    layout->addWidget(graph_, 1);
    readout_ = new QLabel(this);
    layout->addWidget(readout_);

    options_->addAction(tr("&Reset"), this, &CurveControl::reset);
    options_->addAction(tr("&Invert"), this, &CurveControl::invert);
    options_->addSeparator();
    options_->addAction(tr("Load..."), this, &CurveControl::load);
    options_->addAction(tr("Save As..."), this, &CurveControl::saveAs);
    options_->addSeparator();
    auto* scales = new QActionGroup(this);
    const QString scaleTexts[] = {tr("Linear Histogram"), tr("Log Histogram")};
    for (int i = 0; i < 2; ++i) {
        scaleActions_[i] = options_->addAction(scaleTexts[i]);
        scaleActions_[i]->setCheckable(true);
        scales->addAction(scaleActions_[i]);
        connect(scaleActions_[i], &QAction::triggered, this, [this, i] { setLinearHistogram(i == 0); });
    }
    options_->addSeparator();
    auto* probes = new QActionGroup(this);
    for (int i = 0; i < 5; ++i) {
        probeActions_[i] = options_->addAction(tr("%1x%1 Probe").arg(2 * i + 1));
        probeActions_[i]->setCheckable(true);
        probes->addAction(probeActions_[i]);
        connect(probeActions_[i], &QAction::triggered, this, [this, i] { setProbeSize(i); });
    }

    recompute();
    syncButtons();
    showReadout(-1);
}

QWidget* CurveControl::graph() const
{
    return graph_;
}

void CurveControl::syncButtons()
{
    for (int v = 0; v < 2; ++v)
        viewButtons_[v]->setChecked(v == view_);
    for (int s = 0; s < 3; ++s)
        styleButtons_[s]->setChecked(s == curve_.style);
    scaleActions_[0]->setChecked(linear_);
    scaleActions_[1]->setChecked(!linear_);
    for (int i = 0; i < 5; ++i)
        probeActions_[i]->setChecked(i == probeSize_);
}

void CurveControl::recompute()
{
    mv::curve_table8(curve_, table_);
    graph_->update();
}

bool CurveControl::setCurve(const mv::Curve& curve)
{
    if (!mv::curve_is_valid(curve.count, curve.x, curve.y, curve.style))
        return false;
    curve_ = curve;
    drag_ = kDragNone;
    selected_ = -1;
    recompute();
    syncButtons();
    showReadout(-1);
    emit curveChanged();
    return true;
}

void CurveControl::setStyle(int style)
{
    if (style < mv::CURVE_STEP || style > mv::CURVE_SPLINE)
        return;
    if (style == curve_.style) {
        syncButtons();
        return;
    }
    curve_.style = style;
    recompute();
    syncButtons();
    emit curveChanged();
}

void CurveControl::table16(std::uint16_t* table) const
{
    mv::curve_table16(curve_, table);
}

int CurveControl::addPoint(int x, int y)
{
    const int n = curve_.count;
    bool taken = false;
    for (int k = 0; k < n; ++k)
        taken = taken || curve_.x[k] == x;
    if (n >= mv::kCurveMaxPoints || x < 0 || x > 255 || taken) {
        QApplication::beep();
        return -1;
    }
    int at = 0;
    while (at < n && curve_.x[at] < x)
        ++at;
    for (int k = n; k > at; --k) {
        curve_.x[k] = curve_.x[k - 1];
        curve_.y[k] = curve_.y[k - 1];
    }
    curve_.x[at] = x;
    curve_.y[at] = std::clamp(y, 0, 255);
    curve_.count = n + 1;
    recompute();
    showReadout(at);
    emit curveChanged();
    return at;
}

bool CurveControl::removePoint(int index)
{
    if (index < 0 || index >= curve_.count)
        return false;
    if (curve_.count <= 2) {
        QApplication::beep();
        return false;
    }
    for (int k = index; k + 1 < curve_.count; ++k) {
        curve_.x[k] = curve_.x[k + 1];
        curve_.y[k] = curve_.y[k + 1];
    }
    --curve_.count;
    selected_ = -1;
    recompute();
    showReadout(-1);
    emit curveChanged();
    return true;
}

void CurveControl::reset()
{
    mv::Curve c;
    mv::curve_reset(c);
    setCurve(c);
}

void CurveControl::invert()
{
    mv::Curve c = curve_;
    for (int k = 0; k < c.count; ++k)
        c.y[k] = 255 - c.y[k];
    setCurve(c);
}

int CurveControl::load()
{
    const QString path = ask_settings_load(this, curve_file_kind());
    if (path.isEmpty())
        return mv::kOk;
    mv::Curve c = curve_;
    const int err = mv::curve_file_read(path.toStdString(), c);
    mv::error_box(err);
    if (err == mv::kOk || err == mv::kIllegalCurveFile)
        setCurve(c); // an illegal file leaves the default curve
    return err;
}

int CurveControl::saveAs()
{
    const QString path = ask_settings_save(this, curve_file_kind());
    if (path.isEmpty())
        return mv::kOk;
    const int err = mv::curve_file_write(path.toStdString(), curve_);
    mv::error_box(err);
    return err;
}

void CurveControl::setChannelColor(const QColor& color)
{
    channel_ = color;
    graph_->update();
}

void CurveControl::setHistograms(std::vector<CurveHistogram> histograms)
{
    if (histograms.size() > 3)
        histograms.resize(3);
    histograms_ = std::move(histograms);
    graph_->update();
}

void CurveControl::setProbeMarks(std::vector<CurveProbeMark> marks)
{
    for (CurveProbeMark& m : marks)
        m.level = std::clamp(m.level, 0, 255);
    marks_ = std::move(marks);
    graph_->update();
}

void CurveControl::setView(int view)
{
    view_ = view == kShowHistograms ? kShowHistograms : kShowCurve;
    drag_ = kDragNone;
    syncButtons();
    graph_->update();
}

void CurveControl::setLinearHistogram(bool linear)
{
    linear_ = linear;
    syncButtons();
    graph_->update();
}

void CurveControl::setProbeSize(int size)
{
    size = std::clamp(size, 0, 4);
    const bool changed = size != probeSize_;
    probeSize_ = size;
    syncButtons();
    if (changed)
        emit probeSizeChanged(size);
}

void CurveControl::setProbeOn(bool on)
{
    probeButton_->setChecked(on);
}

bool CurveControl::probeOn() const
{
    return probeButton_->isChecked();
}

// Graph geometry: the square graph sits right of the left strip, above the bottom strip;
// level v is at pixel v * (side - 1) / 255, rounded, from its left (outputs from its bottom).
int CurveControl::side() const
{
    return std::max(2, std::min(graph_->width(), graph_->height()) - kMarkStrip);
}

int CurveControl::pixelX(int level) const
{
    return kMarkStrip + (level * (side() - 1) + 127) / 255;
}

int CurveControl::pixelY(int level) const
{
    return side() - 1 - (level * (side() - 1) + 127) / 255;
}

int CurveControl::levelX(int px) const
{
    return int(std::lround(double(px - kMarkStrip) * 255.0 / (side() - 1)));
}

int CurveControl::levelY(int py) const
{
    return 255 - int(std::lround(double(py) * 255.0 / (side() - 1)));
}

QPoint CurveControl::levelPosition(int x, int y) const
{
    return QPoint(pixelX(x), pixelY(y));
}

QPoint CurveControl::pointPosition(int index) const
{
    return levelPosition(curve_.x[index], curve_.y[index]);
}

QPoint CurveControl::outputMarkPosition(int index) const
{
    return QPoint(kMarkStrip / 2, pixelY(curve_.y[index]));
}

QPoint CurveControl::inputMarkPosition(int index) const
{
    return QPoint(pixelX(curve_.x[index]), side() + kMarkStrip / 2);
}

int CurveControl::pointNear(QPoint at) const
{
    int best = -1, bestDistance = kPickDistance + 1;
    for (int k = 0; k < curve_.count; ++k) {
        const QPoint p = pointPosition(k);
        const int d = std::max(std::abs(p.x() - at.x()), std::abs(p.y() - at.y()));
        if (d < bestDistance) {
            best = k;
            bestDistance = d;
        }
    }
    return best;
}

void CurveControl::pressAt(QPoint at, Qt::KeyboardModifiers modifiers)
{
    const int s = side();
    const bool inGraph = at.x() >= kMarkStrip && at.x() < kMarkStrip + s && at.y() >= 0 && at.y() < s;
    drag_ = kDragNone;
    moved_ = false;
    if (modifiers & Qt::ShiftModifier) {
        const int x = levelX(at.x());
        int y = 0;
        if (inGraph && view_ == kShowCurve) {
            y = std::clamp(levelY(at.y()), 0, 255);
        } else {
            // On the straight line between the neighbours: 0 before the first, 255 after the last.
            int k = 0;
            while (k < curve_.count && curve_.x[k] < x)
                ++k;
            if (k == 0)
                y = 0;
            else if (k == curve_.count)
                y = 255;
            else
                y = curve_.y[k - 1] + (x - curve_.x[k - 1]) * (curve_.y[k] - curve_.y[k - 1]) /
                                          (curve_.x[k] - curve_.x[k - 1]);
        }
        addPoint(x, y);
        return;
    }
    if (modifiers & Qt::ControlModifier) {
        if (view_ == kShowCurve)
            if (const int k = pointNear(at); k >= 0)
                removePoint(k);
        return;
    }
    int index = -1, mode = kDragNone;
    if (inGraph && view_ == kShowCurve) {
        index = pointNear(at);
        mode = kDragPoint;
    } else if (at.x() < kMarkStrip && at.y() < s && view_ == kShowCurve) {
        for (int k = 0; k < curve_.count && index < 0; ++k)
            if (std::abs(pixelY(curve_.y[k]) - at.y()) <= kPickDistance)
                index = k;
        mode = kDragOutput;
    } else if (at.y() >= s && at.x() >= kMarkStrip - kPickDistance) {
        for (int k = 0; k < curve_.count && index < 0; ++k)
            if (std::abs(pixelX(curve_.x[k]) - at.x()) <= kPickDistance)
                index = k;
        mode = kDragInput;
        if (index >= 0) {
            const int lo = index > 0 ? curve_.x[index - 1] : -1;
            const int hi = index + 1 < curve_.count ? curve_.x[index + 1] : 256;
            if (hi - lo <= 2)
                index = -1; // no room to move
        }
    }
    if (index < 0)
        return;
    drag_ = mode;
    selected_ = index;
    showReadout(index);
    graph_->update();
}

void CurveControl::moveTo(QPoint at)
{
    if (drag_ == kDragNone || selected_ < 0) {
        hoverAt(at);
        return;
    }
    const int k = selected_;
    const int lo = k > 0 ? curve_.x[k - 1] + 1 : 0;
    const int hi = k + 1 < curve_.count ? curve_.x[k + 1] - 1 : 255;
    int x = curve_.x[k], y = curve_.y[k];
    if (drag_ == kDragPoint || drag_ == kDragInput)
        x = std::clamp(levelX(at.x()), lo, hi);
    if (drag_ == kDragPoint || drag_ == kDragOutput)
        y = std::clamp(levelY(at.y()), 0, 255);
    if (x == curve_.x[k] && y == curve_.y[k])
        return;
    curve_.x[k] = x;
    curve_.y[k] = y;
    moved_ = true;
    recompute();
    showReadout(k);
    emit curveMoving();
}

void CurveControl::release()
{
    const bool changed = drag_ != kDragNone && moved_;
    drag_ = kDragNone;
    moved_ = false;
    graph_->update();
    if (changed)
        emit curveChanged();
}

void CurveControl::hoverAt(QPoint at)
{
    const int s = side();
    if (at.x() >= kMarkStrip && at.x() < kMarkStrip + s && at.y() >= 0 && at.y() < s) {
        const int k = view_ == kShowCurve ? pointNear(at) : -1;
        if (k >= 0) {
            showReadout(k);
        } else {
            const int x = std::clamp(levelX(at.x()), 0, 255);
            readout_->setText(tr("Input: %1  Output: %2").arg(x).arg(table_[x]));
        }
    }
}

void CurveControl::showReadout(int index)
{
    if (index >= 0 && index < curve_.count)
        readout_->setText(tr("Point %1 of %2:  Input: %3  Output: %4")
                              .arg(index + 1)
                              .arg(curve_.count)
                              .arg(curve_.x[index])
                              .arg(curve_.y[index]));
    else
        readout_->setText(tr("%1 points").arg(curve_.count));
}

void CurveControl::paintGraph(QPainter& p) const
{
    const int s = side();
    const QRect area(kMarkStrip, 0, s, s);
    p.fillRect(graph_->rect(), palette().color(QPalette::Window));
    p.fillRect(area, kGraphGray);

    const auto drawHistogram = [&](const std::uint32_t* counts, QColor color, int top, int height) {
        std::uint32_t largest = 0;
        for (int v = 0; v < 256; ++v)
            largest = std::max(largest, counts[v]);
        p.setPen(color);
        for (int v = 0; v < 256; ++v) {
            const int h = int(std::lround(histogram_height(counts[v], largest, linear_) * (height - 1)));
            if (h > 0)
                p.drawLine(pixelX(v), top + height - 1, pixelX(v), top + height - h);
        }
    };

    if (view_ == kShowCurve) {
        for (const CurveHistogram& h : histograms_)
            drawHistogram(h.counts.data(), h.color, 0, s);
    } else {
        // The histograms as they are above, and as the curve makes them below.
        const int half = s / 2;
        for (const CurveHistogram& h : histograms_) {
            std::uint32_t out[256] = {};
            for (int v = 0; v < 256; ++v)
                out[table_[v]] += h.counts[v];
            drawHistogram(h.counts.data(), h.color, 0, half - 1);
            drawHistogram(out, h.color, half + 1, s - half - 1);
        }
        p.setPen(Qt::black);
        p.drawLine(area.left(), half, area.right(), half);
    }

    p.setPen(kGridGray);
    for (int i = 0; i <= 10; ++i) {
        const int level = i * 255 / 10;
        p.drawLine(pixelX(level), 0, pixelX(level), s - 1);
        if (view_ == kShowCurve)
            p.drawLine(kMarkStrip, pixelY(level), kMarkStrip + s - 1, pixelY(level));
    }

    if (view_ == kShowCurve) {
        p.setPen(kDiagonalGray);
        p.drawLine(pixelX(0), pixelY(0), pixelX(255), pixelY(255));

        p.setPen(QPen(channel_, 1));
        QPolygon line;
        for (int v = 0; v < 256; ++v)
            line << QPoint(pixelX(v), pixelY(table_[v]));
        p.drawPolyline(line);

        for (const CurveProbeMark& m : marks_) {
            p.setPen(QPen(m.color, 1, Qt::DashLine));
            const QPoint at = levelPosition(m.level, table_[m.level]);
            p.drawLine(at.x(), s - 1, at.x(), at.y());
            p.drawLine(kMarkStrip, at.y(), at.x(), at.y());
        }

        for (int k = 0; k < curve_.count; ++k) {
            const QPoint at = pointPosition(k);
            p.setPen(Qt::black);
            p.setBrush(k == selected_ && drag_ != kDragNone ? QBrush(channel_) : QBrush(Qt::white));
            p.drawRect(at.x() - 2, at.y() - 2, 4, 4);
            p.setBrush(Qt::white);
            p.drawPolygon(triangle(QPoint(kMarkStrip - 1, at.y()), -1, 0));
        }
    }
    for (const CurveProbeMark& m : marks_) {
        p.setPen(Qt::black);
        p.setBrush(m.color);
        p.drawPolygon(triangle(QPoint(pixelX(m.level), s), 0, 1));
    }
    p.setPen(Qt::black);
    for (int k = 0; k < curve_.count; ++k) {
        p.setBrush(k == selected_ && drag_ != kDragNone ? QBrush(channel_) : QBrush(Qt::white));
        p.drawPolygon(triangle(QPoint(pixelX(curve_.x[k]), s), 0, 1));
    }
    p.setBrush(Qt::NoBrush);
    p.drawRect(area.adjusted(0, 0, -1, -1));
}
