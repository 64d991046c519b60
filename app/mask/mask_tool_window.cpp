#include "mask/mask_tool_window.h"

#include "core/error.h"
#include "mask/brightness_curve_mask.h"
#include "mask/combine.h"
#include "mask/feather.h"
#include "mask/mask_all_none_invert.h"
#include "mask/mask_area.h"
#include "mask/mask_overlay.h"
#include "mask/oval.h"
#include "mask/picture_rows.h"
#include "mask/spline.h"
#include "shell/image_view.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "tone/curve.h"
#include "transform/use_registry.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

MaskToolWindow* g_instance = nullptr;

constexpr int kCommandNewMask = 4500;
constexpr int kCommandLastMask = 4549;
constexpr int kPanelWidth = 250;
constexpr const char* kUserName = "Mask Tool";

// How the use list knows an image window.
const void* handle(ImageWindow* w)
{
    return static_cast<const void*>(static_cast<ChildWindow*>(w));
}

// Users of a changed mask refresh themselves from its picture when they next read it; the
// notice only has to reach them.
class ChangeNotice final : public mv::UseNotifier {
public:
    void notify(const void*, const void*, int) override {}
};

bool maskable(int type)
{
    return type == mv::IMAGE_BINARY || type == mv::IMAGE_GRAY || type == mv::IMAGE_COLOR ||
           type == mv::IMAGE_GRAY16 || type == mv::IMAGE_COLOR48;
}

// Gray windows of the picture's size other than the picture itself: the masks it may use.
QList<ImageWindow*> maskCandidates(WorkspaceArea* area, ImageWindow* picture, ImageWindow* except)
{
    QList<ImageWindow*> out;
    if (!picture)
        return out;
    const mv::Image& p = picture->record().image;
    for (QMdiSubWindow* sub : area->subWindowList()) {
        auto* w = qobject_cast<ImageWindow*>(sub);
        if (!w || w == picture || w == except)
            continue;
        const mv::Image& img = w->record().image;
        if (img.type == mv::IMAGE_GRAY && img.width == p.width && img.height == p.height)
            out.append(w);
    }
    return out;
}

// Initial Similar ranges: each channel selects a sixteenth of its scale with shoulders of
// the same size, so a picked colour selects its neighbourhood with a soft edge.
void similarDefaults(mv::SimilarSettings& s, int space)
{
    s.space = space;
    const int d = mv::similar_domain(space);
    for (mv::SimilarLimits& l : s.channel)
        l = {0, d / 16, 3 * d / 16, 4 * d / 16};
}

QToolButton* groupButton(QButtonGroup* group, QGridLayout* grid, int id, const QString& text,
                         const QString& tip, int row, int column)
{
    auto* b = new QToolButton;
    b->setText(text);
    b->setToolTip(tip);
    b->setCheckable(true);
    b->setAutoRaise(true);
    b->setMinimumWidth(28);
    group->addButton(b, id);
    grid->addWidget(b, row, column);
    return b;
}

} // namespace

int MaskToolWindow::open(WorkspaceArea* area, ImageWindow* picture, ImageWindow* mask)
{
    if (g_instance) {
        area->setActiveSubWindow(g_instance);
        return mv::kOk;
    }
    if (!picture || !maskable(picture->record().image.type))
        return mv::kIllegalImageType;
    const mv::Image& p = picture->record().image;
    bool created = false;
    if (mask) {
        const mv::Image& m = mask->record().image;
        if (mask == picture || m.type != mv::IMAGE_GRAY || m.width != p.width || m.height != p.height)
            return mv::kIllegalImageType;
    } else {
        int index = -1;
        mv::WindowRecord* record = nullptr;
        if (const int err = mv::window_record_allocate(index, record))
            return err;
        mv::MaskRows rows;
        if (const int err = mv::mask_new(p, record->image, rows)) {
            mv::window_record_release(index);
            return err;
        }
        record->zoom = picture->record().zoom;
        mask = new ImageWindow(area, index, picture);
        mask->hide();
        created = true;
    }
    auto* tool = new MaskToolWindow(area, picture, mask, created);
    if (!tool->rows_.mask) { // the row states or the saved copy could not be allocated
        tool->closing_ = true;
        tool->cancel();
        return mv::kOutOfMemory;
    }
    return mv::kOk;
}

