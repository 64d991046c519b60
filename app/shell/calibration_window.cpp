#include "shell/calibration_window.h"
#include "transform/transformation_window.h"

#include "core/error.h"
#include "core/format.h"
#include "formats/imaging_library.h"
#include "shell/data_paths.h"
#include "shell/image_window.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDir>
#include <QDoubleValidator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = 8;
constexpr int kContentWidth = 296;
constexpr int kCannotOpenFile = 4;
constexpr int kMissingReference = 92;

QString& referenceFolder()
{
    static QString folder = dataFolder();
    return folder;
}

CalibrationWindow*& openWindow()
{
    static CalibrationWindow* window = nullptr;
    return window;
}

QColor pointColor(const mv::CalibrationCurve& c, int i)
{
    return QColor(c.color[i][0], c.color[i][1], c.color[i][2]);
}

} // namespace

// The reference picture, reduced to the window's width, shown through the working tables.
class CalibrationPicture : public QWidget {
public:
    CalibrationPicture(const mv::Image& img, QWidget* parent) : QWidget(parent)
    {
        QImage full(img.width, img.height, QImage::Format_RGB888);
        for (int y = 0; y < img.height; ++y) {
            const std::uint8_t* s = img.row(img.height - 1 - y);  // rows are stored bottom-up
            std::uint8_t* d = full.scanLine(y);
            for (int x = 0; x < img.width; ++x, d += 3) {
                if (img.type == mv::IMAGE_COLOR) {
                    d[0] = s[3 * x + 2];
                    d[1] = s[3 * x + 1];
                    d[2] = s[3 * x];
                } else {
                    d[0] = d[1] = d[2] = s[x];
                }
            }
        }
        source_ = full.scaledToWidth(kContentWidth, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_RGB888);
        setFixedSize(source_.size());
    }

    void setTables(const mv::DisplayLookup& t)
    {
        shown_ = source_.copy();
        for (int y = 0; y < shown_.height(); ++y) {
            std::uint8_t* p = shown_.scanLine(y);
            for (int x = 0; x < shown_.width(); ++x, p += 3) {
                p[0] = t.red[p[0]];
                p[1] = t.green[p[1]];
                p[2] = t.blue[p[2]];
            }
        }
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).drawImage(0, 0, shown_);
    }

private:
    QImage source_, shown_;
};

// The brightness test pattern: a row of near-black steps on black above a row of
// near-white steps on white; the monitor's brightness and contrast are right when every
// step can just be told from its background.
class CalibrationBrightnessView : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {272, 300}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int h = height() / 2;
        p.fillRect(0, 0, width(), h, Qt::black);
        p.fillRect(0, h, width(), height() - h, Qt::white);
        constexpr int kSteps = 8;
        const int w = width() / (kSteps + 1);
        for (int i = 0; i < kSteps; ++i) {
            const int dark = 4 * (i + 1), light = 255 - 4 * (i + 1);
            const int x = w / 2 + i * w;
            p.fillRect(x + 2, h / 4, w - 4, h / 2, QColor(dark, dark, dark));
            p.fillRect(x + 2, h + h / 4, w - 4, h / 2, QColor(light, light, light));
        }
    }
};

// The white point: the chosen white beside pure white; clicking opens the chooser.
class CalibrationWhiteView : public QWidget {
public:
    explicit CalibrationWhiteView(CalibrationWindow* owner) : QWidget(owner), owner_(owner) {}
    QSize sizeHint() const override { return {272, 300}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const auto& w = owner_->working().white;
        p.fillRect(rect(), palette().window());
        const QRect left(0, 0, width() / 2, height()), right(width() / 2, 0, width() - width() / 2, height());
        p.fillRect(left, QColor(w[0], w[1], w[2]));
        p.fillRect(right, Qt::white);
        p.setPen(Qt::black);
        p.drawText(left, Qt::AlignCenter,
                   QString::fromStdString(mv::format_text("%d %d %d", int(w[0]), int(w[1]), int(w[2]))));
        p.drawText(right, Qt::AlignCenter, QStringLiteral("255 255 255"));
    }
    void mousePressEvent(QMouseEvent*) override { owner_->chooseColor(-1); }

private:
    CalibrationWindow* owner_;
};

// ---------------------------------------------------------------------------------------

CalibrationCurveView::CalibrationCurveView(CalibrationWindow* owner) : QWidget(owner), owner_(owner)
{
    setMouseTracking(false);
}

