#include "app_test_support.h"
#include "core/image.h"
#include "formats/file_associations_dialog.h"
#include "formats/file_dialogs.h"
#include "formats/file_types.h"
#include "formats/jpeg_save_dialog.h"
#include "formats/photocd_size_dialog.h"
#include "formats/save_commands.h"
#include "settings/preferences.h"
#include "shell/cascade.h"
#include "shell/child_window.h"
#include "shell/child_window.h"
#include "shell/frame_window.h"
#include "transform/use_registry.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/window_grid_dialog.h"
#include "shell/window_info_dialog.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "shell/zoom_factor_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <deque>
#include <functional>

namespace {

const QString kSamples = QStringLiteral(MORVANE_SAMPLES_DIR);

// Answers the questions in turn and records them.
class ScriptedSink final : public mv::MessageSink {
public:
    explicit ScriptedSink(std::deque<int> answers = {}) : answers_(std::move(answers)), previous_(mv::set_message_sink(this)) {}
    ~ScriptedSink() override { mv::set_message_sink(previous_); }
    int show(std::string_view title, std::string_view text, int buttons) override
    {
        messages.push_back({std::string(title), std::string(text), buttons});
        if (answers_.empty())
            return mv::kResultOk;
        const int a = answers_.front();
        answers_.pop_front();
        return a;
    }
    void answer(std::deque<int> answers) { answers_ = std::move(answers); }
    std::vector<RecordedMessage> messages;

private:
    std::deque<int> answers_;
    mv::MessageSink* previous_;
};

// Runs `action` on the next modal dialog once it is shown.
template <class Dialog>
void onNextDialog(std::function<void(Dialog*)> action)
{
    QTimer::singleShot(0, [action] {
        auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        action(d);
    });
}

bool samePixels(const mv::Image& a, const mv::Image& b)
{
    if (a.type != b.type || a.width != b.width || a.height != b.height)
        return false;
    // Only the pixels: the padding at the end of a row is whatever the allocation held.
    const size_t bytes = a.type == mv::IMAGE_BINARY ? size_t(a.width + 7) / 8
                                                    : size_t(a.width) * size_t(mv::image_pixel_bytes(a.type));
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.row(y), b.row(y), bytes) != 0)
            return false;
    return true;
}

// A window with cancel and default actions, as transformation windows have.
class ActionWindow : public ChildWindow {
    Q_OBJECT
public:
    ActionWindow() : ChildWindow(3, -1), edit(new QLineEdit(this)) { setWidget(edit); }
    QLineEdit* edit;
    int cancels = 0, defaults = 0;
public slots:
    void cancelAction() { ++cancels; }
    void defaultAction() { ++defaults; }
};

} // namespace

class FileDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCOMPARE(mv::engine_startup(), 0);
        QVERIFY(temp_.isValid());
    }

    void cleanup()
    {
        file_dialogs::setOpenAsker({});
        file_dialogs::setSaveAsker({});
        save_commands::setJpegAsker({});
        save_commands::resetSaveState();
        mv::preferences().confirm = true;
    }

    void windowInfoZoomFactorAndGrid()
    {
        FrameWindow frame;
        frame.resize(1100, 750);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QString path = kSamples + "/chelsea.png";
        QCOMPARE(frame.openPath(path), 0);
        ImageWindow* w = frame.activeImageWindow();
        QVERIFY(w);
        mv::WindowRecord& r = w->record();

        {
            WindowInfoDialog info(&frame, &r);
            QCOMPARE(info.field("type"), QString::fromLatin1(mv::image_type_name(mv::IMAGE_COLOR)));
            QCOMPARE(info.field("pixels"), QStringLiteral("%1 x %2 pixels").arg(r.image.width).arg(r.image.height));
            QCOMPARE(info.field("bytes").endsWith(" bytes"), true);
            QCOMPARE(info.field("path"), QString::fromStdString(mv::window_info_path(path.toStdString())));
            QCOMPARE(info.field("format"), QStringLiteral("PNG"));
            QVERIFY(info.field("date") != QStringLiteral("N/A"));
            QVERIFY(info.field("dpi").endsWith(" dpi"));
            info.show();
            QVERIFY(QTest::qWaitForWindowExposed(&info));
            save_screenshot(&info, "window_info");
        }
        {
            WindowInfoDialog none(&frame, nullptr);
            for (const char* f : {"type", "bytes", "pixels", "inches", "dpi", "path", "format", "date"})
                QCOMPARE(none.field(f), QStringLiteral("N/A"));
        }
        // The menu command shows the dialog for the active window.
        onNextDialog<WindowInfoDialog>([](WindowInfoDialog* d) {
            QCOMPARE(d->field("format"), QStringLiteral("PNG"));
            d->accept();
        });
        frame.runCommand(3001);

        // Zoom Factor: Reduction 3 gives 1:3.
        QCOMPARE(ZoomFactorDialog::zoomFromEntry("3", true), -3);
        QCOMPARE(ZoomFactorDialog::zoomFromEntry("1", true), 1);
        QCOMPARE(ZoomFactorDialog::zoomFromEntry("4", false), 4);
        QCOMPARE(ZoomFactorDialog::zoomFromEntry("0", false), 0);
        QCOMPARE(ZoomFactorDialog::zoomFromEntry("2x", true), 0);
        onNextDialog<ZoomFactorDialog>([&r](ZoomFactorDialog* d) {
            QCOMPARE(d->factorEdit()->text(), QString::number(std::abs(r.zoom)));
            QCOMPARE(d->magnification()->isChecked(), r.zoom >= 1);
            d->factorEdit()->setText("3");
            d->reduction()->setChecked(true);
            d->accept();
        });
        frame.runCommand(3008);
        QCOMPARE(r.zoom, -3);
        QVERIFY(w->windowTitle().endsWith(" (1:3)"));
        // The dialog starts from the current zoom; an invalid entry changes nothing.
        onNextDialog<ZoomFactorDialog>([](ZoomFactorDialog* d) {
            QCOMPARE(d->factorEdit()->text(), QStringLiteral("3"));
            QVERIFY(d->reduction()->isChecked());
            d->factorEdit()->setText("0");
            d->accept();
        });
        frame.runCommand(3008);
        QCOMPARE(r.zoom, -3);

        // Window Grid: 0 and 100 beep and keep the previous grid; Cancel restores.
        QCOMPARE(r.grid_divisions, 1);
        int beeps = 0;
        onNextDialog<WindowGridDialog>([&](WindowGridDialog* d) {
            connect(d, &WindowGridDialog::beeped, [&] { ++beeps; });
            QLineEdit* edit = d->divisionsEdit();
            edit->selectAll();
            QTest::keyClicks(edit, "7");
            QCOMPARE(r.grid_divisions, 7);
            edit->selectAll();
            QTest::keyClicks(edit, "0");
            QCOMPARE(beeps, 1);
            QCOMPARE(r.grid_divisions, 7);
            edit->selectAll();
            QTest::keyClicks(edit, "100");
            QCOMPARE(beeps, 2);
            QCOMPARE(r.grid_divisions, 10);
            save_screenshot(d, "window_grid");
            d->upButton()->click();
            QCOMPARE(r.grid_divisions, 11);
            QCOMPARE(edit->text(), QStringLiteral("11"));
            d->reject();
        });
        frame.runCommand(3002);
        QCOMPARE(beeps, 2);
        QCOMPARE(r.grid_divisions, 1);
        onNextDialog<WindowGridDialog>([&](WindowGridDialog* d) {
            d->divisionsEdit()->selectAll();
            QTest::keyClicks(d->divisionsEdit(), "4");
            d->accept();
        });
        frame.runCommand(3002);
        QCOMPARE(r.grid_divisions, 4);
    }

    void saveAsChecksTheNameAndRoundTrips()
    {
        ScriptedSink sink;
        FrameWindow frame;
        frame.resize(1100, 750);
        frame.show();
        QCOMPARE(frame.openPath(kSamples + "/chelsea.png"), 0);
        ImageWindow* w = frame.activeImageWindow();
        w->setModified(true);
        const QString dir = temp_.path();

        // A wrong extension: the message, then the dialog again with the user's entry.
        std::vector<file_dialogs::SaveRequest> requests;
        std::deque<file_dialogs::SaveChoice> answers = {{dir + "/photo.jpg", mv::SAVE_TIFF},
                                                        {dir + "/photo", mv::SAVE_TIFF}};
        file_dialogs::setSaveAsker([&](QWidget*, const file_dialogs::SaveRequest& req)
                                       -> std::optional<file_dialogs::SaveChoice> {
            requests.push_back(req);
            if (answers.empty())
                return std::nullopt;
            auto a = answers.front();
            answers.pop_front();
            return a;
        });
        frame.runCommand(1005);
        QCOMPARE(requests.size(), size_t(2));
        QCOMPARE(requests[0].filter, int(mv::SAVE_PNG));
        QCOMPARE(requests[0].name, kSamples + "/chelsea.png");
        QVERIFY(std::find(requests[0].filters.begin(), requests[0].filters.end(), int(mv::SAVE_FLASHPIX)) ==
                requests[0].filters.end());
        QCOMPARE(requests[1].name, dir + "/photo.jpg");
        QCOMPARE(requests[1].filter, int(mv::SAVE_TIFF));
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].title, std::string("Error"));
        QCOMPARE(sink.messages[0].text, std::string("TIFF files must have an extension of .tif or .tiff"));

        // Saved as photo.tif: the window now names that file, and is no longer modified.
        const QString saved = dir + "/photo.tif";
        QCOMPARE(QString::fromStdString(w->record().path), saved);
        QCOMPARE(w->record().file_type, int(mv::FILE_TIFF));
        QVERIFY(!w->isModified());
        QVERIFY(w->windowTitle().startsWith(saved + " ("));

        // Reopening shows the same pixels. The first window has the path: the question comes.
        sink.answer({mv::kResultYes});
        QCOMPARE(frame.openPath(saved), 0);
        QCOMPARE(frame.imageWindows().size(), 1);
        ImageWindow* again = frame.activeImageWindow();
        mv::Image original;
        QCOMPARE(mv::format_open(mv::FILE_PNG, (kSamples + "/chelsea.png").toStdString(), original, false), 0);
        QVERIFY(samePixels(again->record().image, original));

        // Another window holds the name: No brings the dialog back; cancelling ends with 11.
        QCOMPARE(frame.openPath(kSamples + "/coffee.png"), 0);
        ImageWindow* coffee = frame.activeImageWindow();
        sink.messages.clear();
        sink.answer({mv::kResultNo});
        requests.clear();
        answers = {{saved, mv::SAVE_TIFF}};
        QCOMPARE(save_commands::fileSaveAs(coffee), int(mv::kAborted));
        QCOMPARE(requests.size(), size_t(2));
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].title, std::string("Warning"));
        QCOMPARE(sink.messages[0].text,
                 std::string("A file of this name is currently open.\nClose its window and replace the existing file?"));
        QCOMPARE(frame.imageWindows().size(), 2);
        // A window's own type comes first; without one, the last filter used.
        QCOMPARE(requests[0].filter, int(mv::SAVE_PNG));
        QCOMPARE(save_commands::preselectedFilter(mv::IMAGE_COLOR, mv::FILE_NONE), int(mv::SAVE_TIFF));

        // A modified holder whose own question is cancelled is in use.
        again->setModified(true);
        sink.messages.clear();
        sink.answer({mv::kResultCancel});
        answers = {{saved, mv::SAVE_TIFF}};
        QCOMPARE(save_commands::fileSaveAs(coffee), int(mv::kAborted));
        QCOMPARE(sink.messages.size(), size_t(2));
        QCOMPARE(sink.messages[0].text, "Save Modified Image: " + again->windowTitle().toStdString() + "?");
        QCOMPARE(sink.messages[1].text, std::string("A file of this name is currently open and in use"));
        again->setModified(false);

        // An existing file no window shows: "Replace existing file: %s?".
        delete again;
        sink.messages.clear();
        sink.answer({mv::kResultNo});
        answers = {{saved, mv::SAVE_TIFF}};
        QCOMPARE(save_commands::fileSaveAs(coffee), int(mv::kAborted));
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, "Replace existing file: " + saved.toStdString() + "?");

        // JPEG: the dialog's choices are used and the statistics box follows.
        sink.messages.clear();
        save_commands::setJpegAsker([](QWidget*, bool colour, mv::SaveOptions& o) {
            o.jpeg_quality = 75;
            o.jpeg_sampling = colour ? mv::kSampling422 : mv::kSampling444;
            return true;
        });
        answers = {{dir + "/coffee", mv::SAVE_JPEG}};
        QCOMPARE(save_commands::fileSaveAs(coffee), 0);
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].title, std::string("JPEG File Save Statistics"));
        QVERIFY(QString::fromStdString(sink.messages[0].text)
                    .startsWith("File name\n  " + dir + "/coffee.jpg\n\nQuality\n  75\n\nImage size\n  "));
        QCOMPARE(coffee->record().file_type, int(mv::FILE_JPEG));
        // Save writes the same file again without asking for a name.
        requests.clear();
        coffee->setModified(true);
        frame.runCommand(1004);
        QVERIFY(requests.empty());
        QVERIFY(!coffee->isModified());
    }

    void jpegRefusesOtherTypesBeforeItsDialog()
    {
        ScriptedSink sink;
        FrameWindow frame;
        frame.show();
        QCOMPARE(frame.openPath(kSamples + "/chelsea.png"), 0);
        ImageWindow* w = frame.activeImageWindow();
        QCOMPARE(mv::image_alloc(w->record().image, mv::IMAGE_BINARY, 16, 8, 100.0), 0);
        w->pictureChanged();
        bool asked = false;
        save_commands::setJpegAsker([&](QWidget*, bool, mv::SaveOptions&) { asked = true; return true; });
        file_dialogs::setSaveAsker([this](QWidget*, const file_dialogs::SaveRequest&) {
            return std::optional<file_dialogs::SaveChoice>({temp_.path() + "/binary.jpg", mv::SAVE_JPEG});
        });
        QCOMPARE(save_commands::fileSaveAs(w), 24);
        QVERIFY(!asked);
        QVERIFY(!QFile::exists(temp_.path() + "/binary.jpg"));
    }

    void sixteenBitPicturesOfferTiffAndFits()
    {
        ScriptedSink sink;
        FrameWindow frame;
        frame.show();
        QCOMPARE(frame.openPath(kSamples + "/simple.fits"), 0);
        ImageWindow* w = frame.activeImageWindow();
        QCOMPARE(w->record().image.type, int(mv::IMAGE_GRAY16));
        std::vector<file_dialogs::SaveRequest> requests;
        file_dialogs::setSaveAsker([&](QWidget*, const file_dialogs::SaveRequest& req)
                                       -> std::optional<file_dialogs::SaveChoice> {
            requests.push_back(req);
            return file_dialogs::SaveChoice{temp_.path() + "/deep", mv::SAVE_FITS};
        });
        QCOMPARE(save_commands::fileSaveAs(w), 0);
        QCOMPARE(requests[0].filters, (std::vector<int>{mv::SAVE_TIFF, mv::SAVE_FITS}));
        QCOMPARE(requests[0].filter, int(mv::SAVE_TIFF));
        QCOMPARE(requests[0].name, kSamples + "/simple.tif");
        QCOMPARE(QString::fromStdString(w->record().path), temp_.path() + "/deep.fit");
        mv::Image back;
        QCOMPARE(mv::format_open(mv::FILE_FITS, w->record().path, back, false), 0);
        QVERIFY(samePixels(back, w->record().image));

        // Revert reads the file again and clears the mark.
        w->record().image.row(0)[0] ^= 0xff;
        w->setModified(true);
        QCOMPARE(save_commands::fileRevert(w), 0);
        QVERIFY(samePixels(back, w->record().image));
        QVERIFY(!w->isModified());
    }

    void realDialogsTitlesFiltersAndExtensionFollowingTheFilter()
    {
        mv::preferences().startup_directory = temp_.path().toStdString();
        file_dialogs::resetDialogState();
        QCOMPARE(file_dialogs::startDirectory(), temp_.path());
        QCOMPARE(file_dialogs::openFilters().size(), 12);
        QCOMPARE(file_dialogs::openFilters().first(), QStringLiteral("All Files (*)"));
        QCOMPARE(file_dialogs::openFilters()[1], QStringLiteral("TIFF (*.tif *.tiff)"));

        QWidget parent;
        onNextDialog<QFileDialog>([&](QFileDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("File Open"));
            QCOMPARE(d->directory().absolutePath(), QDir(temp_.path()).absolutePath());
            QCOMPARE(d->fileMode(), QFileDialog::ExistingFiles);
            // The name field shows the filter's pattern and follows a new filter.
            auto* edit = d->findChild<QLineEdit*>("fileNameEdit");
            auto* types = d->findChild<QComboBox*>("fileTypeCombo");
            QVERIFY(edit && types);
            QCOMPARE(edit->text(), file_dialogs::openPattern(types->currentIndex() + 1));
            types->setCurrentIndex(1);
            emit types->textActivated(types->itemText(1));
            QCOMPARE(edit->text(), QStringLiteral("*.tif;*.tiff"));
            d->setDirectory(kSamples);
            d->reject();
        });
        QVERIFY(!file_dialogs::askOpenFiles(&parent));
        // Later dialogs start where the last one ended.
        QCOMPARE(QDir(file_dialogs::startDirectory()).absolutePath(), QDir(kSamples).absolutePath());

        file_dialogs::SaveRequest request{{mv::SAVE_TIFF, mv::SAVE_JPEG, mv::SAVE_FITS}, mv::SAVE_TIFF,
                                          temp_.path() + "/photo.tif"};
        onNextDialog<QFileDialog>([&](QFileDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("File Save"));
            QCOMPARE(d->selectedNameFilter(), QStringLiteral("TIFF (*.tif *.tiff)"));
            auto* edit = d->findChild<QLineEdit*>("fileNameEdit");
            auto* types = d->findChild<QComboBox*>("fileTypeCombo");
            QVERIFY(edit && types);
            QCOMPARE(edit->text(), QStringLiteral("photo.tif"));
            types->setCurrentIndex(1);
            emit types->activated(1);
            QCOMPARE(edit->text(), QStringLiteral("photo.jpg"));
            QMetaObject::invokeMethod(d, "accept");
        });
        const auto choice = file_dialogs::askSaveFile(&parent, request);
        QVERIFY(choice);
        QCOMPARE(choice->filter, int(mv::SAVE_JPEG));
        QCOMPARE(choice->path, temp_.path() + "/photo.jpg");
        mv::preferences().startup_directory.clear();
    }

    void openDialogChoicesOpenEveryFile()
    {
        ScriptedSink sink;
        FrameWindow frame;
        frame.show();
        std::deque<file_dialogs::OpenChoice> answers = {
            {{kSamples + "/chelsea.png", kSamples + "/no-such.png", kSamples + "/coffee.png"}, 1},
            {{kSamples + "/rocket.jpg"}, mv::FILE_JPEG}};
        file_dialogs::setOpenAsker([&](QWidget*) -> std::optional<file_dialogs::OpenChoice> {
            if (answers.empty())
                return std::nullopt;
            auto a = answers.front();
            answers.pop_front();
            return a;
        });
        // A missing file is reported and the loop goes on (it is not a failure).
        QCOMPARE(frame.openWithDialog(), 0);
        QCOMPARE(frame.imageWindows().size(), 2);
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, "File does not exist: " + (kSamples + "/no-such.png").toStdString());
        QCOMPARE(frame.openWithDialog(), 0);
        QCOMPARE(frame.activeImageWindow()->record().file_type, int(mv::FILE_JPEG));
        QCOMPARE(frame.openWithDialog(), 0); // cancelled
        QCOMPARE(frame.imageWindows().size(), 3);

        // Cancelling the Photo CD size brings File Open back.
        const QString pcd = temp_.path() + "/disc.pcd";
        {
            QFile f(pcd);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not really a picture");
        }
        int sizeQuestions = 0;
        save_commands::setPhotoCdAsker([&](QWidget*) { ++sizeQuestions; return 0; });
        answers = {{{pcd}, mv::FILE_PHOTOCD}};
        int dialogs = 0;
        file_dialogs::setOpenAsker([&](QWidget*) -> std::optional<file_dialogs::OpenChoice> {
            ++dialogs;
            if (answers.empty())
                return std::nullopt;
            auto a = answers.front();
            answers.pop_front();
            return a;
        });
        QCOMPARE(frame.openWithDialog(), 0);
        QCOMPARE(sizeQuestions, 1);
        QCOMPARE(dialogs, 2);
        QCOMPARE(frame.imageWindows().size(), 3);
        save_commands::setPhotoCdAsker({});
        PhotoCdSizeDialog sizes(nullptr);
        QCOMPARE(sizes.windowTitle(), QStringLiteral("PhotoCD Image Size"));
        QCOMPARE(sizes.sizes()->count(), 3);
        QCOMPARE(sizes.sizes()->item(2)->text(), QStringLiteral("2048x3072"));
        sizes.sizes()->setCurrentRow(0);
        QCOMPARE(sizes.resolution(), 2);

        // Cascade places the windows where the arithmetic says, the active one last.
        frame.runCommand(3016);
        const mv::CascadeMetrics m = workspaceCascadeMetrics(frame.workspace());
        const std::vector<mv::CascadePoint> at = mv::cascade_positions(3, m);
        QCOMPARE(frame.activeImageWindow()->pos(), QPoint(at[0].x, at[0].y));
        QList<QMdiSubWindow*> order = frame.workspace()->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(order.first()->pos(), QPoint(at[2].x, at[2].y));
    }

    void closingModifiedWindowsAsks()
    {
        ScriptedSink sink;
        FrameWindow frame;
        frame.show();
        QCOMPARE(frame.openPath(kSamples + "/coffee.png"), 0);
        QCOMPARE(frame.openPath(kSamples + "/chelsea.png"), 0);
        ImageWindow* w = frame.activeImageWindow();
        w->setModified(true);

        // Cancel keeps the window.
        sink.answer({mv::kResultCancel});
        QVERIFY(!w->close());
        QCOMPARE(frame.imageWindows().size(), 2);
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].title, std::string("Warning"));
        QCOMPARE(sink.messages[0].text, "Save Modified Image: " + w->windowTitle().toStdString() + "?");
        QCOMPARE(sink.messages[0].buttons, int(mv::kButtonsYesNoCancel));

        // In use: refused with its message, without the question.
        static const int blurWindow = 0;
        mv::use_add(app_use_list(), &blurWindow, static_cast<ChildWindow*>(w), "Blur", true);
        sink.messages.clear();
        QVERIFY(!w->close());
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, std::string("Window in use by Blur - Cannot close"));
        mv::use_forget(app_use_list(), &blurWindow);

        // Exit: Cancel keeps the program running; No lets everything close.
        sink.messages.clear();
        sink.answer({mv::kResultCancel});
        QVERIFY(!frame.close());
        QCOMPARE(frame.imageWindows().size(), 2);
        QCOMPARE(sink.messages.size(), size_t(1));
        // Close All with confirm off asks nothing.
        mv::preferences().confirm = false;
        sink.messages.clear();
        QVERIFY(frame.closeAll());
        QVERIFY(sink.messages.empty());
        QCOMPARE(frame.imageWindows().size(), 0);

        mv::preferences().confirm = true;
        QCOMPARE(frame.openPath(kSamples + "/coffee.png"), 0);
        frame.activeImageWindow()->setModified(true);
        sink.answer({mv::kResultNo});
        QVERIFY(frame.close());
        QCOMPARE(frame.imageWindows().size(), 0);
    }

    void escapeAndEnterReachTheActiveWindow()
    {
        FrameWindow frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        auto* w = new ActionWindow;
        frame.workspace()->addSubWindow(w);
        w->show();
        frame.workspace()->setActiveSubWindow(w);
        w->edit->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), w->edit);
        QTest::keyClick(w->edit, Qt::Key_Escape);
        QTest::keyClick(w->edit, Qt::Key_Return);
        QCOMPARE(w->cancels, 1);
        QCOMPARE(w->defaults, 1);
        frame.setEnterForwarding(false);
        QTest::keyClick(w->edit, Qt::Key_Return);
        QCOMPARE(w->defaults, 1);
        // Image windows have no such actions: their keys go on as usual.
        QCOMPARE(frame.openPath(kSamples + "/coffee.png"), 0);
        frame.setEnterForwarding(true);
        QTest::keyClick(frame.activeImageWindow()->canvas(), Qt::Key_Escape);
        QCOMPARE(w->cancels, 1);
    }

    void jpegDialogQualityAndSampling()
    {
        mv::program_state().jpeg_quality = 97;
        mv::program_state().jpeg_sampling = 0;
        JpegSaveDialog colour(nullptr, true);
        QCOMPARE(colour.windowTitle(), QStringLiteral("File Save (JPEG)"));
        QCOMPARE(colour.slider()->maximum(), 1024);
        QCOMPARE(colour.qualityLabel()->text(), QStringLiteral("Quality: 97"));
        colour.slider()->setValue(512);
        QCOMPARE(colour.qualityLabel()->text(), QStringLiteral("Quality: 50"));
        QVERIFY(colour.samplingList());
        QCOMPARE(colour.samplingList()->count(), 3);
        QCOMPARE(colour.samplingList()->itemText(2), QStringLiteral("4:1:1"));
        for (int q = 0; q <= 100; ++q)
            QCOMPARE(JpegSaveDialog::qualityOf(JpegSaveDialog::positionOf(q)), q);
        colour.show();
        QVERIFY(QTest::qWaitForWindowExposed(&colour));
        save_screenshot(&colour, "jpeg_save_dialog");
        JpegSaveDialog gray(nullptr, false);
        QVERIFY(!gray.samplingList());

        // OK remembers the choice for the next save.
        mv::SaveOptions options;
        onNextDialog<JpegSaveDialog>([](JpegSaveDialog* d) {
            d->slider()->setValue(JpegSaveDialog::positionOf(75));
            d->samplingList()->setCurrentIndex(1);
            d->accept();
        });
        QVERIFY(JpegSaveDialog::ask(nullptr, true, options));
        QCOMPARE(options.jpeg_quality, 75);
        QCOMPARE(options.jpeg_sampling, int(mv::kSampling422));
        QCOMPARE(mv::program_state().jpeg_quality, 75);
        QCOMPARE(mv::program_state().jpeg_sampling, 1);
    }

    void fileAssociationsWriteAndRemoveEntries()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
        qputenv("XDG_DATA_DIRS", (home.path() + "/system").toLocal8Bit());
        QVERIFY(associations::installedDesktopEntry().isEmpty());
        const QString list = associations::mimeAppsPath();
        QCOMPARE(list, home.path() + "/config/mimeapps.list");
        QDir().mkpath(home.path() + "/config");
        {
            QFile f(list);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Default Applications]\ntext/plain=editor.desktop;\n\n[Added Associations]\nimage/png=viewer.desktop;\n");
        }
        const auto read = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        FileAssociationsDialog dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        save_screenshot(&dialog, "file_associations");
        QCOMPARE(dialog.box(10)->text(), QStringLiteral("TIFF (.tif, .tiff)"));
        dialog.box(10)->setChecked(true);
        dialog.box(7)->setChecked(true);
        dialog.addChecked();
        const QString entry = read(associations::desktopEntryPath());
        QVERIFY(entry.contains("MimeType=image/png;image/tiff;"));
        QVERIFY(entry.contains("Icon=morvane\n"));
        QVERIFY(entry.contains("Exec=\""));
        QString apps = read(list);
        QVERIFY(apps.contains("text/plain=editor.desktop;"));
        QVERIFY(apps.contains("image/tiff=morvane.desktop;"));
        QVERIFY(apps.contains("image/png=morvane.desktop;viewer.desktop;"));

        QCOMPARE(associations::remove({7}), 0);
        apps = read(list);
        QVERIFY(apps.contains("image/png=viewer.desktop;"));
        QVERIFY(!apps.contains("image/png=morvane"));
        QVERIFY(read(associations::desktopEntryPath()).contains("MimeType=image/tiff;"));
        QCOMPARE(associations::remove({10}), 0);
        QVERIFY(!QFile::exists(associations::desktopEntryPath()));
        apps = read(list);
        QVERIFY(!apps.contains("morvane.desktop"));
        QVERIFY(apps.contains("text/plain=editor.desktop;"));

        // Installed, the program's own entry serves: only the defaults list changes.
        QVERIFY(QDir().mkpath(home.path() + "/system/applications"));
        QFile installed(home.path() + "/system/applications/morvane.desktop");
        QVERIFY(installed.open(QIODevice::WriteOnly));
        installed.close();
        QCOMPARE(associations::installedDesktopEntry(), installed.fileName());
        QCOMPARE(associations::add({4}, QStringLiteral("/usr/bin/morvane")), 0);
        QVERIFY(!QFile::exists(associations::desktopEntryPath()));
        QVERIFY(read(list).contains("image/jpeg=morvane.desktop;"));
        QCOMPARE(associations::remove({4}), 0);
        QVERIFY(!read(list).contains("morvane.desktop"));
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_DIRS");
    }

private:
    QTemporaryDir temp_;
};

QTEST_MAIN(FileDialogsTest)
#include "file_dialogs_test.moc"
