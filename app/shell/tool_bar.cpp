#include "shell/tool_bar.h"

#include "shell/toolbar_model.h"

#include <QPainter>
#include <QToolButton>

namespace {

// The button pictures, drawn rather than loaded: a short mark for each resource name.
QString buttonMark(const char* bitmap)
{
    static const struct {
        const char* name;
        const char* mark;
    } kMarks[] = {
        {"IDOPENPCD", "CD"}, {"IDOPEN", "O"},    {"IDBROWSE", "B"},       {"IDSAVE", "S"},
        {"IDACQUIRE", "A"},  {"IDZOOMIN", "+"},  {"IDZOOMINRESIZE", "++"}, {"IDZOOM11", "1"},
        {"IDZOOMOUT", "-"},  {"IDFIT", "F"},     {"IDNEXTWINDOW", ">"},    {"IDMASK", "M"},
        {"IDZOOM", "Z"},     {"IDMAGNIFY", "G"}, {"IDREADOUT", "R"},       {"IDCLONE", "C"},
        {"IDBRUSH", "P"},    {"IDARROW", "L"},   {"IDTOOLBOX", "T"},       {"IDQUESTION", "?"},
    };
    for (const auto& m : kMarks)
        if (qstrcmp(m.name, bitmap) == 0)
            return QString::fromLatin1(m.mark);
    return QString();
}

QIcon buttonIcon(const char* bitmap)
{
    QPixmap picture(mv::kButtonSize, mv::kButtonSize);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(picture.rect(), Qt::AlignCenter, buttonMark(bitmap));
    return QIcon(picture);
}

} // namespace

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
            b->setIcon(buttonIcon(g.buttons[size_t(i)].bitmap));
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
