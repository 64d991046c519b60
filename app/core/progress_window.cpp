#include "core/progress_window.h"

#include "core/error.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>

namespace {
constexpr int kMargin = 6;
constexpr int kControlHeight = 24;
constexpr int kBarWidth = 300;
const QColor kGray(128, 128, 128);
} // namespace

ProgressWindow::ProgressWindow(QWidget* parent, int first, int last, const QString& title,
                               bool cancellable)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      tracker_(first, last, 0)
{
    clock_.start();
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kGray);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    const int lineHeight = fontMetrics().height() + 1;
    int left = kMargin;
    if (cancellable) {
        cancel_ = new QPushButton(tr("Cancel"), this);
        cancel_->setGeometry(kMargin, kMargin, cancel_->fontMetrics().horizontalAdvance(tr("Cancel")) + 2 * kMargin + 8,
                             kControlHeight);
        connect(cancel_, &QPushButton::clicked, this, [this] { tracker_.cancel(); });
        left += cancel_->width() + kMargin;
    }
    setFixedSize(left + kBarWidth + kMargin, kControlHeight + lineHeight + 3 * kMargin);
}

QRect ProgressWindow::barRect() const
{
    const int left = kMargin + (cancel_ ? cancel_->width() + kMargin : 0);
    return QRect(QPoint(left, kMargin), QPoint(width() - kMargin - 1, kMargin + kControlHeight - 1));
}

QRect ProgressWindow::innerBar() const
{
    return barRect().adjusted(2, 2, -2, -2);
}

QRect ProgressWindow::textRect() const
{
    const int top = 2 * kMargin + kControlHeight;
    return QRect(kMargin, top, width() - 2 * kMargin, fontMetrics().height() + 1);
}

int ProgressWindow::update(int current)
{
    const QRect inner = innerBar();
    const mv::ProgressTracker::Span span = tracker_.advance(current, inner.width());
    if (current == tracker_.first())
        repaint();
    else if (span.to > span.from)
        QWidget::update(inner);
    if (tracker_.refresh_time(clock_.elapsed())) {
        timeText_ = QString::fromStdString(mv::progress_time_text(tracker_.shown()));
        QWidget::update(textRect());
    }
    if (cancel_)
        cancel_->setFocus();
    // Only this window takes input meanwhile: it is modal over the frame.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return tracker_.cancelled() ? mv::kAborted : 0;
}

void ProgressWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(barRect(), Qt::white);
    const QRect inner = innerBar();
    p.setPen(Qt::black);
    p.drawRect(inner.adjusted(0, 0, -1, -1));
    for (int i = 1; i <= 9; ++i) {
        const int x = inner.left() + i * inner.width() / 10;
        p.drawLine(x, inner.top(), x, inner.bottom());
    }
    const int filled = tracker_.filled_width(inner.width());
    if (filled > 0)
        p.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()), Qt::black);
    if (!timeText_.isEmpty()) {
        p.fillRect(textRect(), kGray);
        p.drawText(textRect(), Qt::AlignLeft | Qt::AlignVCenter, timeText_);
    }
}

void ProgressWindow::reject()
{
    // Escape and the close box act as Cancel; without one the window cannot be dismissed.
    if (cancel_)
        tracker_.cancel();
}

ProgressWindowSink::ProgressWindowSink(QWidget* parent)
    : parent_(parent), previous_(mv::set_progress_sink(this))
{
}

ProgressWindowSink::~ProgressWindowSink()
{
    mv::set_progress_sink(previous_);
}

void ProgressWindowSink::begin(int first, int last, std::string_view title, bool cancellable)
{
    window_ = std::make_unique<ProgressWindow>(
        parent_, first, last, QString::fromUtf8(title.data(), qsizetype(title.size())), cancellable);
    if (parent_) {
        const QRect area = parent_->geometry();
        window_->move(area.center().x() - window_->width() / 2, area.top() + area.height() / 4);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    window_->show();
    window_->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int ProgressWindowSink::update(int current)
{
    return window_ ? window_->update(current) : 0;
}

void ProgressWindowSink::end()
{
    if (!window_)
        return;
    window_.reset();
    QApplication::restoreOverrideCursor();
}

void ProgressWindowSink::wait_cursor(bool on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void ProgressWindowSink::pump()
{
    // Work without a progress window still lets the program repaint and stay responsive.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
