// The blink window: shows a picture alternately with a second picture of the same size (or
// with a plain colour) at a chosen rate, so small differences between them stand out.
#pragma once

#include "settings/preferences.h"
#include "shell/child_window.h"

#include <QImage>
#include <QPointer>

class ImageWindow;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;
class ColorControl;

class BlinkWindow : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int kKind = 3017;

    // Opens for `picture`; `others` are the image windows it may alternate with (those of
    // another size are left out).
    BlinkWindow(ImageWindow* picture, const QList<ImageWindow*>& others, QWidget* parent = nullptr);

    QComboBox* partner() const { return partner_; }
    QSpinBox* rate() const { return rate_; }
    bool running() const;
    // Which of the two is shown: 0 the picture, 1 the partner.
    int phase() const { return phase_; }
    void start();
    void stop();
    // The next phase (the timer calls it).
    void step();
    // The frame shown now, at the view's size.
    QImage shownFrame() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildFrames();

    QPointer<ImageWindow> picture_;
    QList<QPointer<ImageWindow>> partners_;
    QComboBox* partner_;
    QSpinBox* rate_;
    QPushButton* startButton_;
    QPushButton* stopButton_;
    QWidget* view_;
    QTimer* timer_;
    mv::Rgb color_{0, 0, 0};
    ColorControl* colorControl_;
    QImage frames_[2];
    int phase_ = 0;
};
