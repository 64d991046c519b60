#include "app_test_support.h"
#include "core/format.h"
#include "shell/command_table.h"
#include "shell/frame_window.h"
#include "slideshow/slide_annotation_window.h"
#include "slideshow/slide_files.h"
#include "slideshow/slide_show_window.h"
#include "slideshow/slide_summary.h"
#include "slideshow/viewer_files.h"
#include "transform/integer_field.h"
#include "transform/popup_list.h"

// The viewer is a program of its own; its player widget is compiled in here to be driven.
#include "viewer/slide_player.cpp"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kSamples = QStringLiteral(MORVANE_SAMPLES_DIR);
const QStringList kPictures = {"chelsea.png", "coffee.png", "rocket.jpg", "refimg.jpg", "simple.fits"};

bool saw(const RecordingSink& sink, const std::string& text)
{
    for (const RecordedMessage& m : sink.messages)
        if (m.text == text)
            return true;
    return false;
}
} // namespace

class SlideShowTest : public QObject {
    Q_OBJECT

    QMdiArea area;
    QTemporaryDir folder;
    QString showPath;

    SlideShowWindow* openWithSamples()
    {
        SlideShowWindow* w = SlideShowWindow::open(&area);
        w->sizeList()->select(0); // 320x240
        QStringList paths;
        for (const QString& name : kPictures)
            paths << kSamples + "/" + name;
        w->addFiles(paths);
        return w;
    }

private slots:
    void initTestCase()
    {
        area.resize(900, 820);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QVERIFY(folder.isValid());
        showPath = folder.filePath("show/autoplay.ss");
        QVERIFY(QDir().mkpath(folder.filePath("show")));
    }

    void buildAnnotateSaveAndLoad()
    {
        RecordingSink sink;
        SlideShowWindow* w = openWithSamples();
        QCOMPARE(w->show().slides.size(), std::size_t(5));
        QCOMPARE(w->strip()->rowCount(), 5);
        for (const mv::Slide& s : w->show().slides)
            QVERIFY(s.width <= 320 && s.height <= 240 && s.width > 0);
        QVERIFY(w->isModified());

        // The total follows the show and the viewer choice.
        const QString withViewer = w->totalLabel()->text();
        QVERIFY(QRegularExpression("^Total size: \\d+\\.\\d\\dMB$").match(withViewer).hasMatch());
        const long long bytes = mv::slideshow_total_bytes(w->show());
        w->saveWithList()->select(mv::kSaveNoViewer);
        QCOMPARE(mv::slideshow_total_bytes(w->show()), bytes - 254464);
        QCOMPARE(w->totalLabel()->text(),
                 QString::fromStdString(mv::format_text("Total size: %2fMB", (bytes - 254464) / 1e6)));

        // A caption typed into the strip, another through the annotation window.
        QTest::keyClicks(w->strip()->captionField(0), "Chelsea");
        QCOMPARE(w->show().slides[0].caption, std::string("Chelsea"));
        QTimer::singleShot(0, this, [] {
            auto* d = qobject_cast<SlideAnnotationWindow*>(QApplication::activeModalWidget());
            QVERIFY(d);
            d->captionField()->setText(QStringLiteral("Say \"coffee\""));
            d->descriptionField()->setPlainText(QStringLiteral("Morning cup"));
            d->durationField()->setValue(7);
            QVERIFY(!d->button(SlideAnnotationWindow::kPlaySound)->isEnabled());
            save_screenshot(d, "slide_annotation");
            d->accept();
        });
        w->select(1);
        w->button(SlideShowWindow::kEditSlide)->click();
        QCOMPARE(w->show().slides[1].caption, std::string("Say \"coffee\""));
        QCOMPARE(w->show().slides[1].description, std::string("Morning cup"));
        QCOMPARE(w->strip()->captionField(1)->text(), QStringLiteral("Say \"coffee\""));
        QCOMPARE(w->strip()->infoLabel(1)->text(), QStringLiteral("7 sec"));
        save_screenshot(w, "slide_show");

        // Print Summary into a PDF.
        const QString pdf = folder.filePath("summary.pdf");
        QVERIFY(write_slide_summary_pdf(w->show(), pdf));
        QVERIFY(QFileInfo(pdf).size() > 1000);

        // A runnable viewer that is missing stops the save with its message.
        w->saveWithList()->select(mv::kSaveRunnableViewer);
        set_viewer_program(folder.filePath("nowhere/morvane-viewer"));
        QCOMPARE(w->saveTo(showPath, false), mv::kSlideShowShown);
        QVERIFY(saw(sink, "Missing viewer file: morvane-viewer"));
        QVERIFY(w->isModified());

        // The installable viewer: program, scripts and desktop entry beside the show.
        const QString program = folder.filePath("morvane-viewer");
        QFile fake(program);
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\n");
        fake.close();
        fake.setPermissions(fake.permissions() | QFileDevice::ExeOwner);
        set_viewer_program(program);
        w->saveWithList()->select(mv::kSaveInstallableViewer);
        sink.answer = mv::kResultYes;
        QCOMPARE(w->saveTo(showPath, false), 0);
        QVERIFY(saw(sink, "Slide Show Save Completed Successfully"));
        QVERIFY(!w->isModified());
        for (const char* name : {"morvane-viewer", "play-slideshow.sh", "install-viewer.sh"})
            QVERIFY2(QFileInfo(folder.filePath(QString("show/") + name)).isExecutable(), name);
        QVERIFY(QFile::exists(folder.filePath("show/morvane-viewer.desktop")));
        set_viewer_program(QString());

        // Loading it back replaces the slides with the same ones.
        std::vector<std::tuple<std::string, std::string, int, int, int>> before;
        for (const mv::Slide& s : w->show().slides)
            before.emplace_back(s.caption, s.description, s.duration, s.width, s.height);
        w->deleteSlide(4);
        QCOMPARE(w->strip()->rowCount(), 4);
        sink.messages.clear();
        QCOMPARE(w->loadFrom(showPath), 0);
        QVERIFY(saw(sink, "Loading a slide show will delete all existing slides.\nDo you wish to continue?"));
        QCOMPARE(w->strip()->rowCount(), 5);
        for (std::size_t i = 0; i < before.size(); ++i) {
            const mv::Slide& s = w->show().slides[i];
            QVERIFY(before[i] == std::make_tuple(s.caption, s.description, s.duration, s.width, s.height));
        }
        QCOMPARE(w->strip()->captionField(1)->text(), QStringLiteral("Say \"coffee\""));
        QVERIFY(!w->isModified());

        // The video: the compressor chosen in its dialog, a cancelled dialog writes nothing.
        const QString avi = folder.filePath("show.avi");
        SlideShowWindow::dialogs().compressor = [](QWidget*) { return std::optional<std::string>(); };
        QCOMPARE(w->saveTo(avi, true), mv::kAborted);
        QVERIFY(!QFile::exists(avi));
        SlideShowWindow::dialogs().compressor = [](QWidget*) { return std::optional<std::string>("rawvideo"); };
        QCOMPARE(w->saveTo(avi, true), 0);
        QVERIFY(QFileInfo(avi).size() > 320 * 240);
        SlideShowWindow::dialogs().compressor = nullptr;
    }

