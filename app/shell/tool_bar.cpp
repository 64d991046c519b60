#include "shell/tool_bar.h"

#include "resources/tool_icons.h"
#include "shell/toolbar_model.h"

#include <QToolButton>


ToolBarStrip::ToolBarStrip(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("toolBar"));
    setAutoFillBackground(true);
    for (const mv::ToolGroup& g : mv::toolbar_groups()) {
        auto* group = new QWidget(this);
        group->setObjectName(QStringLiteral("toolGroup%1").arg(g.id));
        for (int i = 0; i < int(g.buttons.size()); ++i) {
            auto* b = new QToolButton(group);
            b->setObjectName(QStringLiteral("toolButton%1_%2").arg(g.id).arg(i));
            b->setIcon(tool_icon(g.buttons[size_t(i)].bitmap));
            b->setIconSize(QSize(mv::kButtonSize - 4, mv::kButtonSize - 4));
            b->setToolTip(QString::fromLatin1(g.buttons[size_t(i)].tip));
            b->setCheckable(g.radio);
            b->setAutoRaise(false);
            const int id = g.id;
            connect(b, &QToolButton::clicked, this, [this, id, i] { emit buttonPressed(id, i); });
        }
        groups_.append(group);
    }
    layoutGroups();
}

QToolButton* ToolBarStrip::button(int group, int button) const
{
    for (QWidget* g : groups_)
        if (g->objectName() == QStringLiteral("toolGroup%1").arg(group))
            return g->findChild<QToolButton*>(QStringLiteral("toolButton%1_%2").arg(group).arg(button));
    return nullptr;
}

void ToolBarStrip::setLeft(bool left)
{
    left_ = left;
    layoutGroups();
}

void ToolBarStrip::layoutGroups()
{
    for (int i = 0; i < groups_.size(); ++i) {
        const mv::ToolRect r = mv::toolbar_group_rect(i, left_);
        groups_[i]->setGeometry(r.left, r.top, r.width, r.height);
        const QList<QToolButton*> buttons = groups_[i]->findChildren<QToolButton*>();
        for (int b = 0; b < buttons.size(); ++b) {
            const mv::ToolRect br = mv::toolbar_button_rect(b, left_);
            buttons[b]->setGeometry(br.left, br.top, br.width, br.height);
        }
    }
    if (left_) {
        setFixedWidth(mv::kToolbarThickness);
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        setFixedHeight(mv::kToolbarThickness);
        setMinimumWidth(0);
        setMaximumWidth(QWIDGETSIZE_MAX);
    }
}

void ToolBarStrip::showTool(int tool)
{
    const int pressed = mv::toolbar_button_of_tool(tool);
    for (int i = 0;; ++i) {
        QToolButton* b = button(mv::kGroupTools, i);
        if (!b)
            break;
        b->setChecked(i == pressed);
    }
}