QRect CalibrationCurveView::graph() const
{
    const int side = std::max(16, std::min(width() - 2 * kMargin, height() - 3 * kMargin - 20));
    return QRect((width() - side) / 2, kMargin, side, side);
}

QPoint CalibrationCurveView::pointPosition(int point) const
{
    const QRect g = graph();
    const auto& c = owner_->working();
    const int t = mv::calibration_target(c.density[point], c.gamma);
    const int v = c.level[point + 1];
    return {g.left() + t * (g.width() - 1) / 255, g.bottom() - v * (g.height() - 1) / 255};
}

QRect CalibrationCurveView::swatch(int point) const
{
    const QRect g = graph();
    const int w = g.width() / mv::kCalibrationPoints;
    return QRect(g.left() + point * w + 2, g.bottom() + kMargin, w - 4, 20);
}

int CalibrationCurveView::levelAt(int y) const
{
    const QRect g = graph();
    return std::clamp((g.bottom() - y) * 255 / g.height(), 0, 255);
}

void CalibrationCurveView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect g = graph();
    p.fillRect(rect(), palette().window());
    p.fillRect(g, Qt::black);
    p.setPen(QColor(64, 64, 64));
    p.drawLine(g.bottomLeft(), g.topRight());
    const mv::DisplayLookup& t = owner_->workingTables();
    const std::uint8_t* channels[3] = {t.red, t.green, t.blue};
    const QColor pens[3] = {Qt::red, Qt::green, QColor(64, 128, 255)};
    for (int ch = 0; ch < 3; ++ch) {
        QPainterPath path;
        for (int v = 0; v < 256; ++v) {
            const QPointF q(g.left() + v * (g.width() - 1) / 255.0,
                            g.bottom() - channels[ch][v] * (g.height() - 1) / 255.0);
            v ? path.lineTo(q) : path.moveTo(q);
        }
        p.setPen(pens[ch]);
        p.drawPath(path);
    }
    for (int k = 0; k < mv::kCalibrationPoints; ++k) {
        p.setPen(Qt::white);
        p.setBrush(pointColor(owner_->working(), k + 1));
        p.drawEllipse(pointPosition(k), 4, 4);
        p.setPen(Qt::black);
        p.drawRect(swatch(k));
        p.fillRect(swatch(k).adjusted(1, 1, 0, 0), pointColor(owner_->working(), k + 1));
    }
}

void CalibrationCurveView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    for (int k = 0; k < mv::kCalibrationPoints; ++k) {
        if (swatch(k).contains(at)) {
            owner_->chooseColor(k);
            return;
        }
        const QPoint d = at - pointPosition(k);
        if (std::abs(d.x()) <= 6 && std::abs(d.y()) <= 6) {
            dragging_ = k;
            return;
        }
    }
}

void CalibrationCurveView::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ >= 0)
        owner_->setLevel(dragging_, levelAt(event->position().toPoint().y()));
}

void CalibrationCurveView::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragging_ >= 0)
        owner_->setLevel(dragging_, levelAt(event->position().toPoint().y()));
    dragging_ = -1;
}

// ---------------------------------------------------------------------------------------

void redrawImageWindows(QMdiArea* area)
{
    if (!area)
        return;
    for (QMdiSubWindow* sub : area->subWindowList())
        if (auto* w = qobject_cast<ImageWindow*>(sub))
            w->pictureChanged();
    // A transformation's preview is computed through the display tables: compute it again.
    if (TransformationWindow* t = TransformationWindow::current())
        t->refreshPreview();
}

QString calibrationConfigFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

void load_monitor_calibration()
{
    const int err = mv::calibration_startup(calibrationConfigFolder().toStdString());
    if (err == kCannotOpenFile)
        mv::message_dialog("Warning",
                           "Monitor calibration data not found.\nPerform calibration to eliminate\n"
                           "this warning in future sessions.",
                           mv::kButtonsOk);
    else
        mv::error_box(err);
}

void CalibrationWindow::setReferenceFolder(const QString& folder)
{
    referenceFolder() = folder;
}

QString CalibrationWindow::referencePath()
{
    return QDir(referenceFolder()).filePath(QStringLiteral("refimg.jpg"));
}

CalibrationWindow* CalibrationWindow::current()
{
    return openWindow();
}

