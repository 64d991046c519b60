#include "mask/mask_tool_window.h"

#include "core/error.h"
#include "mask/brightness_curve_mask.h"
#include "mask/combine.h"
#include "mask/feather.h"
#include "mask/mask_buttons.h"
#include "mask/mask_all_none_invert.h"
#include "mask/mask_area.h"
#include "mask/mask_overlay.h"
#include "mask/oval.h"
#include "mask/picture_rows.h"
#include "mask/range_control.h"
#include "mask/spline.h"
#include "shell/image_view.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/menu_enabling.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "tone/curve.h"
#include "core/histogram.h"
#include "tone/value_tables.h"
#include "tools/brush.h"
#include "tools/paint_tool.h"
#include "transform/curve_control.h"
#include "transform/slider.h"
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
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

MaskToolWindow* g_instance = nullptr;

constexpr int kCommandNewMask = 4500;
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

// A radio button of one of the four groups: its picture, its tool tip.
QToolButton* groupButton(QButtonGroup* group, QGridLayout* grid, int id, const char* bitmap,
                         const char* tip, int row, int column)
{
    auto* b = new QToolButton;
    b->setObjectName(QString::fromLatin1(bitmap));
    b->setIcon(mask_button_icon(bitmap));
    b->setIconSize(QSize(kMaskButtonSize, kMaskButtonSize));
    b->setToolTip(QString::fromLatin1(tip));
    b->setCheckable(true);
    b->setAutoRaise(true);
    group->addButton(b, id);
    grid->addWidget(b, row, column);
    return b;
}

// The channel letters of a Similar colour space.
const char* channelLetters(int space)
{
    switch (space) {
    case mv::SIMILAR_HSV: return "HSV";
    case mv::SIMILAR_HSL: return "HSL";
    case mv::SIMILAR_RGB: return "RGB";
    default: return "V";
    }
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
    // The frame asks "Abort mask operation in progress?" before it closes windows.
    if (auto* frame = qobject_cast<FrameWindow*>(area->window()))
        frame->setMaskToolWindow(this);
}

MaskToolWindow::~MaskToolWindow()
{
    if (!closing_)
        abandon();
    mv::mask_paint_end(paint_);
    if (g_instance == this)
        g_instance = nullptr;
    if (current_tool() == this)
        set_current_tool(nullptr);
    mv::use_forget(app_use_list(), this);
}