MaskToolWindow* MaskToolWindow::instance()
{
    return g_instance;
}

MaskToolWindow::MaskToolWindow(WorkspaceArea* area, ImageWindow* picture, ImageWindow* mask, bool created)
    : ChildWindow(kKind, -1), area_(area), picture_(picture), mask_(mask), created_(created)
{
    g_instance = this;
    mask->hide();
    mv::Image& m = mask->record().image;
    if (mv::mask_rows_attach(rows_, m) == mv::kOk && !created && mv::mask_undo_take(rows_, saved_))
        rows_.mask = nullptr;
    similarDefaults(similar_, mv::picture_is_gray(picture->record().image.type) ? mv::SIMILAR_V
                                                                               : mv::SIMILAR_HSV);

    mv::use_add(app_use_list(), this, handle(picture), kUserName, true);
    if (mv::mask_overlay_set(picture->record(), &m, amount_, mv::overlay_color(colorIndex_)))
        mv::error_box(mv::kOutOfMemory);
    redrawPicture();

    setWindowTitle(QStringLiteral("Mask - %1").arg(picture->windowTitle()));
    setWidget(buildControls());
    area->addSubWindow(this);
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    widget()->setFixedWidth(kPanelWidth + 2 * margin);
    adjustSize();
    move(std::max(0, area->viewport()->width() - width()), 0);
    show();
    set_current_tool(this);
}

MaskToolWindow::~MaskToolWindow()
{
    if (g_instance == this)
        g_instance = nullptr;
    if (current_tool() == this)
        set_current_tool(nullptr);
    mv::use_forget(app_use_list(), this);
}

mv::Image& MaskToolWindow::mask() const
{
    return mask_->record().image;
}

QWidget* MaskToolWindow::buildControls()
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);

    auto* buttons = new QGridLayout;
    const auto addButton = [&](const QString& text, int row, int column, void (MaskToolWindow::*slot)()) {
        auto* b = new QPushButton(text);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b, row, column);
        return b;
    };
    addButton(QStringLiteral("All"), 0, 0, &MaskToolWindow::all);
    addButton(QStringLiteral("None"), 0, 1, &MaskToolWindow::none);
    addButton(QStringLiteral("Invert"), 0, 2, &MaskToolWindow::invert);
    addButton(QStringLiteral("Undo"), 1, 0, &MaskToolWindow::undo);
    addButton(QStringLiteral("Area..."), 1, 1, &MaskToolWindow::showArea);
    layout->addLayout(buttons);

    // Combine mode, overlay colour and overlay amount: one row of buttons each.
    auto* groups = new QGridLayout;
    groups->setSpacing(1);
    modeGroup_ = new QButtonGroup(this);
    const char* modeText[] = {"+", "\u2212", "\u2229", "\u2295"};
    const char* modeTip[] = {"Add", "Subtract", "Overlap", "Invert"};
    for (int i = 0; i < 4; ++i)
        groupButton(modeGroup_, groups, i, modeText[i], modeTip[i], 0, i);
    modeGroup_->button(mode_)->setChecked(true);
    connect(modeGroup_, &QButtonGroup::idClicked, this, &MaskToolWindow::setCombineMode);

    auto* colorGroup = new QButtonGroup(this);
    const char* colorText[] = {"R", "G", "B", "W"};
    const char* colorTip[] = {"Red Overlay", "Green Overlay", "Blue Overlay", "White Overlay"};
    for (int i = 0; i < 4; ++i)
        groupButton(colorGroup, groups, i, colorText[i], colorTip[i], 1, i);
    colorGroup->button(colorIndex_)->setChecked(true);
    connect(colorGroup, &QButtonGroup::idClicked, this, [this](int i) { setOverlay(i, amount_); });

    auto* amountGroup = new QButtonGroup(this);
    const int amounts[] = {mv::kOverlayClear, mv::kOverlaySemitransparent, mv::kOverlayOpaque,
                           mv::kOverlayMaskOnly};
    const char* amountText[] = {"0%", "50%", "100%", "M"};
    const char* amountTip[] = {"Clear Mask Overlay", "Semitransparent Mask Overlay",
                               "Opaque Mask Overlay", "Mask Only"};
    for (int i = 0; i < 4; ++i)
        groupButton(amountGroup, groups, i, amountText[i], amountTip[i], 2, i);
    amountGroup->button(1)->setChecked(true);
    connect(amountGroup, &QButtonGroup::idClicked, this,
            [this, amounts](int i) { setOverlay(colorIndex_, amounts[i]); });

    operationGroup_ = new QButtonGroup(this);
    const struct {
        int id;
        const char* text;
        const char* tip;
    } ops[] = {{kDrawRegion, "Lasso", "Draw Region"}, {kRectangle, "Rect", "Rectangle"},
               {kOval, "Oval", "Oval"},               {kPolygon, "Poly", "Polygon"},
               {kSpline, "Spline", "Spline"},         {kFeather, "Feath", "Feather"},
               {kSimilar, "Simil", "Similar"},        {kCombine, "Comb", "Combine"},
               {kBrightnessCurve, "Curve", "Brightness Curve"}};
    int k = 0;
    for (const auto& op : ops) {
        groupButton(operationGroup_, groups, op.id, op.text, op.tip, 3 + k / 5, k % 5);
        ++k;
    }
    operationGroup_->button(operation_)->setChecked(true);
    connect(operationGroup_, &QButtonGroup::idClicked, this, &MaskToolWindow::setOperation);
    layout->addLayout(groups);

    layout->addWidget(buildPanels());
    apply_ = new QPushButton(QStringLiteral("Apply"));
    connect(apply_, &QPushButton::clicked, this, &MaskToolWindow::apply);
    layout->addWidget(apply_);

    auto* end = new QHBoxLayout;
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"));
    auto* ok = new QPushButton(QStringLiteral("OK"));
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    connect(ok, &QPushButton::clicked, this, &MaskToolWindow::accept);
    end->addWidget(cancelButton);
    end->addWidget(ok);
    layout->addLayout(end);
    setOperation(operation_);
    return box;
}

