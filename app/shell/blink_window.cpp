#include "shell/blink_window.h"

#include "shell/image_window.h"
#include "shell/picture_image.h"
#include "shell/window_records.h"
#include "tools/color_control.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

BlinkWindow::BlinkWindow(ImageWindow* picture, const QList<ImageWindow*>& others, QWidget* parent)
    : ChildWindow(kKind, -1, parent), picture_(picture)
{
    setWindowTitle(tr("Blink - %1").arg(picture->windowTitle()));
    auto* body = new QWidget(this);
    auto* form = new QFormLayout;
    partner_ = new QComboBox(body);
    const mv::Image& img = picture->record().image;
    for (ImageWindow* w : others) {
        const mv::Image& o = w->record().image;
        if (w == picture || o.width != img.width || o.height != img.height)
            continue;
        partners_.append(w);
        partner_->addItem(w->windowTitle());
    }
    partner_->addItem(tr("Color"));
    colorControl_ = new ColorControl(color_, tr("Blink Color"), body);
    rate_ = new QSpinBox(body);
    rate_->setRange(50, 5000);
    rate_->setSingleStep(50);
    rate_->setValue(500);
    rate_->setSuffix(tr(" ms"));
    form->addRow(tr("Blink With:"), partner_);
    form->addRow(QString(), colorControl_);
    form->addRow(tr("Rate:"), rate_);
    startButton_ = new QPushButton(tr("Start"), body);
    stopButton_ = new QPushButton(tr("Stop"), body);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(startButton_);
    buttons->addWidget(stopButton_);
    view_ = new QWidget(body);
    view_->setMinimumSize(240, 180);
    view_->installEventFilter(this);
    auto* layout = new QVBoxLayout(body);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(view_, 1);
    setWidget(body);
    resize(420, 420);

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &BlinkWindow::step);
    connect(startButton_, &QPushButton::clicked, this, &BlinkWindow::start);
    connect(stopButton_, &QPushButton::clicked, this, &BlinkWindow::stop);
    connect(rate_, &QSpinBox::valueChanged, this, [this](int ms) { timer_->setInterval(ms); });
    const auto partnerChosen = [this] {
        colorControl_->setVisible(partner_->currentIndex() == partner_->count() - 1);
        if (running())
            rebuildFrames();
    };
    connect(partner_, &QComboBox::currentIndexChanged, this, partnerChosen);
    partnerChosen();
    stopButton_->setEnabled(false);
    // A picture that goes away ends the blinking.
    connect(picture, &QObject::destroyed, this, &QWidget::close);
}

bool BlinkWindow::running() const
{
    return timer_->isActive();
}

void BlinkWindow::rebuildFrames()
{
    const QSize size = view_->size();
    frames_[0] = picture_ ? picture_to_qimage(picture_->record().image, size) : QImage();
    const int index = partner_->currentIndex();
    if (index >= 0 && index < partners_.size() && partners_[index]) {
        frames_[1] = picture_to_qimage(partners_[index]->record().image, size);
    } else {
        frames_[1] = QImage(frames_[0].size().isEmpty() ? size : frames_[0].size(), QImage::Format_RGB32);
        frames_[1].fill(QColor(color_.red, color_.green, color_.blue));
    }
}

void BlinkWindow::start()
{
    rebuildFrames();
    phase_ = 0;
    timer_->start(rate_->value());
    startButton_->setEnabled(false);
    stopButton_->setEnabled(true);
    view_->update();
}

void BlinkWindow::stop()
{
    timer_->stop();
    phase_ = 0;
    startButton_->setEnabled(true);
    stopButton_->setEnabled(false);
    view_->update();
}

void BlinkWindow::step()
{
    phase_ = 1 - phase_;
    view_->update();
}

QImage BlinkWindow::shownFrame() const
{
    if (!running() && picture_)
        return picture_to_qimage(picture_->record().image, view_->size());
    return frames_[phase_];
}

bool BlinkWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_ && event->type() == QEvent::Resize && running())
        rebuildFrames();
    if (watched == view_ && event->type() == QEvent::Paint) {
        QPainter p(view_);
        p.fillRect(view_->rect(), palette().dark());
        const QImage frame = shownFrame();
        p.drawImage(QPoint((view_->width() - frame.width()) / 2, (view_->height() - frame.height()) / 2), frame);
        return true;
    }
    return ChildWindow::eventFilter(watched, event);
}
