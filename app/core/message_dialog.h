// The program's own modal message box: centred text and one of four button sets, returning
// the same result numbers as the engine's message_dialog (OK 1, Cancel 2, Yes 6, No 7).
#pragma once

#include "core/error.h"

#include <QDialog>

class QPushButton;

class MessageDialog : public QDialog {
    Q_OBJECT
public:
    MessageDialog(QWidget* parent, const QString& title, const QString& text, int buttons);

    // Runs the box and returns the result number of the button pressed; closing the box
    // counts as Cancel when there is one, else as the last button's answer.
    static int ask(QWidget* parent, const QString& title, const QString& text, int buttons);

    QPushButton* button(int result) const;

private:
    void addButton(const QString& caption, int result);
    int escapeResult_ = mv::kResultOk;
    QList<QPair<QPushButton*, int>> buttons_;

protected:
    void reject() override;
};

// Routes the engine's messages to MessageDialog, parented to the frame.
class DialogMessageSink final : public mv::MessageSink {
public:
    explicit DialogMessageSink(QWidget* parent) : parent_(parent) {}
    int show(std::string_view title, std::string_view text, int buttons) override;

private:
    QWidget* parent_;
};
