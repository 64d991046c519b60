#include "slideshow/slide_annotation_window.h"

#include "core/error.h"
#include "formats/file_dialogs.h"
#include "slideshow/slide_show.h"
#include "slideshow/wav_file.h"
#include "transform/integer_field.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>
#include <QVBoxLayout>

namespace {

SlideAnnotationWindow::SoundAsker& soundAsker()
{
    static SlideAnnotationWindow::SoundAsker asker;
    return asker;
}

std::optional<QString> askSoundFile(QWidget* parent)
{
    if (soundAsker())
        return soundAsker()(parent);
    QFileDialog dialog(parent, QStringLiteral("Set Sound"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Sound Files (*.wav)")});
    const QString start = file_dialogs::startDirectory();
    if (!start.isEmpty())
        dialog.setDirectory(start);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    file_dialogs::dialogEnded(dialog.directory().absolutePath());
    if (!accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace

void SlideAnnotationWindow::setSoundAsker(SoundAsker asker)
{
    soundAsker() = std::move(asker);
}

SlideAnnotationWindow::SlideAnnotationWindow(mv::SlideShow& show, int index, QWidget* parent)
    : QDialog(parent), show_(show), index_(index)
{
    setWindowTitle(QStringLiteral("Slide Annotation"));
    const mv::Slide& slide = show.slides.at(std::size_t(index));

    caption_ = new QLineEdit(QString::fromStdString(slide.caption));
    caption_->setMaxLength(mv::kCaptionMax);
    description_ = new QPlainTextEdit(QString::fromStdString(slide.description));
    description_->setMinimumHeight(90);
    duration_ = new IntegerField(QStringLiteral("Slide Duration in Seconds (0 for default):"), 0,
                                 mv::kSlideDurationMax, slide.duration);

    const char* labels[3] = {"Set Sound", "Play Sound", "Reset Sound"};
    auto* soundRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        buttons_[i] = new QPushButton(QString::fromLatin1(labels[i]));
        buttons_[i]->setAutoDefault(false);
        soundRow->addWidget(buttons_[i]);
    }
    loop_ = new QCheckBox(QStringLiteral("Loop"));
    loop_->setChecked(slide.loop);
    soundRow->addWidget(loop_);
    soundRow->addStretch();
    soundLabel_ = new QLabel;

    connect(buttons_[kSetSound], &QPushButton::clicked, this, [this] {
        if (const auto path = askSoundFile(this))
            mv::slideshow_error_box(setSound(*path));
    });
    connect(buttons_[kPlaySound], &QPushButton::clicked, this, [this] { playSound(); });
    connect(buttons_[kResetSound], &QPushButton::clicked, this, [this] { resetSound(); });
    connect(loop_, &QCheckBox::toggled, this, [this](bool on) {
        mv::slideshow_set_loop(show_, index_, on);
        if (player_)
            player_->setLoopCount(on ? QSoundEffect::Infinite : 1);
    });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Caption:"), caption_);
    form->addRow(QStringLiteral("Description:"), description_);
    auto* buttonsBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttonsBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonsBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Slide %1").arg(index + 1)));
    layout->addLayout(form);
    layout->addWidget(duration_);
    layout->addLayout(soundRow);
    layout->addWidget(soundLabel_);
    layout->addWidget(buttonsBox);
    resize(440, sizeHint().height());
    refreshSound();
}

SlideAnnotationWindow::~SlideAnnotationWindow()
{
    stopSound();
}

QPushButton* SlideAnnotationWindow::button(Button b) const
{
    return buttons_[b];
}

void SlideAnnotationWindow::refreshSound()
{
    const mv::Slide& slide = show_.slides.at(std::size_t(index_));
    const bool has = mv::slide_has_sound(slide);
    buttons_[kPlaySound]->setEnabled(has);
    buttons_[kResetSound]->setEnabled(has);
    if (!has) {
        soundLabel_->setText(QStringLiteral("No sound"));
        return;
    }
    mv::WavFormat format;
    std::string problem;
    if (mv::wav_read_format(slide.sound_file, format, problem) == 0 && format.sample_rate > 0)
        soundLabel_->setText(QStringLiteral("Sound: %1 s, %2 Hz, %3")
                                 .arg(double(format.frames) / format.sample_rate, 0, 'f', 1)
                                 .arg(format.sample_rate)
                                 .arg(format.channels == 1 ? QStringLiteral("mono")
                                                           : QStringLiteral("%1 channels").arg(format.channels)));
    else
        soundLabel_->setText(QStringLiteral("Sound"));
}

int SlideAnnotationWindow::setSound(const QString& wavPath)
{
    stopSound();
    const int code = mv::slideshow_set_sound(show_, index_, wavPath.toStdString());
    refreshSound();
    return code;
}

void SlideAnnotationWindow::resetSound()
{
    stopSound();
    mv::slideshow_reset_sound(show_, index_);
    refreshSound();
}

bool SlideAnnotationWindow::playSound()
{
    const mv::Slide& slide = show_.slides.at(std::size_t(index_));
    if (!mv::slide_has_sound(slide))
        return false;
    if (QMediaDevices::audioOutputs().isEmpty()) {
        mv::message_dialog("Play Sound", "No sound output device is available; the sound cannot be played.",
                           mv::kButtonsOk);
        return false;
    }
    stopSound();
    player_ = new QSoundEffect(this);
    player_->setSource(QUrl::fromLocalFile(QString::fromStdString(slide.sound_file)));
    player_->setLoopCount(loop_->isChecked() ? QSoundEffect::Infinite : 1);
    connect(player_, &QSoundEffect::statusChanged, this, [this] {
        if (player_ && player_->status() == QSoundEffect::Error)
            mv::message_dialog("Play Sound", "The sound cannot be played on this system.", mv::kButtonsOk);
    });
    player_->play();
    return true;
}

void SlideAnnotationWindow::stopSound()
{
    if (player_) {
        player_->stop();
        delete player_.data();
    }
}

void SlideAnnotationWindow::accept()
{
    const mv::Slide& slide = show_.slides.at(std::size_t(index_));
    const std::string caption = caption_->text().toStdString();
    const std::string description = description_->toPlainText().toStdString();
    if (caption != slide.caption)
        mv::slideshow_set_caption(show_, index_, caption);
    if (description != slide.description)
        mv::slideshow_set_description(show_, index_, description);
    if (duration_->value() != slide.duration)
        mv::slideshow_set_slide_duration(show_, index_, duration_->value());
    stopSound();
    QDialog::accept();
}
