// The Slide Show window: the slide show being assembled (slides with their thumbnails,
// captions, descriptions, sounds and durations), its settings ("Slide Size:", "Quality:",
// "Save with:", "Duration (sec):") and total size, a scrolling strip of the slides, and the
// buttons that load, save (as a show with its viewer, or as an AVI video), edit, delete and
// print. One is open at a time; closing a modified show asks to save it first.
#pragma once

#include "shell/child_window.h"
#include "slideshow/slide_show.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <string>

class FrameWindow;
class IntegerField;
class PopupList;
class QLabel;
class QLineEdit;
class QMdiArea;
class QPushButton;
class QScrollArea;
class SlideStrip;

// Hands the Slide Show command to the frame and makes the frame's close and Close All ask
// about a modified show first.
void install_slide_show_menu(FrameWindow& frame);

class SlideShowWindow : public ChildWindow {
    Q_OBJECT
public:
    enum { kKind = 15 };
    enum Button { kExit, kLoad, kSaveAs, kEditSlide, kDeleteSlide, kPrintSummary, kButtonCount };

    // The dialogs the window asks through; each can be replaced (tests answer them).
    struct SaveChoice {
        QString path;
        bool avi = false; // the video type was chosen
    };
    struct Dialogs {
        std::function<QStringList(QWidget*)> slideFiles;            // "Load Slide"
        std::function<std::optional<QString>(QWidget*)> loadShow;   // "Load Slide Show"
        std::function<std::optional<SaveChoice>(QWidget*)> saveShow; // "Save Slide Show"
        std::function<std::optional<std::string>(QWidget*)> compressor; // AVI compressor
    };
    static Dialogs& dialogs();

    // Opens the window centred in `area` (or activates the open one).
    static SlideShowWindow* open(QMdiArea* area);
    static SlideShowWindow* current();
    ~SlideShowWindow() override;

    mv::SlideShow& show() { return show_; }
    const mv::SlideShow& show() const { return show_; }

    // Adds picture files (in order, stopping at "Too many slides") before `position`
    // (-1: at the end). Returns the first failure, already shown.
    int addFiles(const QStringList& paths, int position = -1);
    // Adds a copy of an open picture as a slide.
    int addPicture(const mv::Image& picture, int position = -1);
    void deleteSlide(int index);
    void moveSlide(int from, int to);
    void setCaption(int index, const QString& caption);
    // Opens the Slide Annotation window of a slide (modal).
    void editSlide(int index);

    // Save As: the dialog until a valid name or Cancel, then the save or the export.
    int saveAs();
    // Saves to `path`: a show with its viewer files for ".ss", an AVI video for ".avi".
    int saveTo(const QString& path, bool avi);
    // Load: the dialog, then loadFrom.
    int load();
    int loadFrom(const QString& path);

    // Asks "Save modified slide show?" when the show is modified; false when it stays open.
    bool mayClose();

    int selected() const { return selected_; }
    void select(int index);
    QString totalSizeText() const;

    QPushButton* button(Button b) const { return buttons_[b]; }
    PopupList* sizeList() const { return sizeList_; }
    PopupList* qualityList() const { return qualityList_; }
    PopupList* saveWithList() const { return saveWithList_; }
    IntegerField* durationField() const { return duration_; }
    QLabel* totalLabel() const { return total_; }
    SlideStrip* strip() const { return strip_; }
    QScrollArea* stripArea() const { return stripArea_; }

    // The strip's rows and the show changed: redraw, recount, update the modified flag.
    void slidesChanged();
    // A setting or text changed: recount and update the modified flag.
    void showChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    explicit SlideShowWindow(QMdiArea* area);
    void press(Button b);
    int saveShow(const QString& path);
    int exportAvi(const QString& path);
    void loadSlideFiles(int position);

    QMdiArea* area_;
    mv::SlideShow show_;
    int selected_ = -1;
    bool asked_ = false; // the close question was answered
    QPushButton* buttons_[kButtonCount];
    PopupList* sizeList_;
    PopupList* qualityList_;
    PopupList* saveWithList_;
    IntegerField* duration_;
    QLabel* total_;
    QScrollArea* stripArea_;
    SlideStrip* strip_;
    friend class SlideStrip;
};

// The scrolling strip: one row per slide (number, thumbnail, "Caption:", the duration and
// sound, "Properties ..."), a row at the end for adding slides. A click selects a slide; a
// thumbnail dragged onto another row moves the slide there; picture files dropped on the
// strip become slides.
class SlideStrip : public QWidget {
    Q_OBJECT
public:
    explicit SlideStrip(SlideShowWindow* owner);
    void rebuild();
    void refreshSelection();
    int rowCount() const;
    QLineEdit* captionField(int index) const;
    QPushButton* propertiesButton(int index) const;
    QLabel* infoLabel(int index) const;
    QPushButton* loadSlideButton() const { return loadSlide_; }
    QPushButton* addWindowButton() const { return addWindow_; }
    // The slide index of the row under a point of the strip (count: the end).
    int rowAt(const QPoint& point) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void showWindowMenu();
    SlideShowWindow* owner_;
    QList<QWidget*> rows_;
    QWidget* addRow_;
    QPushButton* loadSlide_;
    QPushButton* addWindow_;
};
