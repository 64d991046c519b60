// A labelled integer field with up-down arrows: typed text outside the limits beeps and is
// replaced by the limit, text that is no number beeps; a changed value reports integerChanged.
#pragma once

#include <QWidget>

class QLineEdit;

class IntegerField : public QWidget {
    Q_OBJECT
public:
    IntegerField(const QString& label, int minimum, int maximum, int value, QWidget* parent = nullptr);

    int value() const { return value_; }
    // Clamps to the limits and shows the value.
    void setValue(int value);
    QLineEdit* edit() const { return edit_; }

signals:
    void integerChanged(int value);

private:
    void parseText();
    void step(int delta);
    QLineEdit* edit_;
    int minimum_, maximum_, value_;
};
