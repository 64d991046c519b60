#include "slideshow/slide_show_window.h"

#include "core/error.h"
#include "core/format.h"
#include "formats/file_dialogs.h"
#include "shell/command_table.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "slideshow/avi_export.h"
#include "slideshow/slide_annotation_window.h"
#include "slideshow/slide_files.h"
#include "slideshow/slide_picture.h"
#include "slideshow/slide_summary.h"
#include "slideshow/viewer_files.h"
#include "transform/integer_field.h"
#include "transform/popup_list.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QDrag>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kContentWidth = 464;
constexpr int kMargin = 8;
const char* const kSlideMime = "application/x-morvane-slide";

SlideShowWindow*& openWindow()
{
    static SlideShowWindow* window = nullptr;
    return window;
}

QString fromStd(const std::string& s)
{
    return QString::fromStdString(s);
}

// --- The dialogs --------------------------------------------------------------------------

QStringList askSlideFiles(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Load Slide"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(file_dialogs::openFilters());
    const QString start = file_dialogs::startDirectory();
    if (!start.isEmpty())
        dialog.setDirectory(start);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    file_dialogs::dialogEnded(dialog.directory().absolutePath());
    return accepted ? dialog.selectedFiles() : QStringList();
}

std::optional<QString> askLoadShow(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Load Slide Show"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Slide Show (*.ss)"), QStringLiteral("All Files (*)")});
    const QString start = file_dialogs::startDirectory();
    if (!start.isEmpty())
        dialog.setDirectory(start);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    file_dialogs::dialogEnded(dialog.directory().absolutePath());
    if (!accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<SlideShowWindow::SaveChoice> askSaveShow(QWidget* parent)
{
    // The name the last dialog ended with; "autoplay.ss" the first time.
    static QString lastName = QStringLiteral("autoplay.ss");
    QFileDialog dialog(parent, QStringLiteral("Save Slide Show"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // the save asks its own question
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = {QStringLiteral("Slide Show (*.ss)"), QStringLiteral("Video (*.avi)")};
    dialog.setNameFilters(filters);
    const bool lastAvi = lastName.endsWith(QLatin1String(".avi"), Qt::CaseInsensitive);
    dialog.selectNameFilter(filters[lastAvi ? 1 : 0]);
    const QString start = file_dialogs::startDirectory();
    if (!start.isEmpty())
        dialog.setDirectory(start);
    dialog.selectFile(lastName);
    // Another type puts its extension on the name typed so far.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& text) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!edit || edit->text().isEmpty())
            return;
        const QString ext = text == filters[1] ? QStringLiteral(".avi") : QStringLiteral(".ss");
        QString name = edit->text();
        const qsizetype dot = name.lastIndexOf('.');
        if (dot > 0 && !name.mid(dot).contains('/'))
            name.truncate(dot);
        edit->setText(name + ext);
    });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    file_dialogs::dialogEnded(dialog.directory().absolutePath());
    if (!accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().first();
    lastName = QFileInfo(path).fileName();
    return SlideShowWindow::SaveChoice{path, dialog.selectedNameFilter() == filters[1]};
}

// The video compressors this build offers; the chosen encoder's name.
std::optional<std::string> askCompressor(QWidget* parent)
{
    const std::vector<mv::AviCompressor> list = mv::avi_compressors();
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Video Compression"));
    auto* choices = new QListWidget;
    for (const mv::AviCompressor& c : list)
        choices->addItem(fromStd(c.label));
    choices->setCurrentRow(0);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(choices, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Compressor:")));
    layout->addWidget(choices);
    layout->addWidget(box);
    if (list.empty() || dialog.exec() != QDialog::Accepted || choices->currentRow() < 0)
        return std::nullopt;
    return list[std::size_t(choices->currentRow())].name;
}

QString durationText(const mv::SlideShow& show, const mv::Slide& slide)
{
    QString text = slide.duration == 0
                       ? QStringLiteral("%1 sec (default)").arg(mv::slide_seconds(show, slide))
                       : QStringLiteral("%1 sec").arg(slide.duration);
    if (mv::slide_has_sound(slide))
        text += slide.loop ? QStringLiteral(", sound, loop") : QStringLiteral(", sound");
    return text;
}

// The thumbnail of a row: a click selects the slide, a drag carries it to another row.
class ThumbnailLabel : public QLabel {
public:
    ThumbnailLabel(SlideShowWindow* owner, int index) : owner_(owner), index_(index)
    {
        setFixedSize(mv::kThumbnailWidth + 4, mv::kThumbnailHeight + 4);
        setAlignment(Qt::AlignCenter);
        setFrameShape(QFrame::Box);
        setCursor(Qt::OpenHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        owner_->select(index_);
        if (event->button() == Qt::LeftButton)
            start_ = event->position().toPoint();
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { owner_->editSlide(index_); }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!(event->buttons() & Qt::LeftButton) ||
            (event->position().toPoint() - start_).manhattanLength() < QApplication::startDragDistance())
            return;
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setData(QString::fromLatin1(kSlideMime), QByteArray::number(index_));
        drag->setMimeData(data);
        if (pixmap().isNull() == false)
            drag->setPixmap(pixmap());
        drag->exec(Qt::MoveAction);
    }

private:
    SlideShowWindow* owner_;
    int index_;
    QPoint start_;
};

// One slide in the strip.
class SlideRow : public QFrame {
public:
    SlideRow(SlideShowWindow* owner, int index) : owner_(owner), index_(index)
    {
        const mv::SlideShow& show = owner->show();
        const mv::Slide& slide = show.slides[std::size_t(index)];
        setAutoFillBackground(true);
        setFrameShape(QFrame::StyledPanel);

        auto* number = new QLabel(QString::number(index + 1));
        number->setFixedWidth(28);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* thumb = new ThumbnailLabel(owner, index);
        const QImage image = slide_picture_to_qimage(slide.thumbnail);
        if (!image.isNull())
            thumb->setPixmap(QPixmap::fromImage(image));
        thumb->setToolTip(QStringLiteral("%1 x %2 pixels").arg(slide.width).arg(slide.height));

        caption = new QLineEdit(fromStd(slide.caption));
        caption->setMaxLength(mv::kCaptionMax);
        caption->installEventFilter(this);
        QObject::connect(caption, &QLineEdit::textEdited, owner,
                         [owner, index](const QString& text) { owner->setCaption(index, text); });
        info = new QLabel(durationText(show, slide));
        properties = new QPushButton(QStringLiteral("Properties ..."));
        properties->setAutoDefault(false);
        QObject::connect(properties, &QPushButton::clicked, owner, [owner, index] {
            owner->select(index);
            owner->editSlide(index);
        });

        auto* captionRow = new QHBoxLayout;
        captionRow->addWidget(new QLabel(QStringLiteral("Caption:")));
        captionRow->addWidget(caption, 1);
        auto* infoRow = new QHBoxLayout;
        infoRow->addWidget(info, 1);
        infoRow->addWidget(properties);
        auto* text = new QVBoxLayout;
        text->addLayout(captionRow);
        text->addLayout(infoRow);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(4, 3, 6, 3);
        layout->addWidget(number);
        layout->addWidget(thumb);
        layout->addLayout(text, 1);
    }

    void setSelected(bool on)
    {
        QPalette p = palette();
        const QPalette base = QApplication::palette();
        p.setColor(QPalette::Window, on ? base.color(QPalette::Highlight).lighter(170)
                                        : base.color(QPalette::Window));
        setPalette(p);
    }

    QLineEdit* caption;
    QLabel* info;
    QPushButton* properties;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == caption && event->type() == QEvent::FocusIn)
            owner_->select(index_);
        return false;
    }

private:
    SlideShowWindow* owner_;
    int index_;
};

} // namespace