QWidget* MaskToolWindow::buildPanels()
{
    panels_ = new QStackedWidget;
    // Page 0: the shapes drawn on the picture need no settings.
    auto* shapes = new QLabel(QStringLiteral("Click and drag on the picture."));
    shapes->setWordWrap(true);
    panels_->addWidget(shapes);

    auto* feather = new QWidget;
    auto* ff = new QFormLayout(feather);
    featherLabel_ = new QLabel;
    featherWidth_ = new QSlider(Qt::Horizontal);
    featherWidth_->setRange(-mv::kFeatherMaxWidth, mv::kFeatherMaxWidth);
    const auto label = [this](int v) { featherLabel_->setText(QStringLiteral("Feather Width: %1").arg(v)); };
    connect(featherWidth_, &QSlider::valueChanged, this, label);
    label(0);
    ff->addRow(featherLabel_);
    ff->addRow(featherWidth_);
    falloff_ = new QComboBox;
    falloff_->addItems({QStringLiteral("Gradual"), QStringLiteral("Step")});
    corners_ = new QComboBox;
    corners_->addItems({QStringLiteral("Round"), QStringLiteral("Square")});
    ff->addRow(QStringLiteral("Falloff:"), falloff_);
    ff->addRow(QStringLiteral("Corners:"), corners_);
    panels_->addWidget(feather);

    auto* similar = new QWidget;
    auto* sf = new QFormLayout(similar);
    colorSpace_ = new QComboBox;
    if (similar_.space == mv::SIMILAR_V)
        colorSpace_->addItem(QStringLiteral("V"), int(mv::SIMILAR_V));
    else
        for (auto [name, space] : {std::pair{"HSV", mv::SIMILAR_HSV}, std::pair{"HSL", mv::SIMILAR_HSL},
                                   std::pair{"RGB", mv::SIMILAR_RGB}})
            colorSpace_->addItem(QString::fromLatin1(name), int(space));
    connect(colorSpace_, &QComboBox::currentIndexChanged, this,
            [this] { similarDefaults(similar_, colorSpace_->currentData().toInt()); });
    sf->addRow(QStringLiteral("Color Space:"), colorSpace_);
    auto* pick = new QLabel(QStringLiteral("Click a colour on the picture."));
    pick->setWordWrap(true);
    sf->addRow(pick);
    panels_->addWidget(similar);

    auto* combine = new QWidget;
    auto* cf = new QFormLayout(combine);
    combineSource_ = new QComboBox;
    grayLevel_ = new QSpinBox;
    grayLevel_->setRange(0, 255);
    grayLevel_->setValue(128);
    cf->addRow(QStringLiteral("Combine Mask:"), combineSource_);
    cf->addRow(QStringLiteral("Mask Gray Level"), grayLevel_);
    panels_->addWidget(combine);

    // Brightness Curve: a straight rise from 0 at the low brightness to 255 at the high one.
    auto* curve = new QWidget;
    auto* bf = new QFormLayout(curve);
    curveLow_ = new QSpinBox;
    curveLow_->setRange(0, 254);
    curveHigh_ = new QSpinBox;
    curveHigh_->setRange(1, 255);
    curveHigh_->setValue(255);
    bf->addRow(QStringLiteral("Brightness 0 at:"), curveLow_);
    bf->addRow(QStringLiteral("Brightness 255 at:"), curveHigh_);
    panels_->addWidget(curve);
    return panels_;
}

