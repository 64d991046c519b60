// The frame's multiple-document area: painted in the workspace colour, with the start-up
// picture centred on it until the first click, menu or tool bar button.
#pragma once

#include <QMdiArea>
#include <QPixmap>

class WorkspaceArea : public QMdiArea {
    Q_OBJECT
public:
    explicit WorkspaceArea(QWidget* parent = nullptr);

    void setWorkspaceColor(const QColor& color);
    void showSplash();
    void removeSplash();
    bool splashShown() const { return splashShown_; }
    // Top-left corner of the centred start-up picture in viewport coordinates.
    QPoint splashOrigin() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPixmap splash_;
    bool splashShown_ = false;
};
