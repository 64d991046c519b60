#include "app_test_support.h"
#include "core/image.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"

#include <QScrollBar>
#include <QtTest>

namespace {
const QString kSamples = QStringLiteral(MORVANE_SAMPLES_DIR);
}

class ImageWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(mv::engine_startup(), 0); }

    void threePhotosAtTheirZooms()
    {
        FrameWindow frame;
        frame.resize(1280, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        for (const char* name : {"chelsea.png", "coffee.png", "rocket.jpg"})
            QCOMPARE(frame.openPath(kSamples + "/" + name), 0);
        const QList<ImageWindow*> windows = frame.imageWindows();
        QCOMPARE(windows.size(), 3);
        windows[0]->setZoom(2, false);
        windows[1]->setZoom(-3, true);
        QCOMPARE(windows[0]->windowTitle(), kSamples + "/chelsea.png (2:1)");
        QCOMPARE(windows[1]->windowTitle(), kSamples + "/coffee.png (1:3)");
        QVERIFY(windows[2]->windowTitle().endsWith("rocket.jpg (1:1)") ||
                windows[2]->windowTitle().contains(" (1:"));
        // Cascaded: each window starts below and right of the one it came from.
        QVERIFY(windows[1]->pos().x() > windows[0]->pos().x());
        QTest::qWait(50);
        save_screenshot(&frame, "three_photos");
    }

    void zoomScrollAndPixelsOnScreen()
    {
        FrameWindow frame;
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(kSamples + "/chelsea.png"), 0);
        ImageWindow* w = frame.activeImageWindow();
        QVERIFY(w);
        mv::WindowRecord& r = w->record();
        QCOMPARE(r.image.type, int(mv::IMAGE_COLOR));
        w->resize(300, 250);
        w->zoomOneToOne(true);
        w->setZoom(1, false);
        QVERIFY(w->canvas()->horizontalBar()->isVisible());

        // What the window shows at its top-left is the picture's top-left pixel.
        w->canvas()->scrollTo(mv::ScrollAxis::kHorizontal, 0);
        w->canvas()->scrollTo(mv::ScrollAxis::kVertical, 0);
        const QImage shot = w->canvas()->grab().toImage();
        const std::uint8_t* top = r.image.row(r.image.height - 1);
        QCOMPARE(shot.pixelColor(r.centre_left, r.centre_top), QColor(top[2], top[1], top[0]));

        // Keyboard scrolling moves by pages and lines; Ctrl+End reaches the far corner.
        QTest::keyClick(w->canvas(), Qt::Key_PageDown);
        QCOMPARE(r.display_rect.top, std::min(mv::scroll_page(r.visible_height), r.scroll_max_y));
        QTest::keyClick(w->canvas(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(r.display_rect.left, r.scroll_max_x);
        QCOMPARE(r.display_rect.top, r.scroll_max_y);
        const QImage corner = w->canvas()->grab().toImage();
        const std::uint8_t* bottom = r.image.row(0) + 3 * (r.image.width - 1);
        QCOMPARE(corner.pixelColor(r.centre_left + r.visible_width - 1, r.centre_top + r.visible_height - 1),
                 QColor(bottom[2], bottom[1], bottom[0]));

        w->zoomIn(false);
        QCOMPARE(r.zoom, 2);
        QCOMPARE(r.display_rect.left % 2, 0);
        w->zoomOut(true);
        w->zoomOut(true);
        QCOMPARE(r.zoom, -2);
        QVERIFY(w->windowTitle().endsWith("(1:2)"));
        w->fit();
        QVERIFY(r.zoom <= 1);
        frame.runCommand(3015);
        QCOMPARE(r.zoom, 1);
    }
};

QTEST_MAIN(ImageWindowTest)
#include "image_window_test.moc"
