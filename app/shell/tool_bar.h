// The tool bar: a strip along the top or the left of the frame holding three groups of
// small picture buttons (icons drawn by resources/tool_icons) (commands, tools, help). A press is passed on to the frame, which
// decides what it does.
#pragma once

#include <QWidget>

class QToolButton;

class ToolBarStrip : public QWidget {
    Q_OBJECT
public:
    explicit ToolBarStrip(QWidget* parent = nullptr);

    // Lays the groups out along the top (false) or the left (true).
    void setLeft(bool left);
    bool isLeft() const { return left_; }
    // Shows the button standing for `tool` pressed, releasing the others of the tool group.
    void showTool(int tool);
    // The button `button` of group `group` (101..103); null when there is none.
    QToolButton* button(int group, int button) const;

signals:
    void buttonPressed(int group, int button);

private:
    void layoutGroups();

    bool left_ = false;
    QList<QWidget*> groups_;
};