// --- The strip ----------------------------------------------------------------------------------

SlideStrip::SlideStrip(SlideShowWindow* owner) : owner_(owner)
{
    setAcceptDrops(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    addRow_ = new QWidget;
    loadSlide_ = new QPushButton(QStringLiteral("Load Slide ..."));
    loadSlide_->setAutoDefault(false);
    addWindow_ = new QPushButton(QStringLiteral("Add Window ..."));
    addWindow_->setAutoDefault(false);
    addWindow_->setToolTip(QStringLiteral("Adds an open picture as a slide"));
    auto* addLayout = new QHBoxLayout(addRow_);
    addLayout->setContentsMargins(34, 6, 6, 6);
    addLayout->addWidget(loadSlide_);
    addLayout->addWidget(addWindow_);
    addLayout->addStretch();
    connect(loadSlide_, &QPushButton::clicked, this, [this] {
        owner_->loadSlideFiles(owner_->selected_ >= 0 ? owner_->selected_ + 1 : -1);
    });
    connect(addWindow_, &QPushButton::clicked, this, &SlideStrip::showWindowMenu);
    layout->addWidget(addRow_);
    layout->addStretch();
}

void SlideStrip::rebuild()
{
    auto* box = static_cast<QVBoxLayout*>(layout());
    // The old rows go later: the event that changed the show may come from one of them.
    for (QWidget* row : rows_) {
        box->removeWidget(row);
        row->hide();
        row->deleteLater();
    }
    rows_.clear();
    const int count = int(owner_->show().slides.size());
    for (int i = 0; i < count; ++i) {
        auto* row = new SlideRow(owner_, i);
        box->insertWidget(i, row);
        rows_.push_back(row);
    }
    loadSlide_->setEnabled(!mv::slideshow_full(owner_->show()));
    addWindow_->setEnabled(!mv::slideshow_full(owner_->show()));
    refreshSelection();
}

void SlideStrip::refreshSelection()
{
    for (int i = 0; i < rows_.size(); ++i)
        static_cast<SlideRow*>(rows_[i])->setSelected(i == owner_->selected());
}

int SlideStrip::rowCount() const
{
    return int(rows_.size());
}

QLineEdit* SlideStrip::captionField(int index) const
{
    return index >= 0 && index < rows_.size() ? static_cast<SlideRow*>(rows_[index])->caption : nullptr;
}

QPushButton* SlideStrip::propertiesButton(int index) const
{
    return index >= 0 && index < rows_.size() ? static_cast<SlideRow*>(rows_[index])->properties : nullptr;
}

QLabel* SlideStrip::infoLabel(int index) const
{
    return index >= 0 && index < rows_.size() ? static_cast<SlideRow*>(rows_[index])->info : nullptr;
}

int SlideStrip::rowAt(const QPoint& point) const
{
    for (int i = 0; i < rows_.size(); ++i)
        if (point.y() <= rows_[i]->geometry().bottom())
            return i;
    return int(rows_.size());
}

void SlideStrip::mousePressEvent(QMouseEvent* event)
{
    const int row = rowAt(event->position().toPoint());
    owner_->select(row < rowCount() ? row : -1);
}

void SlideStrip::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(kSlideMime)) || event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void SlideStrip::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void SlideStrip::dropEvent(QDropEvent* event)
{
    const int at = rowAt(event->position().toPoint());
    const QMimeData* data = event->mimeData();
    if (data->hasFormat(QString::fromLatin1(kSlideMime))) {
        bool ok = false;
        const int from = data->data(QString::fromLatin1(kSlideMime)).toInt(&ok);
        event->acceptProposedAction();
        if (ok)
            owner_->moveSlide(from, std::min(at, rowCount() - 1));
        return;
    }
    QStringList paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    if (!paths.isEmpty())
        owner_->addFiles(paths, at);
}

