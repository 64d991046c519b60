#include "app_test_support.h"
#include "core/image.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "transform/amount_control.h"
#include "transform/operation.h"
#include "transform/popup_list.h"
#include "transform/preview_window.h"
#include "transform/compute_driver.h"
#include "shell/image_view.h"
#include "transform/transformation_window.h"
#include "transform/use_registry.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <cstring>

class TransformationWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(mv::engine_startup(), 0); }

    void previewApplyAndCancel()
    {
        FrameWindow frame;
        frame.resize(1100, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png")), 0);
        ImageWindow* input = frame.activeImageWindow();
        QVERIFY(input);
        const mv::Operation* op = mv::operation_find("blur");
        QVERIFY(op);
        const auto candidates = [&frame] { return frame.imageWindows(); };
        QCOMPARE(open_transformation(frame.workspace(), *op, input, candidates), 0);
        TransformationWindow* t = TransformationWindow::current();
        QVERIFY(t);
        QCOMPARE(t->windowTitle(), QStringLiteral("Blur"));
        // While the window reads its input, the input cannot close.
        QCOMPARE(mv::use_find(app_use_list(), input).value_or(""), std::string("Blur"));

        t->setValue(0, 2); // Gaussian
        QVERIFY(t->button(mv::kButtonPreview)->isEnabled());
        t->press(mv::kButtonPreview);
        PreviewWindow* preview = t->preview();
        QVERIFY(preview);
        QVERIFY(preview->windowTitle().startsWith("Preview ("));
        QVERIFY(!preview->record().display.empty());
        QVERIFY(!t->button(mv::kButtonPreview)->isEnabled());
        QTest::qWait(30);
        save_screenshot(&frame, "transformation_preview");

        // Auto recomputes at once after a change.
        t->autoBox()->click();
        QVERIFY(t->state().auto_on);
        t->setValue(1, 6);
        QVERIFY(!t->state().preview_stale);

        QSignalSpy results(t, &TransformationWindow::resultCreated);
        t->press(mv::kButtonApply);
        QCOMPARE(results.count(), 1);
        ImageWindow* result = results.at(0).at(0).value<ImageWindow*>();
        QVERIFY(result && result->isModified());
        QVERIFY(result->windowTitle().startsWith("Untitled"));

        mv::OperationValues values = mv::operation_defaults(*op);
        values.numbers[0] = 2;
        values.numbers[1] = 6;
        mv::Image expected;
        QCOMPARE(mv::operation_apply(*op, values, input->record().image, expected), 0);
        const mv::Image& got = result->record().image;
        QCOMPARE(got.width, expected.width);
        bool same = true;
        for (int y = 0; y < got.height && same; ++y)
            same = std::memcmp(got.row(y), expected.row(y), size_t(got.width) * 3) == 0;
        QVERIFY(same);

        t->press(mv::kButtonCancel);
        QTRY_VERIFY(!TransformationWindow::current());
        QVERIFY(!mv::use_find(app_use_list(), input));
    }

    // The preview zooms and scrolls; after a scroll only the uncovered strip is computed,
    // and the display then equals a whole recomputation and the engine's result at the
    // preview's sampling.
    void previewZoomAndScroll()
    {
        FrameWindow frame;
        frame.resize(1100, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png")), 0);
        ImageWindow* input = frame.activeImageWindow();
        const mv::Operation* op = mv::operation_find("extract-channel");
        QCOMPARE(open_transformation(frame.workspace(), *op, input, [&frame] { return frame.imageWindows(); }), 0);
        TransformationWindow* t = TransformationWindow::current();
        t->setValue(0, 3); // Green, shown by the list too
        QCOMPARE(qobject_cast<PopupList*>(t->paramControl(0))->index(), 3);
        mv::OperationValues values = mv::operation_defaults(*op);
        values.numbers[0] = 3;
        mv::Image full;
        QCOMPARE(mv::operation_apply(*op, values, input->record().image, full), 0);

        t->press(mv::kButtonPreview);
        PreviewWindow* preview = t->preview();
        QVERIFY(preview);
        preview->resize(260, 190); // smaller than the picture: the view scrolls
        QVERIFY(!t->state().preview_stale);
        mv::WindowRecord& r = preview->record();
        const mv::Image& img = input->record().image;

        // The display against the engine: display pixel (x, row from the bottom) shows the
        // input pixel the preview region's origin and step give.
        const auto matchesEngine = [&]() {
            const int k = r.zoom <= -2 ? -r.zoom : 1;
            const mv::PreviewRegion p = mv::preview_region(r.zoom, r.visible_width, r.visible_height, nullptr,
                                                           r.shown.left, r.shown.bottom, img.height);
            for (int y = 0; y < r.display.height; ++y) {
                const int row = std::min(p.y0 + (r.zoom >= 2 ? y / r.zoom : y * k), img.height - 1);
                for (int x = 0; x < r.display.width; ++x) {
                    const int column = p.x0 + (r.zoom >= 2 ? x / r.zoom : x * k);
                    if (r.display.row(y)[x] != full.row(row)[column])
                        return false;
                }
            }
            return true;
        };
        // After a scroll: keep the display, recompute it whole, compare.
        const auto stripMatchesWhole = [&]() {
            mv::Image scrolled;
            if (mv::image_clone(r.display, scrolled))
                return false;
            t->refreshPreview();
            return same(scrolled, r.display);
        };
        QCOMPARE(r.zoom, 1);
        QVERIFY(r.scroll_max_x > 0 && r.scroll_max_y > 0);
        QVERIFY(matchesEngine());
        preview->scrollTo(mv::ScrollAxis::kHorizontal, 37);
        QVERIFY(!t->state().preview_stale);
        QVERIFY(matchesEngine());
        preview->scrollTo(mv::ScrollAxis::kVertical, 23);
        QVERIFY(matchesEngine());
        QVERIFY(stripMatchesWhole());

        // Zoom in: 2:1, scrolled both ways and back.
        preview->zoomIn(false);
        QCOMPARE(r.zoom, 2);
        QCOMPARE(preview->windowTitle(), QStringLiteral("Preview (2:1)"));
        preview->scrollBy(mv::ScrollAxis::kHorizontal, 51);
        preview->scrollBy(mv::ScrollAxis::kVertical, 40);
        QVERIFY(matchesEngine());
        preview->scrollBy(mv::ScrollAxis::kVertical, -20);
        QVERIFY(stripMatchesWhole());

        // Out to 1:2 (never 0 or -1); the smaller preview scrolls a reduced picture.
        preview->zoomOut(false);
        preview->zoomOut(false);
        QCOMPARE(r.zoom, -2);
        QCOMPARE(preview->windowTitle(), QStringLiteral("Preview (1:2)"));
        preview->resize(140, 110);
        QVERIFY(r.scroll_max_x > 0);
        preview->scrollTo(mv::ScrollAxis::kHorizontal, 30);
        preview->scrollTo(mv::ScrollAxis::kVertical, 9);
        QVERIFY(matchesEngine());
        QVERIFY(stripMatchesWhole());
        save_screenshot(&frame, "preview_scrolled");

        t->press(mv::kButtonCancel);
        QTRY_VERIFY(!TransformationWindow::current());
    }

private:
    static bool same(const mv::Image& a, const mv::Image& b)
    {
        if (a.type != b.type || a.width != b.width || a.height != b.height)
            return false;
        for (int y = 0; y < a.height; ++y)
            if (std::memcmp(a.row(y), b.row(y), size_t(a.width) * size_t(mv::image_pixel_bytes(a.type))) != 0)
                return false;
        return true;
    }
};

QTEST_MAIN(TransformationWindowTest)
#include "transformation_window_test.moc"
