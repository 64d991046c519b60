// The player of a saved slide show: each slide fills the screen (kept in proportion, on
// black) for its duration with its caption and description below, and its sound plays
// while it shows. Space, Right and Page Down go to the next slide, Left and Page Up back,
// Home and End to the first and last; Escape ends the show, as does the end of the last
// slide.
#pragma once

#include "slideshow/slide_overview.h"

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class QSoundEffect;

class SlidePlayer : public QWidget {
public:
    explicit SlidePlayer(QWidget* parent = nullptr);
    ~SlidePlayer() override;

    // Reads the overview file; 0, or a code whose message has been shown.
    int load(const QString& showPath);
    // Starts with the first slide.
    void start();

    int count() const { return int(overview_.slides.size()); }
    int index() const { return index_; }
    // The seconds slide `i` shows.
    int seconds(int i) const;
    const QImage& picture() const { return picture_; }
    bool soundsAvailable() const { return soundsAvailable_; }

    void showSlide(int i);
    void next();
    void previous();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void finish();
    void playSound(int i);
    void stopSound();
    void rescale();

    QString path_;
    mv::Overview overview_;
    int index_ = -1;
    QImage picture_;
    QPixmap scaled_;
    QString problem_;
    QTimer timer_;
    QPointer<QSoundEffect> sound_;
    bool soundsAvailable_ = false;
};