void MaskToolWindow::refreshCombineSources()
{
    const QString previous = combineSource_->currentText();
    combineSource_->clear();
    sources_.clear();
    for (ImageWindow* w : maskCandidates(area_, picture_, mask_)) {
        sources_.append(w);
        combineSource_->addItem(w->windowTitle());
    }
    combineSource_->addItem(QStringLiteral("Mask Gray Level"));
    const int again = combineSource_->findText(previous);
    combineSource_->setCurrentIndex(again >= 0 ? again : 0);
}

void MaskToolWindow::setCombineMode(int mode)
{
    mode_ = std::clamp(mode, 0, 3);
    if (QAbstractButton* b = modeGroup_ ? modeGroup_->button(mode_) : nullptr)
        b->setChecked(true);
}

void MaskToolWindow::setOperation(int operation)
{
    operation_ = operation;
    if (QAbstractButton* b = operationGroup_ ? operationGroup_->button(operation) : nullptr)
        b->setChecked(true);
    points_.clear();
    dragging_ = false;
    const int page = operation == kFeather ? 1 : operation == kSimilar ? 2
                   : operation == kCombine ? 3 : operation == kBrightnessCurve ? 4 : 0;
    if (panels_) {
        panels_->setCurrentIndex(page);
        if (page == 3)
            refreshCombineSources();
    }
    if (apply_)
        apply_->setEnabled(operation != kDrawRegion && operation != kRectangle && operation != kOval);
    if (picture_)
        picture_->canvas()->update();
}

void MaskToolWindow::setOverlay(int colorIndex, int amount)
{
    colorIndex_ = colorIndex;
    amount_ = amount;
    if (!picture_ || !mask_)
        return;
    if (const int err = mv::mask_overlay_set(picture_->record(), &mask(), amount, mv::overlay_color(colorIndex)))
        mv::error_box(err);
    redrawPicture();
}

void MaskToolWindow::run(const std::function<int()>& op)
{
    if (!rows_.mask)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int err = mv::mask_operation(rows_, undo_, op);
    QApplication::restoreOverrideCursor();
    if (err) {
        mv::error_box(err);
        redrawPicture();
        return;
    }
    changed();
}

void MaskToolWindow::changed()
{
    if (mask_) {
        mask_->setModified(true);
        ChangeNotice notice;
        mv::use_notify_changed(app_use_list(), handle(mask_), notice);
    }
    redrawPicture();
}

void MaskToolWindow::redrawPicture()
{
    if (picture_)
        picture_->canvas()->rebuild();
}

void MaskToolWindow::all()
{
    run([this] { mv::mask_all(rows_); return 0; });
}

void MaskToolWindow::none()
{
    run([this] { mv::mask_none(rows_); return 0; });
}

void MaskToolWindow::invert()
{
    run([this] { mv::mask_invert(rows_); return 0; });
}

void MaskToolWindow::undo()
{
    if (!undo_.valid)
        return;
    mv::mask_undo_restore(rows_, undo_);
    changed();
}

QString MaskToolWindow::areaText() const
{
    return QString::fromStdString(mv::mask_area_text(mv::mask_area(mask())));
}

void MaskToolWindow::showArea()
{
    mv::mask_area_show(mask());
}

