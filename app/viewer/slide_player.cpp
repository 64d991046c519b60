#include "viewer/slide_player.h"

#include "core/error.h"
#include "core/image.h"
#include "slideshow/slide_picture.h"
#include "slideshow/slide_show.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPainter>
#include <QSoundEffect>
#include <QUrl>

#include <algorithm>
#include <cstdio>

SlidePlayer::SlidePlayer(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Slide Show"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::BlankCursor);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { next(); });
    soundsAvailable_ = !QMediaDevices::audioOutputs().isEmpty();
}

SlidePlayer::~SlidePlayer()
{
    stopSound();
}

int SlidePlayer::load(const QString& showPath)
{
    path_ = showPath;
    overview_ = mv::Overview{};
    const int code = mv::overview_read(showPath.toStdString(), overview_);
    if (code == mv::kCannotOpenFile)
        mv::error_message("Cannot open the slide show %s", showPath.toStdString());
    return code;
}

int SlidePlayer::seconds(int i) const
{
    if (i < 0 || i >= count())
        return 0;
    const int own = overview_.slides[std::size_t(i)].duration;
    return own > 0 ? own : std::max(1, overview_.duration);
}

void SlidePlayer::start()
{
    if (count() == 0) {
        problem_ = QStringLiteral("This slide show has no slides");
        update();
        return;
    }
    bool anySound = false;
    for (int i = 0; i < count(); ++i)
        anySound = anySound || QFile::exists(QString::fromStdString(mv::saved_slide_path(path_.toStdString(), i, 'w')));
    if (anySound && !soundsAvailable_)
        std::fprintf(stderr, "morvane-viewer: no sound output device; the slides' sounds are not played\n");
    showSlide(0);
}

void SlidePlayer::showSlide(int i)
{
    if (i < 0 || i >= count())
        return;
    index_ = i;
    stopSound();
    mv::Image image;
    const int code = mv::saved_slide_read_image(path_.toStdString(), i, image);
    picture_ = code == 0 ? slide_picture_to_qimage(image) : QImage();
    problem_ = picture_.isNull() ? QStringLiteral("Slide %1 cannot be read (%2)")
                                       .arg(i + 1)
                                       .arg(QString::fromLatin1(mv::error_text(code ? code : mv::kErrorReadingFile)))
                                 : QString();
    rescale();
    update();
    playSound(i);
    timer_.start(seconds(i) * 1000);
}

void SlidePlayer::next()
{
    if (index_ + 1 >= count()) {
        finish();
        return;
    }
    showSlide(index_ + 1);
}

void SlidePlayer::previous()
{
    showSlide(std::max(0, index_ - 1));
}

void SlidePlayer::finish()
{
    timer_.stop();
    stopSound();
    close();
}

void SlidePlayer::playSound(int i)
{
    const QString wav = QString::fromStdString(mv::saved_slide_path(path_.toStdString(), i, 'w'));
    if (!soundsAvailable_ || !QFile::exists(wav))
        return;
    sound_ = new QSoundEffect(this);
    sound_->setSource(QUrl::fromLocalFile(wav));
    sound_->setLoopCount(overview_.slides[std::size_t(i)].loop ? QSoundEffect::Infinite : 1);
    sound_->play();
}

void SlidePlayer::stopSound()
{
    if (sound_) {
        sound_->stop();
        delete sound_.data();
    }
}

void SlidePlayer::rescale()
{
    if (picture_.isNull()) {
        scaled_ = QPixmap();
        return;
    }
    const QSize fitted = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    scaled_ = QPixmap::fromImage(picture_.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void SlidePlayer::resizeEvent(QResizeEvent*)
{
    rescale();
}

void SlidePlayer::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!scaled_.isNull())
        p.drawPixmap((width() - scaled_.width()) / 2, (height() - scaled_.height()) / 2, scaled_);
    QString caption, description;
    if (index_ >= 0 && index_ < count()) {
        caption = QString::fromStdString(overview_.slides[std::size_t(index_)].caption);
        description = QString::fromStdString(overview_.slides[std::size_t(index_)].description);
    }
    if (!problem_.isEmpty()) {
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, problem_);
    }
    if (caption.isEmpty() && description.isEmpty())
        return;
    // The texts on a dark band along the bottom.
    QFont captionFont = font();
    captionFont.setPixelSize(std::max(14, height() / 28));
    captionFont.setBold(true);
    QFont textFont = font();
    textFont.setPixelSize(std::max(11, height() / 42));
    const int margin = std::max(8, width() / 60);
    const QRect textArea(margin, 0, width() - 2 * margin, height());
    const QRect captionBox = QFontMetrics(captionFont).boundingRect(textArea, Qt::TextWordWrap, caption);
    const QRect descriptionBox = description.isEmpty()
                                     ? QRect()
                                     : QFontMetrics(textFont).boundingRect(textArea, Qt::TextWordWrap, description);
    const int bandHeight = captionBox.height() + descriptionBox.height() + 2 * margin / 2 + 4;
    const QRect band(0, height() - bandHeight, width(), bandHeight);
    p.fillRect(band, QColor(0, 0, 0, 170));
    p.setPen(Qt::white);
    p.setFont(captionFont);
    p.drawText(QRect(margin, band.top() + margin / 2, textArea.width(), captionBox.height()),
               Qt::AlignHCenter | Qt::TextWordWrap, caption);
    if (!description.isEmpty()) {
        p.setFont(textFont);
        p.setPen(QColor(220, 220, 220));
        p.drawText(QRect(margin, band.top() + margin / 2 + captionBox.height() + 4, textArea.width(),
                         descriptionBox.height()),
                   Qt::AlignHCenter | Qt::TextWordWrap, description);
    }
}

void SlidePlayer::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Right:
    case Qt::Key_PageDown: next(); return;
    case Qt::Key_Left:
    case Qt::Key_PageUp: previous(); return;
    case Qt::Key_Home: showSlide(0); return;
    case Qt::Key_End: showSlide(count() - 1); return;
    case Qt::Key_Escape: finish(); return;
    default: QWidget::keyPressEvent(event);
    }
}

void SlidePlayer::mousePressEvent(QMouseEvent*)
{
    next();
}
