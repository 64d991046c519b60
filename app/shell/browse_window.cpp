#include "shell/browse_window.h"

#include "core/image.h"
#include "formats/file_open.h"
#include "formats/file_types.h"
#include "formats/format_entry.h"
#include "shell/picture_image.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QTimer>

namespace {

QIcon placeholder()
{
    QPixmap p(BrowseWindow::kThumbnailSize, BrowseWindow::kThumbnailSize);
    p.fill(QColor(235, 235, 235));
    QPainter g(&p);
    g.setPen(QColor(170, 170, 170));
    g.drawRect(p.rect().adjusted(0, 0, -1, -1));
    return QIcon(p);
}

// A thumbnail through Qt's readers when they know the format, else through the program's
// own readers (TIFF, FITS and the rest); a null image when neither can read it.
QImage thumbnail(const QString& path)
{
    const QSize limit(BrowseWindow::kThumbnailSize, BrowseWindow::kThumbnailSize);
    QImageReader reader(path);
    if (reader.canRead()) {
        const QSize size = reader.size();
        if (size.isValid())
            reader.setScaledSize(size.scaled(limit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        const QImage img = reader.read();
        if (!img.isNull())
            return img;
    }
    const int type = mv::file_open_type(path.toStdString(), 1);
    if (type == mv::FILE_PHOTOCD)
        return {}; // reading the smallest size still takes long; the name suffices
    mv::Image picture;
    if (mv::format_open(type, path.toStdString(), picture, false, 2) != 0)
        return {};
    return picture_to_qimage(picture, limit);
}

} // namespace

QStringList BrowseWindow::pictureFiles(const QString& folder)
{
    QStringList patterns;
    for (int type = mv::FILE_TIFF; type <= mv::FILE_RLE; ++type)
        if (const mv::FileFilter* f = mv::open_filter(type))
            for (const QString& p : QString::fromLatin1(f->pattern).split(QLatin1Char(';')))
                if (p != QLatin1String("*.*"))
                    patterns << p;
    return QDir(folder).entryList(patterns, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
}

BrowseWindow::BrowseWindow(const QString& folder, Opener opener, QWidget* parent)
    : ChildWindow(kKind, -1, parent), folder_(folder), opener_(std::move(opener)), list_(new QListWidget(this)),
      loader_(new QTimer(this))
{
    setWindowTitle(tr("Browse - %1").arg(QDir::toNativeSeparators(folder)));
    list_->setViewMode(QListView::IconMode);
    list_->setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    list_->setGridSize(QSize(kThumbnailSize + 24, kThumbnailSize + 34));
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    list_->setWordWrap(true);
    list_->setUniformItemSizes(true);
    const QIcon blank = placeholder();
    for (const QString& name : pictureFiles(folder)) {
        auto* item = new QListWidgetItem(blank, name, list_);
        item->setData(Qt::UserRole, QDir(folder).filePath(name));
        item->setToolTip(QDir::toNativeSeparators(QDir(folder).filePath(name)));
    }
    if (list_->count() == 0)
        list_->addItem(tr("No pictures in this folder"));
    setWidget(list_);
    resize(560, 420);
    connect(list_, &QListWidget::itemActivated, this, &BrowseWindow::openItem);
    connect(loader_, &QTimer::timeout, this, &BrowseWindow::loadNextThumbnail);
    loader_->start(0);
}

void BrowseWindow::loadNextThumbnail()
{
    if (next_ >= list_->count()) {
        loader_->stop();
        return;
    }
    QListWidgetItem* item = list_->item(next_++);
    const QString path = item->data(Qt::UserRole).toString();
    if (path.isEmpty())
        return;
    const QImage img = thumbnail(path);
    if (img.isNull())
        return;
    QPixmap square(kThumbnailSize, kThumbnailSize);
    square.fill(Qt::transparent);
    QPainter g(&square);
    g.drawImage(QPoint((kThumbnailSize - img.width()) / 2, (kThumbnailSize - img.height()) / 2), img);
    g.end();
    item->setIcon(QIcon(square));
}

void BrowseWindow::loadAllThumbnails()
{
    while (next_ < list_->count())
        loadNextThumbnail();
    loader_->stop();
}

void BrowseWindow::openItem(QListWidgetItem* item)
{
    const QString path = item ? item->data(Qt::UserRole).toString() : QString();
    if (!path.isEmpty() && opener_)
        opener_(path);
}