void SlideStrip::showWindowMenu()
{
    QMenu menu(this);
    for (QMdiSubWindow* w : owner_->area_->subWindowList()) {
        auto* picture = qobject_cast<ImageWindow*>(w);
        if (!picture)
            continue;
        QAction* action = menu.addAction(picture->windowTitle());
        connect(action, &QAction::triggered, this, [this, picture = QPointer<ImageWindow>(picture)] {
            if (picture)
                owner_->addPicture(picture->record().image,
                                   owner_->selected_ >= 0 ? owner_->selected_ + 1 : -1);
        });
    }
    if (menu.isEmpty())
        menu.addAction(QStringLiteral("No open pictures"))->setEnabled(false);
    menu.exec(addWindow_->mapToGlobal(QPoint(0, addWindow_->height())));
}

// --- The window ---------------------------------------------------------------------------------

SlideShowWindow::Dialogs& SlideShowWindow::dialogs()
{
    static Dialogs d;
    return d;
}

SlideShowWindow* SlideShowWindow::current()
{
    return openWindow();
}

SlideShowWindow* SlideShowWindow::open(QMdiArea* area)
{
    if (SlideShowWindow* w = openWindow()) {
        if (w->isMinimized())
            w->showNormal();
        area->setActiveSubWindow(w);
        return w;
    }
    auto* w = new SlideShowWindow(area);
    area->addSubWindow(w);
    const QSize hint = w->sizeHint();
    const QSize client = area->viewport()->size();
    const int height = std::clamp(client.height() - 2 * kMargin, 260, 680);
    w->resize(hint.width(), height);
    w->move(std::max(0, (client.width() - w->width()) / 2), std::max(0, (client.height() - height) / 2));
    w->show();
    area->setActiveSubWindow(w);
    return w;
}