void MaskToolWindow::abandon()
{
    // The tool is being destroyed without OK or Cancel (the frame closes it after "Abort
    // mask operation in progress?" was answered Yes): the picture loses its overlay, a new
    // mask goes away unasked, an existing one gets its rows back and is shown again.
    closing_ = true;
    if (picture_) {
        mv::mask_overlay_remove(picture_->record());
        mv::use_remove(app_use_list(), this, handle(picture_));
        redrawPicture();
    }
    if (!mask_)
        return;
    if (created_) {
        mask_->setModified(false);
        mask_->deleteLater();
    } else {
        if (rows_.mask)
            mv::mask_undo_restore(rows_, saved_);
        mask_->show();
    }
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

    // Combine mode, overlay colour and overlay amount: one row of buttons each, then the
    // operations in two rows.
    auto* groups = new QGridLayout;
    groups->setSpacing(1);
    modeGroup_ = new QButtonGroup(this);
    const char* modeBitmap[] = {"IDORMASK", "IDSUBMASK", "IDANDMASK", "IDINVERTMASK"};
    const char* modeTip[] = {"Add", "Subtract", "Overlap", "Invert"};
    for (int i = 0; i < 4; ++i)
        groupButton(modeGroup_, groups, i, modeBitmap[i], modeTip[i], 0, i);
    modeGroup_->button(mode_)->setChecked(true);
    connect(modeGroup_, &QButtonGroup::idClicked, this, &MaskToolWindow::setCombineMode);

    auto* colorGroup = new QButtonGroup(this);
    const char* colorBitmap[] = {"IDREDMASK", "IDGREENMASK", "IDBLUEMASK", "IDWHITEMASK"};
    const char* colorTip[] = {"Red Overlay", "Green Overlay", "Blue Overlay", "White Overlay"};
    for (int i = 0; i < 4; ++i)
        groupButton(colorGroup, groups, i, colorBitmap[i], colorTip[i], 1, i);
    colorGroup->button(colorIndex_)->setChecked(true);
    connect(colorGroup, &QButtonGroup::idClicked, this, [this](int i) { setOverlay(i, amount_); });

    auto* amountGroup = new QButtonGroup(this);
    const int amounts[] = {mv::kOverlayClear, mv::kOverlaySemitransparent, mv::kOverlayOpaque,
                           mv::kOverlayMaskOnly};
    const char* amountBitmap[] = {"IDTRANS100", "IDTRANS50", "IDTRANS0", "IDTRANS0X"};
    const char* amountTip[] = {"Clear Mask Overlay", "Semitransparent Mask Overlay",
                               "Opaque Mask Overlay", "Mask Only"};
    for (int i = 0; i < 4; ++i)
        groupButton(amountGroup, groups, i, amountBitmap[i], amountTip[i], 2, i);
    amountGroup->button(1)->setChecked(true);
    connect(amountGroup, &QButtonGroup::idClicked, this,
            [this, amounts](int i) { setOverlay(colorIndex_, amounts[i]); });

    operationGroup_ = new QButtonGroup(this);
    const struct {
        int id;
        const char* bitmap;
        const char* tip;
    } ops[] = {{kDrawRegion, "IDLASSOMASK", "Draw Region"}, {kRectangle, "IDRECTMASK", "Rectangle"},
               {kOval, "IDOVALMASK", "Oval"},               {kPolygon, "IDPOLYMASK", "Polygon"},
               {kSpline, "IDSPLINEMASK", "Spline"},         {kFeather, "IDFEATHERMASK", "Feather"},
               {kSimilar, "IDRANGEMASK", "Similar"},        {kPaint, "IDPAINTMASK", "Paint"},
               {kCombine, "IDCOMBINEMASK", "Combine"},      {kBrightnessCurve, "IDSMOOTHCURVE", "Brightness Curve"}};
    for (const auto& op : ops)
        groupButton(operationGroup_, groups, op.id, op.bitmap, op.tip, 3 + op.id / 5, op.id % 5);
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

    panels_->addWidget(buildSimilarPanel());
    panels_->addWidget(buildPaintPanel());

    auto* combine = new QWidget;
    auto* cf = new QFormLayout(combine);
    combineSource_ = new QComboBox;
    grayLevel_ = new QSpinBox;
    grayLevel_->setRange(0, 255);
    grayLevel_->setValue(128);
    cf->addRow(QStringLiteral("Combine Mask:"), combineSource_);
    cf->addRow(QStringLiteral("Mask Gray Level"), grayLevel_);
    panels_->addWidget(combine);

    // Brightness Curve: the mask value as a curve of the pixel's brightness; it starts as
    // the straight line, every brightness giving its own level.
    curve_ = new CurveControl;
    panels_->addWidget(curve_);
    connect(curve_, &CurveControl::probeToggled, this, [this](bool on) {
        if (!on)
            curve_->setProbeMarks({});
    });
    return panels_;
}

QWidget* MaskToolWindow::buildSimilarPanel()
{
    auto* similar = new QWidget;
    auto* grid = new QGridLayout(similar);
    grid->setContentsMargins(0, 0, 0, 0);
    colorSpace_ = new QComboBox;
    if (similar_.space == mv::SIMILAR_V)
        colorSpace_->addItem(QStringLiteral("V"), int(mv::SIMILAR_V));
    else
        for (auto [name, space] : {std::pair{"HSV", mv::SIMILAR_HSV}, std::pair{"HSL", mv::SIMILAR_HSL},
                                   std::pair{"RGB", mv::SIMILAR_RGB}})
            colorSpace_->addItem(QString::fromLatin1(name), int(space));
    connect(colorSpace_, &QComboBox::currentIndexChanged, this,
            [this] { setColorSpace(colorSpace_->currentData().toInt()); });
    grid->addWidget(new QLabel(QStringLiteral("Color Space:")), 0, 0, 1, 2);
    grid->addWidget(colorSpace_, 0, 2);
    for (int i = 0; i < 3; ++i) {
        rangeLabels_[i] = new QLabel;
        ranges_[i] = new RangeControl;
        grid->addWidget(rangeLabels_[i], 1 + i, 0);
        grid->addWidget(ranges_[i], 1 + i, 1, 1, 2);
    }
    grid->setColumnStretch(2, 1);
    auto* pick = new QLabel(QStringLiteral("Click a colour on the picture to centre the ranges on it."));
    pick->setWordWrap(true);
    grid->addWidget(pick, 4, 0, 1, 3);
    showRanges();
    return similar;
}

