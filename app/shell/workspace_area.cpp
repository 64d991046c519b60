#include "shell/workspace_area.h"

#include "shell/splash.h"

#include <QMouseEvent>
#include <QPainter>

WorkspaceArea::WorkspaceArea(QWidget* parent) : QMdiArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWorkspaceColor(QColor(64, 64, 64));
}

void WorkspaceArea::setWorkspaceColor(const QColor& color)
{
    setBackground(color);
}

void WorkspaceArea::showSplash()
{
    if (splash_.isNull())
        splash_ = splash_picture();
    splashShown_ = true;
    viewport()->update();
}

void WorkspaceArea::removeSplash()
{
    if (!splashShown_)
        return;
    splashShown_ = false;
    viewport()->update();
}

QPoint WorkspaceArea::splashOrigin() const
{
    return QPoint((viewport()->width() - 325) / 2, (viewport()->height() - 279) / 2);
}

void WorkspaceArea::paintEvent(QPaintEvent* event)
{
    QMdiArea::paintEvent(event);
    if (splashShown_) {
        QPainter p(viewport());
        p.drawPixmap(splashOrigin(), splash_);
    }
}

void WorkspaceArea::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        removeSplash();
    QMdiArea::mousePressEvent(event);
}