int CalibrationWindow::open(QMdiArea* area, CalibrationWindow** window)
{
    if (CalibrationWindow* w = openWindow()) {
        area->setActiveSubWindow(w);
        if (window)
            *window = w;
        return 0;
    }
    const QString path = referencePath();
    if (!QFileInfo(path).isFile()) {
        mv::error_box(kMissingReference);
        return kMissingReference;
    }
    mv::Image reference;
    if (int err = mv::library_load_jpeg(path.toStdString(), reference, true)) {
        mv::error_box(err);
        return err;
    }
    if (QScreen* screen = QGuiApplication::primaryScreen(); screen && screen->depth() < 24)
        mv::message_box("Warning", "Display is in %d-bit mode - if possible switch to 24-bit",
                        screen->depth());
    auto* w = new CalibrationWindow(area, std::move(reference));
    area->addSubWindow(w);
    const int height = std::max(200, area->viewport()->height() - 2 * kMargin);
    w->resize(w->sizeHint().width(), height);
    w->move(kMargin, kMargin);
    w->show();
    if (window)
        *window = w;
    return 0;
}

CalibrationWindow::CalibrationWindow(QMdiArea* area, mv::Image&& reference)
    : ChildWindow(kKind, -1), area_(area), saved_(mv::calibration_curve()),
      savedTables_(mv::display_lookup()), working_(saved_)
{
    setWindowTitle(QStringLiteral("Monitor Calibration"));
    openWindow() = this;

    auto* body = new QWidget;
    body->setFixedWidth(kContentWidth + 2 * kMargin);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);

    auto* bar = new QHBoxLayout;
    const char* captions[3] = {"Cancel", "OK", "Reset"};
    for (int i = 0; i < 3; ++i) {
        buttons_[i] = new QPushButton(QString::fromLatin1(captions[i]));
        const int id = kCancel + i;
        connect(buttons_[i], &QPushButton::clicked, this, [this, id] { press(id); });
        bar->addWidget(buttons_[i]);
    }
    layout->addLayout(bar);

    picture_ = new CalibrationPicture(reference, body);
    layout->addWidget(picture_, 0, Qt::AlignHCenter);

    auto* group = new QButtonGroup(this);
    const char* names[3] = {"IDBRIGHTNESS", "IDSHOWCURVE", "IDWHITEMASK"};
    const char* labels[3] = {"Adjust Brightness Control", "Adjust Calibration Curve", "Adjust White Point"};
    for (int i = 0; i < 3; ++i) {
        radios_[i] = new QRadioButton(QString::fromLatin1(labels[i]));
        radios_[i]->setObjectName(QString::fromLatin1(names[i]));
        group->addButton(radios_[i], i);
        layout->addWidget(radios_[i]);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int id) {
        showView(View(id));
        if (id == kWhite)
            chooseColor(-1);
    });

    auto* fieldRow = new QHBoxLayout;
    for (int k = 0; k < mv::kCalibrationPoints; ++k) {
        fields_[k] = new QLineEdit;
        fields_[k]->setObjectName(QStringLiteral("field%1").arg(kFirstDensityField + k));
        fields_[k]->setValidator(new QDoubleValidator(0.0, 9.99, 2, fields_[k]));
        fields_[k]->setMaximumWidth(kContentWidth / mv::kCalibrationPoints);
        connect(fields_[k], &QLineEdit::editingFinished, this, [this, k] {
            bool ok = false;
            const double d = fields_[k]->text().toDouble(&ok);
            if (ok)
                setDensity(k, d);
            else
                updateFields();
        });
        fieldRow->addWidget(fields_[k]);
    }
    layout->addLayout(fieldRow);

    views_ = new QStackedWidget;
    views_->addWidget(new CalibrationBrightnessView);
    curveView_ = new CalibrationCurveView(this);
    views_->addWidget(curveView_);
    whiteView_ = new CalibrationWhiteView(this);
    views_->addWidget(whiteView_);
    layout->addWidget(views_, 1);
    setWidget(body);

    // The user judges the screen uncorrected while calibrating.
    mv::reset_display_lookup();
    redrawImageWindows(area_);
    radios_[kCurve]->setChecked(true);
    showView(kCurve);
    workingChanged();
}

CalibrationWindow::~CalibrationWindow()
{
    if (!finished_) {
        mv::calibration_curve() = saved_;
        mv::set_display_lookup(savedTables_);
    }
    if (openWindow() == this)
        openWindow() = nullptr;
    if (chooser_)
        delete chooser_.data();
}

