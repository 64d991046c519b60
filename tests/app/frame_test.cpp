#include "app_test_support.h"
#include "core/message_dialog.h"
#include "core/progress_window.h"
#include "mask/mask_tool_window.h"
#include "shell/command_table.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "shell/startup.h"
#include "shell/workspace_area.h"

#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <QtTest>

class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(mv::engine_startup(), 0); }

    void splashOnEmptyCommandLineUntilClickOrMenu()
    {
        FrameWindow frame;
        frame.resize(900, 700);
        frame.show();
        QCOMPARE(frame.windowTitle(), QStringLiteral("Morvane 2.5"));
        frame.openCommandLine({});
        WorkspaceArea* ws = frame.workspace();
        QVERIFY(ws->splashShown());
        const QPoint origin = ws->splashOrigin();
        QCOMPARE(origin, QPoint((ws->viewport()->width() - 325) / 2, (ws->viewport()->height() - 279) / 2));
        // The picture is painted centred over the workspace colour.
        const QImage shot = ws->viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(2, 2), QColor(64, 64, 64));
        QVERIFY(shot.pixelColor(origin + QPoint(5, 5)) != QColor(64, 64, 64));
        save_screenshot(&frame, "frame_splash");

        QTest::mouseClick(ws->viewport(), Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(!ws->splashShown());

        ws->showSplash();
        QMenu* fileMenu = frame.menuBar()->actions().first()->menu();
        QTimer::singleShot(0, fileMenu, &QMenu::close);
        fileMenu->popup(frame.mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(!ws->splashShown());
    }

    void fileCloseAsksSaveModifiedFileAndMaskMenuTakesItsPlace()
    {
        RecordingSink sink;
        FrameWindow frame;
        install_mask_menu(frame, frame.workspace(), [&frame] { return frame.activeImageWindow(); });
        QStringList titles;
        QTRY_VERIFY((titles = [&] {
                        QStringList t;
                        for (QAction* a : frame.menuBar()->actions())
                            t << a->text();
                        return t;
                    }()).indexOf("&Mask") == 3);
        QCOMPARE(titles, QStringList({"&File", "&Edit", "&Transformation", "&Mask", "T&ools", "&Window", "&Help"}));

        frame.show();
        QCOMPARE(frame.openPath(QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png")), 0);
        ImageWindow* w = frame.activeImageWindow();
        w->setModified(true);
        sink.answer = mv::kResultCancel;
        frame.runCommand(mv::kCmdClose);
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, std::string("Save modified file?"));
        QCOMPARE(frame.imageWindows().size(), 1);
        // No closes it without the frame's own "Save Modified Image" question.
        sink.answer = mv::kResultNo;
        frame.runCommand(mv::kCmdClose);
        QTRY_COMPARE(frame.imageWindows().size(), 0);
        QCOMPARE(sink.messages.size(), size_t(2));
    }

    void missingFilesAreReportedAndEveryPathIsTried()
    {
        RecordingSink sink;
        FrameWindow frame;
        QSignalSpy opened(&frame, &FrameWindow::imageOpened);
        const QString sample = QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png");
        frame.openCommandLine({QStringLiteral("/no/such dir/a.tif"), sample});
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].title, std::string("Error"));
        QCOMPARE(sink.messages[0].text, std::string("File does not exist: /no/such dir/a.tif"));
        QCOMPARE(opened.count(), 1);
        QCOMPARE(frame.imageWindows().size(), 1);
        QCOMPARE(QString::fromStdString(frame.imageWindows().first()->record().path), sample);
        QVERIFY(!frame.workspace()->splashShown());

        // Dropped files: the missing one is reported and the next one still opens.
        frame.openDroppedUrls({QUrl::fromLocalFile("/missing.png"), QUrl::fromLocalFile(sample)});
        // The second drop of the same file asks whether to reopen it; the sink answers OK,
        // which is neither Yes nor No, so nothing is reopened.
        QCOMPARE(sink.messages.size(), size_t(3));
        QCOMPARE(sink.messages[2].text, std::string("File already open but not modified: do you want to reopen it?"));
        QCOMPARE(opened.count(), 1);
    }

    void messageDialogButtonSetsAndResults()
    {
        struct Case {
            int buttons;
            QStringList captions;
            int pressed;
            int result;
        };
        const Case cases[] = {
            {mv::kButtonsOk, {"OK"}, mv::kResultOk, 1},
            {mv::kButtonsOkCancel, {"OK", "&Cancel"}, mv::kResultCancel, 2},
            {mv::kButtonsYesNoCancel, {"&Yes", "&No", "&Cancel"}, mv::kResultNo, 7},
            {mv::kButtonsYesNo, {"&Yes", "&No"}, mv::kResultYes, 6},
        };
        for (const Case& c : cases) {
            MessageDialog box(nullptr, "Warning", "Save Modified Image: a.tif?", c.buttons);
            const QList<QPushButton*> buttons = box.findChildren<QPushButton*>();
            QStringList captions;
            for (QPushButton* b : buttons)
                captions << b->text();
            QCOMPARE(captions, c.captions);
            QTimer::singleShot(0, &box, [&] { box.button(c.pressed)->click(); });
            QCOMPARE(box.exec(), c.result);
        }
        // Three more lines make the box taller by three line heights.
        MessageDialog one(nullptr, "T", "a", mv::kButtonsOk);
        MessageDialog four(nullptr, "T", "a\nb\nc\nd", mv::kButtonsOk);
        one.adjustSize();
        four.adjustSize();
        QCOMPARE(four.height() - one.height(), 3 * one.fontMetrics().lineSpacing());
    }

    void cancelStopsTheOperationAtTheNextRow()
    {
        QWidget parent;
        parent.resize(600, 400);
        parent.show();
        ProgressWindowSink sink(&parent);
        mv::progress_begin(0, 99, "Copy", true);
        ProgressWindow* window = sink.current();
        QVERIFY(window && window->cancelButton());
        QCOMPARE(window->windowTitle(), QStringLiteral("Copy"));
        int stoppedAt = -1;
        for (int row = 0; row < 100; ++row) {
            if (mv::progress_update(row) != 0) {
                stoppedAt = row;
                break;
            }
            if (row == 10)
                window->cancelButton()->click();
        }
        QCOMPARE(stoppedAt, 11);
        QVERIFY(window->tracker().filled_width(300) > 0);
        save_screenshot(window, "progress_window");
        mv::progress_end();
        QVERIFY(!sink.current());

        mv::progress_begin(0, 0, "Area", false);
        QVERIFY(!sink.current()->cancelButton());
        QCOMPARE(mv::progress_update(0), 0);
        QCOMPARE(sink.current()->tracker().filled_width(300), 0);
        mv::progress_end();
    }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