QWidget* MaskToolWindow::buildPaintPanel()
{
    auto* paint = new QWidget;
    auto* layout = new QVBoxLayout(paint);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    double* values[3] = {&brush_.radius, &brush_.transparency, &brush_.softness};
    const char* formats[3] = {"Radius: %.1f", "Transparency: %.1f", "Softness: %.1f"};
    for (int i = 0; i < 3; ++i) {
        brushLabels_[i] = new QLabel;
        brushSliders_[i] = new Slider;
        brushSliders_[i]->setValues(i == 0 ? mv::slider_from_radius(*values[i]) : mv::slider_from_percent(*values[i]));
        layout->addWidget(brushLabels_[i]);
        layout->addWidget(brushSliders_[i]);
        const auto set = [this, i, value = values[i], format = formats[i]](int p, int) {
            *value = i == 0 ? mv::radius_from_slider(p) : mv::percent_from_slider(p);
            brushLabels_[i]->setText(QString::asprintf(format, *value));
        };
        connect(brushSliders_[i], &Slider::sliderMoving, this, set);
        connect(brushSliders_[i], &Slider::sliderReleased, this, set);
        set(brushSliders_[i]->low(), -1);
    }
    layout->addStretch(1);
    return paint;
}

void MaskToolWindow::showBrightnessHistogram()
{
    // The picture's brightness levels, under the curve that maps them to mask values.
    if (!picture_ || !curve_)
        return;
    const mv::Image& p = picture_->record().image;
    auto h = std::make_unique<mv::HistogramRecord>();
    const int err = p.type == mv::IMAGE_BINARY ? mv::histogram_binary(p, *h, mv::kHistogramSampleLimit)
                  : mv::picture_is_gray(p.type) ? mv::histogram_gray(p, *h, mv::kHistogramSampleLimit)
                                                : mv::histogram_luminance(p, *h, mv::kHistogramSampleLimit);
    if (err)
        return;
    CurveHistogram shown;
    std::copy(std::begin(h->counts), std::end(h->counts), shown.counts.begin());
    curve_->setHistograms({shown});
}

void MaskToolWindow::setColorSpace(int space)
{
    if (!picture_)
        return;
    if (mv::picture_is_gray(picture_->record().image.type))
        space = mv::SIMILAR_V;
    else if (space < mv::SIMILAR_HSV || space > mv::SIMILAR_RGB)
        return;
    similarDefaults(similar_, space);
    if (colorSpace_) {
        const int index = colorSpace_->findData(space);
        if (index >= 0 && index != colorSpace_->currentIndex()) {
            const QSignalBlocker quiet(colorSpace_);
            colorSpace_->setCurrentIndex(index);
        }
    }
    showRanges();
}

void MaskToolWindow::showRanges()
{
    const char* letters = channelLetters(similar_.space);
    const int channels = int(std::strlen(letters));
    for (int i = 0; i < 3; ++i) {
        if (!ranges_[i])
            continue;
        const bool used = i < channels;
        ranges_[i]->setChannel(used ? &similar_.channel[i] : nullptr, similar_.space, i);
        rangeLabels_[i]->setText(used ? QString(QChar::fromLatin1(letters[i])) : QString());
        ranges_[i]->setVisible(used);
        rangeLabels_[i]->setVisible(used);
    }
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
    endStroke();
    points_.clear();
    dragging_ = false;
    const int page = operation == kFeather ? 1 : operation == kSimilar ? 2 : operation == kPaint ? 3
                   : operation == kCombine ? 4 : operation == kBrightnessCurve ? 5 : 0;
    if (panels_) {
        panels_->setCurrentIndex(page);
        if (operation == kCombine)
            refreshCombineSources();
        if (operation == kBrightnessCurve && !histogramShown_) {
            histogramShown_ = true;
            showBrightnessHistogram();
        }
    }
    // Shapes dragged on the picture and painting change the mask at once; the others wait
    // for Apply.
    if (apply_)
        apply_->setEnabled(operation != kDrawRegion && operation != kRectangle && operation != kOval &&
                           operation != kPaint);
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
        const mv::Curve curve = curve_->curve();
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
    if (event == kToolWindowClosing) {
        endStroke();
        return;
    }
    if (event == kToolRedrawMarks)
        return;
    if (operation_ == kPaint) {
        paintStroke(event, x, y);
        return;
    }
    const mv::MaskPoint at = imagePoint(x, y);
    if (operation_ == kBrightnessCurve && curve_ && curve_->probeOn() && event != kToolRelease) {
        // The probe shows the brightness under the pointer on the curve.
        const int n = 2 * curve_->probeSize() + 1;
        mv::Rgb c;
        if (mv::probe_color(picture_->record().image, at.x, at.y, n, c))
            curve_->setProbeMarks({{mv::luminance(c.red, c.green, c.blue), Qt::yellow}});
        return;
    }
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
            for (RangeControl* range : ranges_)
                if (range)
                    range->refresh();
            run([&] { return mv::mask_similar(rows_, p, similar_, mode_); });
        }
        break;
    default: break;
    }
    picture_->canvas()->update();
}

