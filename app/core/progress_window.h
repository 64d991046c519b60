// The progress window: a ten-part bar, the estimated time left and, for cancellable work, a
// Cancel button. It is the engine's progress sink while the editor runs; each update pumps
// events so that Cancel reacts while the rest of the program waits (the window is modal).
#pragma once

#include "core/progress.h"

#include <QDialog>
#include <QElapsedTimer>
#include <memory>
#include <optional>

class QPushButton;

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(QWidget* parent, int first, int last, const QString& title, bool cancellable);

    // Moves the bar; returns 11 once Cancel was pressed.
    int update(int current);
    bool cancelled() const { return tracker_.cancelled(); }
    QPushButton* cancelButton() const { return cancel_; }
    const mv::ProgressTracker& tracker() const { return tracker_; }
    QRect barRect() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void reject() override;

private:
    QRect innerBar() const;
    QRect textRect() const;
    QElapsedTimer clock_;
    mv::ProgressTracker tracker_;
    QPushButton* cancel_ = nullptr;
    QString timeText_;
};

// Installs itself as the engine's progress sink and creates a ProgressWindow for each
// begin; small work gets the wait cursor instead.
class ProgressWindowSink final : public mv::ProgressSink {
public:
    explicit ProgressWindowSink(QWidget* parent);
    ~ProgressWindowSink() override;
    void begin(int first, int last, std::string_view title, bool cancellable) override;
    int update(int current) override;
    void end() override;
    void wait_cursor(bool on) override;
    void pump() override;
    ProgressWindow* current() const { return window_.get(); }

private:
    QWidget* parent_;
    std::unique_ptr<ProgressWindow> window_;
    mv::ProgressSink* previous_;
};