    void viewerPlaysTheSavedShow()
    {
        SlidePlayer player;
        QCOMPARE(player.load(showPath), 0);
        QCOMPARE(player.count(), 5);
        QCOMPARE(player.seconds(1), 7);
        QCOMPARE(player.seconds(0), mv::kShowDurationDefault);
        player.resize(640, 480);
        player.show();
        QVERIFY(QTest::qWaitForWindowExposed(&player));
        player.start();
        QCOMPARE(player.index(), 0);
        QTest::keyClick(&player, Qt::Key_Right);
        QCOMPARE(player.index(), 1);
        QVERIFY(!player.picture().isNull());
        save_screenshot(&player, "slide_viewer");
        QTest::keyClick(&player, Qt::Key_End);
        QCOMPARE(player.index(), 4);
        QTest::keyClick(&player, Qt::Key_PageUp);
        QCOMPARE(player.index(), 3);
        QTest::keyClick(&player, Qt::Key_Home);
        QCOMPARE(player.index(), 0);
        QTest::keyClick(&player, Qt::Key_Escape);
        QVERIFY(!player.isVisible());

        SlidePlayer broken;
        RecordingSink sink;
        QFile bad(folder.filePath("bad.ss"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("SlideShow 2.0\r\nend\r\n");
        bad.close();
        QCOMPARE(broken.load(bad.fileName()), mv::kSlideShowShown);
        QVERIFY(saw(sink, "Illegal overview file"));
    }

    void closeAsksToSaveModifiedShow()
    {
        RecordingSink sink;
        SlideShowWindow* w = SlideShowWindow::current();
        QVERIFY(w);
        w->moveSlide(0, 2);
        QCOMPARE(w->show().slides[2].caption, std::string("Chelsea"));
        QVERIFY(w->isModified());
        sink.answer = mv::kResultCancel;
        QVERIFY(!w->close());
        QCOMPARE(sink.messages.back().text, std::string("Save modified slide show?"));
        QCOMPARE(SlideShowWindow::current(), w);
        sink.answer = mv::kResultNo;
        QPointer<SlideShowWindow> gone = w;
        QVERIFY(w->close());
        QTRY_VERIFY(gone.isNull());
        QVERIFY(!SlideShowWindow::current());
    }

    void frameAsksBeforeClosing()
    {
        RecordingSink sink;
        FrameWindow frame;
        install_slide_show_menu(frame);
        frame.resize(900, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        frame.runCommand(mv::kCmdSlideShow);
        SlideShowWindow* w = SlideShowWindow::current();
        QVERIFY(w);
        QCOMPARE(w->kind(), int(SlideShowWindow::kKind));
        QCOMPARE(w->addFiles({kSamples + "/rocket.jpg"}), 0);
        sink.answer = mv::kResultCancel;
        frame.runCommand(mv::kCmdCloseAll);
        QCOMPARE(SlideShowWindow::current(), w);
        QVERIFY(!frame.close());
        QCOMPARE(sink.messages.back().text, std::string("Save modified slide show?"));
        QCOMPARE(SlideShowWindow::current(), w);
        sink.answer = mv::kResultNo;
        QVERIFY(frame.close());
        QVERIFY(!SlideShowWindow::current());
    }
};

QTEST_MAIN(SlideShowTest)
#include "slide_show_test.moc"