void MaskToolWindow::paintStroke(int event, int x, int y)
{
    // The brush centre may lie off the picture: a stamp there still reaches its edge.
    const mv::ImagePoint p = mv::window_to_image(picture_->record(), x, y, false);
    mv::MaskRect changed;
    if (event == kToolPress || event == kToolShiftPress) {
        endStroke();
        if (const int err = mv::mask_undo_take(rows_, undo_)) {
            mv::error_box(err);
            return;
        }
        if (const int err = mv::mask_paint_begin(rows_, undo_, paint_, brush_, mode_, p.column, p.row, changed)) {
            mv::mask_undo_restore(rows_, undo_);
            mv::error_box(err);
            redrawPicture();
            return;
        }
    } else if (paint_.painting && (event == kToolMove || event == kToolShiftMove || event == kToolRelease)) {
        mv::mask_paint_to(rows_, undo_, paint_, p.column, p.row, changed);
    }
    areaChanged(changed);
    if (event == kToolRelease)
        endStroke();
}

void MaskToolWindow::endStroke()
{
    if (!paint_.painting)
        return;
    mv::mask_paint_end(paint_);
    changed();
}

void MaskToolWindow::areaChanged(const mv::MaskRect& r)
{
    if (r.empty() || !picture_)
        return;
    const mv::Image& m = mask();
    if (r.first_column == 0 && r.first_row == 0 && r.last_column == m.width - 1 && r.last_row == m.height - 1)
        redrawPicture();
    else
        picture_->imageAreaChanged(r.first_column, r.first_row, r.last_column, r.last_row);
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
            if (rows_.mask)
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
    // Opens the tool over the active picture, or brings the open one forward; refused
    // without a word when the active window holds no picture.
    const auto start = [area, active](QPointer<ImageWindow> mask, bool withMask) {
        ImageWindow* picture = active ? active() : nullptr;
        if (MaskToolWindow* tool = MaskToolWindow::instance()) {
            area->setActiveSubWindow(tool);
            set_current_tool(tool);
            return;
        }
        if (!picture || (withMask && !mask))
            return;
        if (picture->isMaximized() || picture->isMinimized())
            picture->showNormal();
        mv::error_box(MaskToolWindow::open(area, picture, withMask ? mask.data() : nullptr));
    };
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, area, active, start] {
        menu->clear();
        ImageWindow* picture = active ? active() : nullptr;
        mv::MenuState state;
        state.mask_running = MaskToolWindow::instance() != nullptr;
        std::vector<mv::MaskCandidate> windows;
        QList<QPointer<ImageWindow>> handles;
        int current = -1;
        for (QMdiSubWindow* sub : area->subWindowList()) {
            auto* w = qobject_cast<ImageWindow*>(sub);
            if (!w || (w->isHidden() && w != picture))
                continue;
            const mv::Image& img = w->record().image;
            if (w == picture) {
                current = int(windows.size());
                state.child.kind = ChildWindow::kImage;
                state.child.type = img.type;
            }
            windows.push_back({int(handles.size()), img.type, img.width, img.height, w->windowTitle().toStdString()});
            handles.append(w);
        }
        for (const mv::MaskMenuItem& item : mv::mask_menu_build(state, windows, current)) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* a = menu->addAction(QString::fromStdString(item.text));
            a->setData(item.id);
            const bool withMask = item.id != kCommandNewMask;
            QPointer<ImageWindow> mask = withMask ? handles.value(item.window) : nullptr;
            QObject::connect(a, &QAction::triggered, menu, [start, mask, withMask] { start(mask, withMask); });
        }
    });
    // Shortcuts and enabling work before the menu was first opened.
    emit menu->aboutToShow();
}