SlideShowWindow::SlideShowWindow(QMdiArea* area)
    : ChildWindow(kKind, -1), area_(area), show_(QDir::tempPath().toStdString())
{
    setWindowTitle(QStringLiteral("Slide Show"));
    openWindow() = this;

    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);

    const char* labels[kButtonCount] = {"Exit",        "Load ...",     "Save As ...",
                                        "Edit Slide",  "Delete Slide", "Print Summary"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < kButtonCount; ++i) {
        buttons_[i] = new QPushButton(QString::fromLatin1(labels[i]));
        buttons_[i]->setAutoDefault(false);
        grid->addWidget(buttons_[i], i / 3, i % 3);
        connect(buttons_[i], &QPushButton::clicked, this, [this, i] { press(Button(i)); });
    }
    layout->addLayout(grid);

    QStringList sizes, qualities, saveWith;
    for (int i = 0; i < mv::kSlideSizeCount; ++i)
        sizes << QString::fromLatin1(mv::slide_size(i).label);
    for (int i = 0; i < mv::kSlideQualityCount; ++i)
        qualities << QString::fromLatin1(mv::slide_quality_label(i));
    for (int i = 0; i < mv::kSaveWithCount; ++i)
        saveWith << QString::fromLatin1(mv::save_with_label(i));
    sizeList_ = new PopupList(QStringLiteral("Slide Size:"), sizes, show_.size_index);
    qualityList_ = new PopupList(QStringLiteral("Quality:"), qualities, show_.quality);
    saveWithList_ = new PopupList(QStringLiteral("Save with:"), saveWith, show_.save_with);
    duration_ = new IntegerField(QStringLiteral("Duration (sec):"), mv::kShowDurationMin,
                                 mv::kShowDurationMax, show_.duration);
    connect(sizeList_, &PopupList::popupChanged, this, [this](int i) {
        mv::slideshow_set_size_index(show_, i);
        showChanged();
    });
    connect(qualityList_, &PopupList::popupChanged, this, [this](int i) {
        mv::slideshow_set_quality(show_, i);
        showChanged();
    });
    connect(saveWithList_, &PopupList::popupChanged, this, [this](int i) {
        mv::slideshow_set_save_with(show_, i);
        showChanged();
    });
    connect(duration_, &IntegerField::integerChanged, this, [this](int seconds) {
        mv::slideshow_set_duration(show_, seconds);
        // Slides on the default duration show the new one.
        for (int i = 0; i < strip_->rowCount(); ++i)
            strip_->infoLabel(i)->setText(durationText(show_, show_.slides[std::size_t(i)]));
        showChanged();
    });
    auto* lists = new QGridLayout;
    lists->addWidget(sizeList_, 0, 0);
    lists->addWidget(qualityList_, 0, 1);
    lists->addWidget(saveWithList_, 1, 0);
    lists->addWidget(duration_, 1, 1);
    layout->addLayout(lists);

    total_ = new QLabel;
    layout->addWidget(total_);

    strip_ = new SlideStrip(this);
    stripArea_ = new QScrollArea;
    stripArea_->setWidget(strip_);
    stripArea_->setWidgetResizable(true);
    stripArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stripArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(stripArea_, 1);

    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    body->setFixedWidth(kContentWidth + 2 * kMargin + scrollBar);
    setWidget(body);
    slidesChanged();
}

