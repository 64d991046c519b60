// The browse window: the pictures of one folder as thumbnails; double-click (or Enter) opens
// one in an image window. Thumbnails are read one at a time in the background of the event
// loop, so a large folder shows its names at once and fills in its pictures as they come.
#pragma once

#include "shell/child_window.h"

#include <QStringList>
#include <functional>

class QListWidget;
class QListWidgetItem;
class QTimer;

class BrowseWindow : public ChildWindow {
    Q_OBJECT
public:
    static constexpr int kKind = 1029;
    static constexpr int kThumbnailSize = 96;

    using Opener = std::function<void(const QString& path)>;
    BrowseWindow(const QString& folder, Opener opener, QWidget* parent = nullptr);

    QString folder() const { return folder_; }
    QListWidget* list() const { return list_; }
    // The picture files of a folder (by the extensions of the File Open filters), by name.
    static QStringList pictureFiles(const QString& folder);
    // Reads thumbnails until none is left (tests).
    void loadAllThumbnails();

private:
    void loadNextThumbnail();
    void openItem(QListWidgetItem* item);

    QString folder_;
    Opener opener_;
    QListWidget* list_;
    QTimer* loader_;
    int next_ = 0;
};