void MaskToolWindow::apply()
{
    if (!picture_ || !rows_.mask)
        return;
    const mv::Image& p = picture_->record().image;
    switch (operation_) {
    case kPolygon:
    case kSpline: {
        if (points_.size() < 2)
            return;
        const std::vector<mv::MaskPoint> pts = std::move(points_);
        points_.clear();
        if (operation_ == kPolygon)
            run([&] { return mv::mask_polygon(rows_, pts, mode_); });
        else
            run([&] { return mv::mask_spline(rows_, pts, mode_); });
        break;
    }
    case kFeather:
        run([&] { return mv::mask_feather(rows_, featherWidth_->value(), falloff_->currentIndex(),
                                          corners_->currentIndex()); });
        break;
    case kSimilar:
        run([&] { return mv::mask_similar(rows_, p, similar_, mode_); });
        break;
    case kCombine: {
        const int i = combineSource_->currentIndex();
        mv::CombineSource source;
        if (i >= 0 && i < sources_.size()) {
            if (!sources_[i]) {
                refreshCombineSources();
                return;
            }
            source.image = &sources_[i]->record().image;
        } else {
            source.level = grayLevel_->value();
        }
        run([&] { return mv::mask_combine(rows_, source, mode_); });
        break;
    }
    case kBrightnessCurve: {
        mv::Curve curve;
        curve.style = mv::CURVE_LINEAR;
        curve.x[0] = curveLow_->value();
        curve.x[1] = std::max(curveHigh_->value(), curve.x[0] + 1);
        run([&] { return mv::mask_brightness_curve(rows_, p, curve, mode_); });
        break;
    }
    default: break;
    }
}

mv::MaskPoint MaskToolWindow::imagePoint(int x, int y) const
{
    const mv::ImagePoint p = mv::window_to_image(picture_->record(), x, y, true);
    return {p.column, p.row};
}

void MaskToolWindow::toolEvent(ImageWindow* window, int x, int y, int event, bool)
{
    if (!picture_ || window != picture_.data() || !rows_.mask)
        return;
    if (event == kToolWindowClosing || event == kToolRedrawMarks)
        return;
    const mv::MaskPoint at = imagePoint(x, y);
    const bool press = event == kToolPress || event == kToolShiftPress;
    const bool move = event == kToolMove || event == kToolShiftMove;
    switch (operation_) {
    case kDrawRegion:
        if (press) {
            points_.assign(1, at);
            dragging_ = true;
        } else if (move && dragging_) {
            if (!(points_.back() == at) && !mv::mask_trace_add(points_, at))
                QApplication::beep();
        } else if (event == kToolRelease && dragging_) {
            dragging_ = false;
            std::vector<mv::MaskPoint> trace = std::move(points_);
            points_.clear();
            if (trace.size() >= 2) {
                if (trace.size() < size_t(mv::kMaskTraceLimit))
                    trace.push_back(at);
                run([&] { return mv::mask_polygon(rows_, trace, mode_); });
            }
        }
        break;
    case kRectangle:
    case kOval:
        if (press) {
            anchor_ = current_ = at;
            dragging_ = true;
        } else if (move && dragging_) {
            current_ = at;
        } else if (event == kToolRelease && dragging_) {
            dragging_ = false;
            current_ = at;
            if (!(anchor_ == at)) {
                if (operation_ == kRectangle)
                    run([&] { return mv::mask_polygon(rows_, mv::rectangle_points(anchor_, at), mode_); });
                else
                    run([&] { return mv::mask_oval(rows_, anchor_, at, mode_); });
            }
        }
        break;
    case kPolygon:
    case kSpline:
        if (press && (points_.empty() || !(points_.back() == at)))
            points_.push_back(at);
        break;
    case kSimilar:
        if (press) {
            const mv::Image& p = picture_->record().image;
            std::vector<std::uint8_t> row(size_t(3 * p.width));
            int red, green, blue;
            if (mv::picture_is_gray(p.type)) {
                mv::picture_gray_row(p, at.y, row.data());
                red = green = blue = row[size_t(at.x)];
            } else {
                mv::picture_color_row(p, at.y, row.data());
                blue = row[size_t(3 * at.x)], green = row[size_t(3 * at.x + 1)], red = row[size_t(3 * at.x + 2)];
            }
            mv::similar_pick(similar_, red, green, blue);
            run([&] { return mv::mask_similar(rows_, p, similar_, mode_); });
        }
        break;
    default: break;
    }
    picture_->canvas()->update();
}

