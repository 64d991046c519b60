// The transformation windows' slider: 17 pixels high, values 0..1024, one knob or two (low in
// the lower half, high in the upper half). Dragging reports sliderMoving; the release reports
// sliderReleased, on which transformations recompute.
#pragma once

#include <QWidget>

class Slider : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 17;

    explicit Slider(QWidget* parent = nullptr);

    // high = -1 gives a single-knob slider.
    void setValues(int low, int high = -1);
    int low() const { return low_; }
    int high() const { return high_; }
    bool twoKnobs() const { return high_ >= 0; }

    // Knob pixel position of a value and the value at a pixel position.
    int positionOf(int value) const;
    int valueAt(int position) const;
    QSize sizeHint() const override { return QSize(292, kHeight); }

signals:
    void sliderMoving(int low, int high);
    void sliderReleased(int low, int high);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int usableWidth() const { return std::max(1, width() - 8); }
    void dragTo(int x);
    int low_ = 0;
    int high_ = -1;
    int dragging_ = 0; // 0 none, 1 low knob, 2 high knob
};