QPushButton* CalibrationWindow::button(int id) const
{
    return id >= kCancel && id <= kReset ? buttons_[id - kCancel] : nullptr;
}

QLineEdit* CalibrationWindow::densityField(int point) const
{
    return point >= 0 && point < mv::kCalibrationPoints ? fields_[point] : nullptr;
}

QRadioButton* CalibrationWindow::viewButton(View view) const
{
    return radios_[view];
}

void CalibrationWindow::showView(View view)
{
    radios_[view]->setChecked(true);
    views_->setCurrentIndex(view);
}

void CalibrationWindow::workingChanged()
{
    tables_ = mv::calibration_tables(working_);
    picture_->setTables(tables_);
    updateFields();
    curveView_->update();
    whiteView_->update();
}

void CalibrationWindow::updateFields()
{
    for (int k = 0; k < mv::kCalibrationPoints; ++k)
        fields_[k]->setText(QString::fromStdString(mv::format_text("%2f", working_.density[k])));
}

void CalibrationWindow::setLevel(int point, int level)
{
    if (point < 0 || point >= mv::kCalibrationPoints)
        return;
    working_.level[point + 1] = std::clamp(level, 0, 255);
    workingChanged();
}

void CalibrationWindow::setPointColor(int point, const QColor& color)
{
    if (point < 0 || point >= mv::kCalibrationPoints || !color.isValid())
        return;
    working_.color[point + 1][0] = std::uint8_t(color.red());
    working_.color[point + 1][1] = std::uint8_t(color.green());
    working_.color[point + 1][2] = std::uint8_t(color.blue());
    workingChanged();
}

void CalibrationWindow::setWhite(const QColor& color)
{
    if (!color.isValid())
        return;
    working_.white[0] = std::uint8_t(color.red());
    working_.white[1] = std::uint8_t(color.green());
    working_.white[2] = std::uint8_t(color.blue());
    workingChanged();
}

void CalibrationWindow::setDensity(int point, double density)
{
    if (point < 0 || point >= mv::kCalibrationPoints || !(density >= 0.0 && density < 10.0))
        return;
    working_.density[point] = density;
    workingChanged();
}

void CalibrationWindow::closeChooser()
{
    if (chooser_) {
        chooser_->disconnect(this);
        chooser_->deleteLater();
        chooser_ = nullptr;
    }
}

void CalibrationWindow::chooseColor(int point)
{
    closeChooser();
    const bool white = point < 0;
    const QColor before = white ? QColor(working_.white[0], working_.white[1], working_.white[2])
                                : pointColor(working_, point + 1);
    auto* dialog = new QColorDialog(before, this->window());
    dialog->setWindowTitle(white ? QStringLiteral("White Point")
                                 : QString::fromStdString(mv::format_text("Color %d", point + 1)));
    dialog->setOption(QColorDialog::NoButtons, false);
    auto apply = [this, point, white](const QColor& c) { white ? setWhite(c) : setPointColor(point, c); };
    connect(dialog, &QColorDialog::currentColorChanged, this, apply);
    connect(dialog, &QColorDialog::colorSelected, this, apply);
    connect(dialog, &QDialog::rejected, this, [apply, before] { apply(before); });
    chooser_ = dialog;
    dialog->show();
}

void CalibrationWindow::press(int id)
{
    switch (id) {
    case kReset:
        working_ = mv::calibration_default(working_.gamma);
        workingChanged();
        break;
    case kOk: finish(true); break;
    case kCancel: finish(false); break;
    default: break;
    }
}

void CalibrationWindow::finish(bool accept, bool closing)
{
    if (finished_)
        return;
    finished_ = true;
    closeChooser();
    if (accept) {
        mv::calibration_install(working_);
        if (mv::message_dialog("Monitor Calibration", "Save settings for future sessions?",
                               mv::kButtonsYesNo) == mv::kResultYes) {
            const QString folder = calibrationConfigFolder();
            QDir().mkpath(folder);
            mv::error_box(mv::calibration_write(mv::calibration_path(folder.toStdString()), working_));
        }
    } else {
        mv::calibration_curve() = saved_;
        mv::set_display_lookup(savedTables_);
    }
    redrawImageWindows(area_);
    if (!closing)
        close();
}

void CalibrationWindow::closeEvent(QCloseEvent* event)
{
    if (!finished_)
        finish(false, true);
    event->accept();
    ChildWindow::closeEvent(event);
}