SlideShowWindow::~SlideShowWindow()
{
    if (openWindow() == this)
        openWindow() = nullptr;
}

void SlideShowWindow::press(Button b)
{
    switch (b) {
    case kExit: close(); return;
    case kLoad: load(); return;
    case kSaveAs: saveAs(); return;
    case kEditSlide:
        if (selected_ >= 0)
            editSlide(selected_);
        return;
    case kDeleteSlide:
        if (selected_ >= 0)
            deleteSlide(selected_);
        return;
    case kPrintSummary: print_slide_summary(show_, this); return;
    case kButtonCount: return;
    }
}

QString SlideShowWindow::totalSizeText() const
{
    return fromStd(mv::format_text("Total size: %2fMB", mv::slideshow_total_megabytes(show_)));
}

void SlideShowWindow::showChanged()
{
    total_->setText(totalSizeText());
    setModified(show_.modified);
}

void SlideShowWindow::slidesChanged()
{
    const int count = int(show_.slides.size());
    if (selected_ >= count)
        selected_ = count - 1;
    strip_->rebuild();
    const bool any = selected_ >= 0;
    buttons_[kEditSlide]->setEnabled(any);
    buttons_[kDeleteSlide]->setEnabled(any);
    buttons_[kPrintSummary]->setEnabled(count > 0);
    duration_->setValue(show_.duration);
    showChanged();
}

void SlideShowWindow::select(int index)
{
    selected_ = index >= 0 && index < int(show_.slides.size()) ? index : -1;
    buttons_[kEditSlide]->setEnabled(selected_ >= 0);
    buttons_[kDeleteSlide]->setEnabled(selected_ >= 0);
    strip_->refreshSelection();
}

void SlideShowWindow::loadSlideFiles(int position)
{
    const QStringList paths = dialogs().slideFiles ? dialogs().slideFiles(this) : askSlideFiles(this);
    if (!paths.isEmpty())
        addFiles(paths, position);
}

int SlideShowWindow::addFiles(const QStringList& paths, int position)
{
    int result = 0;
    int at = position;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (const QString& path : paths) {
        const int code = mv::slideshow_add_file(show_, path.toStdString(), at);
        if (code != 0) {
            QApplication::restoreOverrideCursor();
            mv::slideshow_error_box(code);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            result = code;
            if (code == mv::kAborted || mv::slideshow_full(show_))
                break;
            continue;
        }
        if (at >= 0)
            ++at;
    }
    QApplication::restoreOverrideCursor();
    slidesChanged();
    return result;
}

int SlideShowWindow::addPicture(const mv::Image& picture, int position)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int code = mv::slideshow_add_picture(show_, picture, position);
    QApplication::restoreOverrideCursor();
    mv::slideshow_error_box(code);
    slidesChanged();
    return code;
}

void SlideShowWindow::deleteSlide(int index)
{
    if (index < 0 || index >= int(show_.slides.size()))
        return;
    mv::slideshow_remove(show_, index);
    slidesChanged();
}

