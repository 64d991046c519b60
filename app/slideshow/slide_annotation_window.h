// The Slide Annotation window of one slide: its caption, description and duration, and its
// sound (Set Sound copies a WAV file into the slide, Play Sound plays it, Reset Sound removes
// it, Loop repeats it while the slide shows). OK stores the texts and the duration; the sound
// buttons act at once.
#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>
#include <optional>

namespace mv {
struct SlideShow;
}
class IntegerField;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSoundEffect;

class SlideAnnotationWindow : public QDialog {
    Q_OBJECT
public:
    enum Button { kSetSound, kPlaySound, kResetSound };

    SlideAnnotationWindow(mv::SlideShow& show, int index, QWidget* parent = nullptr);
    ~SlideAnnotationWindow() override;

    QLineEdit* captionField() const { return caption_; }
    QPlainTextEdit* descriptionField() const { return description_; }
    IntegerField* durationField() const { return duration_; }
    QCheckBox* loopBox() const { return loop_; }
    QPushButton* button(Button b) const;
    QLabel* soundLabel() const { return soundLabel_; }

    // Set Sound with a chosen file; 0, 11 or a code already shown.
    int setSound(const QString& wavPath);
    void resetSound();
    // Plays the slide's sound; false (with a message) when there is no audio output.
    bool playSound();

    // The "Sound Files" dialog; replaceable so tests can answer it.
    using SoundAsker = std::function<std::optional<QString>(QWidget*)>;
    static void setSoundAsker(SoundAsker asker);

    void accept() override;

private:
    void refreshSound();
    void stopSound();

    mv::SlideShow& show_;
    int index_;
    QLineEdit* caption_;
    QPlainTextEdit* description_;
    IntegerField* duration_;
    QCheckBox* loop_;
    QPushButton* buttons_[3];
    QLabel* soundLabel_;
    QPointer<QSoundEffect> player_;
};