void MaskToolWindow::paintMarks(ImageWindow* window, QPainter& painter)
{
    if (!picture_ || window != picture_.data())
        return;
    const mv::WindowRecord& r = picture_->record();
    const auto screen = [&r](mv::MaskPoint p) {
        int x = 0, y = 0;
        mv::image_to_window(r, {p.x, p.y}, x, y);
        return QPoint(x, y);
    };
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    if ((operation_ == kRectangle || operation_ == kOval) && dragging_) {
        const QRect box = QRect(screen(anchor_), screen(current_)).normalized();
        if (operation_ == kRectangle)
            painter.drawRect(box);
        else
            painter.drawEllipse(box);
    } else if (!points_.empty()) {
        QPolygon line;
        for (const mv::MaskPoint& p : points_)
            line << screen(p);
        painter.drawPolyline(line);
        if (operation_ == kPolygon || operation_ == kSpline)
            for (const QPoint& p : line)
                painter.drawRect(p.x() - 2, p.y() - 2, 4, 4);
    }
    painter.restore();
}

void MaskToolWindow::finish()
{
    closing_ = true;
    if (picture_) {
        mv::use_remove(app_use_list(), this, handle(picture_));
        mv::mask_overlay_remove(picture_->record());
        redrawPicture();
    }
    set_current_tool(nullptr);
    close();
}

void MaskToolWindow::accept()
{
    if (mask_) {
        mask_->show();
        mask_->fit();
        mask_->updateTitle();
        if (created_)
            mask_->setModified(true);
    }
    finish();
}

bool MaskToolWindow::cancel()
{
    if (mask_ && !mask_->usedBy().isEmpty()) {
        mv::error_box(mv::kWindowInUse);
        return false;
    }
    if (mask_) {
        if (created_) {
            mv::mask_overlay_remove(picture_->record());
            ImageWindow* m = mask_;
            m->setModified(false);
            m->close();
        } else {
            mv::mask_undo_restore(rows_, saved_);
            mask_->show();
        }
    }
    finish();
    return true;
}

void MaskToolWindow::closeEvent(QCloseEvent* event)
{
    if (!closing_ && !cancel()) {
        event->ignore();
        return;
    }
    ChildWindow::closeEvent(event);
}

void MaskToolWindow::changeEvent(QEvent* event)
{
    // The tool takes the pointer again whenever it is activated.
    if (event->type() == QEvent::WindowStateChange || event->type() == QEvent::ActivationChange)
        if (!closing_ && isActiveWindow())
            set_current_tool(this);
    ChildWindow::changeEvent(event);
}

void install_mask_menu(QMainWindow& frame, WorkspaceArea* area, std::function<ImageWindow*()> active)
{
    QMenu* menu = frame.menuBar()->addMenu(QStringLiteral("&Mask"));
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, area, active] {
        menu->clear();
        ImageWindow* picture = active ? active() : nullptr;
        const bool usable = picture && maskable(picture->record().image.type) && !MaskToolWindow::instance();
        QAction* create = menu->addAction(QStringLiteral("&New"));
        create->setData(kCommandNewMask);
        create->setEnabled(usable);
        QObject::connect(create, &QAction::triggered, menu, [area, picture] {
            mv::error_box(MaskToolWindow::open(area, picture));
        });
        const QList<ImageWindow*> masks = usable ? maskCandidates(area, picture, nullptr) : QList<ImageWindow*>{};
        if (!masks.isEmpty())
            menu->addSeparator();
        int command = kCommandNewMask + 1;
        for (ImageWindow* w : masks) {
            if (command > kCommandLastMask)
                break;
            QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(command - kCommandNewMask).arg(w->windowTitle()));
            a->setData(command++);
            QPointer<ImageWindow> mask(w);
            QObject::connect(a, &QAction::triggered, menu, [area, picture, mask] {
                if (mask)
                    mv::error_box(MaskToolWindow::open(area, picture, mask));
            });
        }
    });
    // Shortcuts and enabling work before the menu was first opened.
    emit menu->aboutToShow();
}