void SlideShowWindow::moveSlide(int from, int to)
{
    const int count = int(show_.slides.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    mv::slideshow_move(show_, from, to);
    selected_ = to;
    slidesChanged();
}

void SlideShowWindow::setCaption(int index, const QString& caption)
{
    if (index < 0 || index >= int(show_.slides.size()))
        return;
    mv::slideshow_set_caption(show_, index, caption.toStdString());
    showChanged();
}

void SlideShowWindow::editSlide(int index)
{
    if (index < 0 || index >= int(show_.slides.size()))
        return;
    SlideAnnotationWindow dialog(show_, index, this);
    dialog.exec();
    // The sound buttons act even when the texts are cancelled: show the slide as it is now.
    const int keep = selected_;
    slidesChanged();
    select(keep);
}

int SlideShowWindow::saveAs()
{
    for (;;) {
        const std::optional<SaveChoice> choice =
            dialogs().saveShow ? dialogs().saveShow(this) : askSaveShow(this);
        if (!choice)
            return mv::kAborted;
        std::string message;
        const std::string path = choice->path.toStdString();
        const bool ok = choice->avi ? mv::avi_path_ok(path, message) : mv::slideshow_path_ok(path, message);
        if (!ok) {
            mv::error_message("%s", message);
            continue; // the dialog again
        }
        return saveTo(choice->path, choice->avi);
    }
}

int SlideShowWindow::saveTo(const QString& path, bool avi)
{
    const int code = avi ? exportAvi(path) : saveShow(path);
    mv::slideshow_error_box(code);
    showChanged();
    return code;
}

int SlideShowWindow::saveShow(const QString& path)
{
    QTemporaryDir staging;
    QString viewerFolder;
    if (show_.save_with != mv::kSaveNoViewer) {
        QString error;
        if (!staging.isValid() || !stage_viewer_files(staging.path(), error)) {
            mv::error_message("%s", (error.isEmpty() ? QStringLiteral("Cannot prepare the viewer files") : error)
                                        .toStdString());
            return mv::kSlideShowShown;
        }
        viewerFolder = staging.path();
    }
    const int code = mv::slideshow_save(show_, path.toStdString(), viewerFolder.toStdString());
    if (code == 0 && show_.save_with != mv::kSaveNoViewer) {
        QStringList names;
        for (const std::string& name : mv::viewer_file_names(show_.save_with))
            names << fromStd(name);
        make_viewer_files_executable(QFileInfo(path).absolutePath(), names);
    }
    return code;
}

int SlideShowWindow::exportAvi(const QString& path)
{
    const std::optional<std::string> compressor =
        dialogs().compressor ? dialogs().compressor(this) : askCompressor(this);
    if (!compressor)
        return mv::kAborted;
    return mv::slideshow_save_avi(show_, path.toStdString(), *compressor);
}

int SlideShowWindow::load()
{
    const std::optional<QString> path = dialogs().loadShow ? dialogs().loadShow(this) : askLoadShow(this);
    if (!path)
        return mv::kAborted;
    return loadFrom(*path);
}

int SlideShowWindow::loadFrom(const QString& path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int code = mv::slideshow_load(show_, path.toStdString());
    QApplication::restoreOverrideCursor();
    mv::slideshow_error_box(code);
    if (code != mv::kAborted) {
        selected_ = -1;
        slidesChanged();
    }
    return code;
}

bool SlideShowWindow::mayClose()
{
    if (!show_.modified)
        return true;
    if (isMinimized())
        showNormal();
    area_->setActiveSubWindow(this);
    switch (mv::message_dialog("Warning", "Save modified slide show?", mv::kButtonsYesNoCancel)) {
    case mv::kResultYes: return saveAs() == 0;
    case mv::kResultNo: return true;
    default: return false;
    }
}

void SlideShowWindow::closeEvent(QCloseEvent* event)
{
    if (!asked_ && !mayClose()) {
        event->ignore();
        return;
    }
    asked_ = true;
    event->accept();
    ChildWindow::closeEvent(event);
}

// --- The frame's side ----------------------------------------------------------------------------

namespace {

// Asks about the open slide show before the frame runs its own close questions.
class FrameCloseFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close)
            return false;
        SlideShowWindow* show = SlideShowWindow::current();
        if (show && !show->mayClose()) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void install_slide_show_menu(FrameWindow& frame)
{
    frame.setCommandHandler(mv::kCmdSlideShow, [&frame] { SlideShowWindow::open(frame.workspace()); });
    frame.setCommandHandler(mv::kCmdCloseAll, [&frame] {
        SlideShowWindow* show = SlideShowWindow::current();
        if (!show || show->mayClose())
            frame.closeAll();
    });
    frame.installEventFilter(new FrameCloseFilter(&frame));
}
