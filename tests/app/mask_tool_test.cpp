#include "app_test_support.h"
#include "core/display_lookup.h"
#include "core/image.h"
#include "core/product_table.h"
#include "transform/curve_control.h"
#include "mask/mask_area.h"
#include "mask/mask_overlay.h"
#include "mask/mask_paint.h"
#include "mask/mask_tool_window.h"
#include "mask/range_control.h"
#include "shell/frame_window.h"
#include "shell/image_view.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"

#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <cstring>
#include <QtTest>

namespace {
const QString kSamples = QStringLiteral(MORVANE_SAMPLES_DIR);

QPoint windowPoint(ImageWindow* w, int column, int row)
{
    int x = 0, y = 0;
    mv::image_to_window(w->record(), {column, row}, x, y);
    return {x, y};
}

std::uint8_t maskAt(MaskToolWindow* tool, int column, int row)
{
    return tool->mask().row(row)[column];
}
} // namespace

class MaskToolTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(mv::engine_startup(), 0); }

    void rectangleInvertAreaAndOverlay()
    {
        RecordingSink sink;
        FrameWindow frame;
        frame.resize(1100, 750);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(kSamples + "/chelsea.png"), 0);
        ImageWindow* picture = frame.activeImageWindow();
        QVERIFY(picture);
        picture->setZoom(1, true);
        const mv::Image& p = picture->record().image;
        QCOMPARE(p.type, int(mv::IMAGE_COLOR));

        install_mask_menu(frame, frame.workspace(), [&frame] { return frame.activeImageWindow(); });
        QMenu* menu = nullptr;
        for (QAction* a : frame.menuBar()->actions())
            if (a->text() == "&Mask")
                menu = a->menu();
        QVERIFY(menu);
        emit menu->aboutToShow();
        QAction* create = menu->actions().value(0);
        QVERIFY(create && create->data().toInt() == 4500 && create->isEnabled());
        create->trigger();

        MaskToolWindow* tool = MaskToolWindow::instance();
        QVERIFY(tool);
        QCOMPARE(tool->windowTitle(), "Mask - " + picture->windowTitle());
        QCOMPARE(tool->kind(), 45);
        QCOMPARE(current_tool(), static_cast<ToolHandler*>(tool));
        QVERIFY(tool->maskWindow() && tool->maskWindow()->isHidden());
        QCOMPARE(tool->mask().type, int(mv::IMAGE_GRAY));
        QCOMPARE(tool->mask().width, p.width);
        QCOMPARE(tool->mask().height, p.height);
        QCOMPARE(picture->usedBy(), QString("Mask Tool"));
        QVERIFY(mv::mask_overlay_shown(picture->record()));
        // The menu offers nothing while the tool is open.
        emit menu->aboutToShow();
        QVERIFY(menu->actions().isEmpty());

        // A rectangle dragged from (20, 30) to (120, 100), in the Add mode.
        tool->setOperation(MaskToolWindow::kRectangle);
        QCOMPARE(tool->combineMode(), 0);
        ImageCanvas* canvas = picture->canvas();
        QTest::mousePress(canvas, Qt::LeftButton, {}, windowPoint(picture, 20, 30));
        QTest::mouseMove(canvas, windowPoint(picture, 70, 60));
        QTest::mouseMove(canvas, windowPoint(picture, 120, 100));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, windowPoint(picture, 120, 100));
        QCOMPARE(maskAt(tool, 60, 60), 255);
        QCOMPARE(maskAt(tool, 21, 31), 255);
        QCOMPARE(maskAt(tool, 119, 99), 255);
        QCOMPARE(maskAt(tool, 10, 60), 0);
        QCOMPARE(maskAt(tool, 60, 10), 0);
        QCOMPARE(maskAt(tool, 200, 200), 0);
        long inside = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const int v = maskAt(tool, x, y);
                QVERIFY(v == 0 || v == 255);
                if (v) {
                    QVERIFY(x >= 20 && x <= 120 && y >= 30 && y <= 100);
                    ++inside;
                }
            }
        QVERIFY(inside >= 100 * 70);
        QVERIFY(tool->maskWindow()->isModified());
        QCOMPARE(tool->areaText(),
                 QString::fromStdString(mv::mask_area_text({double(inside), 100.0 * inside / (p.width * p.height)})));
        QVERIFY(tool->areaText().contains(" pixels\n"));

        // The picture window shows the red overlay at half strength inside, the picture outside.
        const mv::WindowRecord& r = picture->record();
        QCOMPARE(r.display.type, int(mv::IMAGE_COLOR));
        const QImage shot = canvas->grab().toImage();
        const mv::DisplayLookup& lut = mv::display_lookup();
        const int t = mv::product(255, 128);
        const std::uint8_t* in = p.row(60) + 3 * 60;
        const QColor masked = shot.pixelColor(windowPoint(picture, 60, 60));
        QCOMPARE(masked.red(), int(lut.red[mv::mix8(in[2], 255, t)]));
        QCOMPARE(masked.green(), int(lut.green[mv::mix8(in[1], 0, t)]));
        QCOMPARE(masked.blue(), int(lut.blue[mv::mix8(in[0], 0, t)]));
        const std::uint8_t* out = p.row(200) + 3 * 200;
        QCOMPARE(shot.pixelColor(windowPoint(picture, 200, 200)), QColor(lut.red[out[2]], lut.green[out[1]], lut.blue[out[0]]));
        QTest::qWait(30);
        save_screenshot(&frame, "mask_tool_overlay");

        // Invert flips every value; Undo puts the rectangle back.
        tool->invert();
        QCOMPARE(maskAt(tool, 60, 60), 0);
        QCOMPARE(maskAt(tool, 200, 200), 255);
        tool->undo();
        QCOMPARE(maskAt(tool, 60, 60), 255);
        QCOMPARE(maskAt(tool, 200, 200), 0);

        // Subtract an oval from the middle of the rectangle.
        tool->setCombineMode(mv::MASK_SUBTRACT);
        tool->setOperation(MaskToolWindow::kOval);
        QTest::mousePress(canvas, Qt::LeftButton, {}, windowPoint(picture, 50, 50));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, windowPoint(picture, 90, 80));
        QCOMPARE(maskAt(tool, 70, 65), 0);
        QCOMPARE(maskAt(tool, 25, 35), 255);

        // OK: the mask becomes a shown gray window and the picture is free again.
        ImageWindow* maskWindow = tool->maskWindow();
        tool->accept();
        QTRY_VERIFY(!MaskToolWindow::instance());
        QVERIFY(!maskWindow->isHidden());
        QVERIFY(!mv::mask_overlay_shown(picture->record()));
        QCOMPARE(picture->record().display.type, int(mv::IMAGE_COLOR));
        QVERIFY(picture->usedBy().isEmpty());
        QCOMPARE(current_tool(), nullptr);

        // The finished mask is offered for editing, and Cancel puts its rows back.
        frame.workspace()->setActiveSubWindow(picture);
        emit menu->aboutToShow();
        QAction* edit = menu->actions().value(2);
        QVERIFY(edit && edit->data().toInt() == 4501);
        edit->trigger();
        tool = MaskToolWindow::instance();
        QVERIFY(tool && tool->maskWindow() == maskWindow && maskWindow->isHidden());
        tool->all();
        QCOMPARE(maskAt(tool, 200, 200), 255);
        QVERIFY(tool->cancel());
        QTRY_VERIFY(!MaskToolWindow::instance());
        QCOMPARE(maskWindow->record().image.row(200)[200], 0);
        QCOMPARE(maskWindow->record().image.row(35)[25], 255);
        QCOMPARE(maskWindow->record().image.row(65)[70], 0);
        QVERIFY(!maskWindow->isHidden());
    }

    void paintSimilarRangesAndCurve()
    {
        RecordingSink sink;
        FrameWindow frame;
        frame.resize(1100, 750);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(kSamples + "/chelsea.png"), 0);
        ImageWindow* picture = frame.activeImageWindow();
        picture->setZoom(1, true);
        QCOMPARE(MaskToolWindow::open(frame.workspace(), picture), 0);
        MaskToolWindow* tool = MaskToolWindow::instance();
        const mv::Image& p = picture->record().image;
        ImageCanvas* canvas = picture->canvas();

        // A rectangle to paint over, then a soft stroke subtracted from it and off its edge.
        tool->setOperation(MaskToolWindow::kRectangle);
        QTest::mousePress(canvas, Qt::LeftButton, {}, windowPoint(picture, 40, 40));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, windowPoint(picture, 160, 120));
        mv::Image before;
        QCOMPARE(mv::image_clone(tool->mask(), before), 0);
        tool->setOperation(MaskToolWindow::kPaint);
        tool->setCombineMode(mv::MASK_SUBTRACT);
        tool->brush() = {6.0, 25.0, 50.0};
        const std::vector<QPoint> path{{30, 80}, {60, 85}, {100, 60}, {130, 70}, {200, 75}};
        QTest::mousePress(canvas, Qt::LeftButton, {}, windowPoint(picture, path[0].x(), path[0].y()));
        for (size_t i = 1; i < path.size(); ++i) {
            QMouseEvent move(QEvent::MouseMove, windowPoint(picture, path[i].x(), path[i].y()),
                             canvas->mapToGlobal(windowPoint(picture, path[i].x(), path[i].y())),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(canvas, &move);
        }
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, windowPoint(picture, path.back().x(), path.back().y()));
        // The engine run on the same points from the same mask gives the same bytes.
        mv::Image expected;
        QCOMPARE(mv::image_clone(before, expected), 0);
        mv::MaskRows rows;
        QCOMPARE(mv::mask_rows_attach(rows, expected), 0);
        mv::MaskUndo base;
        QCOMPARE(mv::mask_undo_take(rows, base), 0);
        mv::MaskPaint paint;
        mv::MaskRect changed;
        QCOMPARE(mv::mask_paint_begin(rows, base, paint, {6.0, 25.0, 50.0}, mv::MASK_SUBTRACT, 30, 80, changed), 0);
        for (size_t i = 1; i < path.size(); ++i)
            mv::mask_paint_to(rows, base, paint, path[i].x(), path[i].y(), changed);
        mv::mask_paint_end(paint);
        int differing = 0, softened = 0;
        for (int y = 0; y < p.height; ++y) {
            QVERIFY(std::memcmp(tool->mask().row(y), expected.row(y), size_t(p.width)) == 0);
            for (int x = 0; x < p.width; ++x) {
                differing += tool->mask().row(y)[x] != before.row(y)[x];
                softened += tool->mask().row(y)[x] > 0 && tool->mask().row(y)[x] < 255;
            }
        }
        QVERIFY(differing > 500);
        QVERIFY(softened > 100);
        QCOMPARE(maskAt(tool, 100, 60), 255 - 191); // the stroke's centre, 75 percent opaque
        QVERIFY(tool->maskWindow()->isModified());
        QTest::qWait(30);
        save_screenshot(&frame, "mask_tool_paint");
        tool->undo();
        for (int y = 0; y < p.height; ++y)
            QVERIFY(std::memcmp(tool->mask().row(y), before.row(y), size_t(p.width)) == 0);

        // Similar in RGB: red and green anything, blue from level 127 up (control 512) with
        // no shoulders. A drag on the blue control moves its nearest mark.
        tool->setOperation(MaskToolWindow::kSimilar);
        tool->setColorSpace(mv::SIMILAR_RGB);
        tool->setCombineMode(mv::MASK_ADD);
        tool->none();
        for (int c = 0; c < 3; ++c) {
            RangeControl* range = tool->rangeControl(c);
            range->setPosition(RangeControl::kOuterHigh, 1024);
            range->setPosition(RangeControl::kInnerHigh, 1024);
            range->setPosition(RangeControl::kOuterLow, 0);
            range->setPosition(RangeControl::kInnerLow, 0);
        }
        RangeControl* blue = tool->rangeControl(2);
        QVERIFY(blue->isVisible());
        blue->setPosition(RangeControl::kInnerLow, 200);
        QTest::mouseClick(blue, Qt::LeftButton, {}, QPoint(blue->width() / 2, 20));
        QVERIFY(std::abs(blue->positions()[RangeControl::kInnerLow] - 512) < 10);
        QCOMPARE(blue->positions()[RangeControl::kInnerHigh], 1024);
        blue->setPosition(RangeControl::kInnerLow, 512);
        blue->setPosition(RangeControl::kOuterLow, 512);
        // A plain channel keeps its order: the inner low limit cannot pass the inner high one.
        tool->rangeControl(0)->setPosition(RangeControl::kInnerHigh, 300);
        tool->rangeControl(0)->setPosition(RangeControl::kInnerLow, 600);
        QCOMPARE(tool->rangeControl(0)->positions()[RangeControl::kInnerLow],
                 tool->rangeControl(0)->positions()[RangeControl::kInnerHigh]);
        tool->rangeControl(0)->setPosition(RangeControl::kInnerHigh, 1024);
        tool->rangeControl(0)->setPosition(RangeControl::kInnerLow, 0);
        tool->apply();
        for (int y = 0; y < p.height; y += 7)
            for (int x = 0; x < p.width; x += 5)
                QCOMPARE(maskAt(tool, x, y), p.row(y)[3 * x] >= 127 ? 255 : 0);

        // HSV hue: inner low past inner high wraps round red; the outer marks stay in the gap.
        tool->setColorSpace(mv::SIMILAR_HSV);
        RangeControl* hue = tool->rangeControl(0);
        QVERIFY(tool->rangeControl(2)->isVisible());
        hue->setPosition(RangeControl::kInnerHigh, 40);
        hue->setPosition(RangeControl::kInnerLow, 980);
        hue->setPosition(RangeControl::kOuterLow, 10);
        hue->setPosition(RangeControl::kOuterHigh, 1020);
        const mv::SimilarLimits& h = tool->similar().channel[0];
        QCOMPARE(h.inner_low, 3920);
        QCOMPARE(h.inner_high, 160);
        QCOMPARE(h.outer_low, 160);
        QCOMPARE(h.outer_high, 3920);

        // Brightness Curve through the curve control: inverted, dark pixels are selected.
        tool->setOperation(MaskToolWindow::kBrightnessCurve);
        QVERIFY(tool->curveControl() && tool->curveControl()->isVisible());
        tool->curveControl()->invert();
        tool->none();
        tool->apply();
        const std::uint8_t* px = p.row(10) + 30;
        const int luminance = (306 * px[2] + 601 * px[1] + 117 * px[0]) >> 10;
        QCOMPARE(maskAt(tool, 10, 10), int(tool->curveControl()->table()[luminance]));
        QTest::qWait(30);
        save_screenshot(tool, "mask_tool_curve");
        tool->setOperation(MaskToolWindow::kSimilar);
        QTest::qWait(30);
        save_screenshot(tool, "mask_tool_similar");
        QVERIFY(tool->cancel());
        QVERIFY(sink.messages.empty());
    }

    void abortQuestionOnCloseAll()
    {
        RecordingSink sink;
        FrameWindow frame;
        frame.resize(1100, 750);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(kSamples + "/coffee.png"), 0);
        ImageWindow* picture = frame.activeImageWindow();
        QCOMPARE(MaskToolWindow::open(frame.workspace(), picture), 0);
        QPointer<MaskToolWindow> tool = MaskToolWindow::instance();
        QPointer<ImageWindow> mask = tool->maskWindow();
        tool->all();
        QVERIFY(mask->isModified());

        // No: nothing closes, the mask stays as drawn.
        sink.answer = mv::kResultNo;
        QVERIFY(!frame.closeAll());
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, std::string("Abort mask operation in progress?"));
        QVERIFY(tool && mask);
        QCOMPARE(maskAt(tool, 5, 5), 255);
        QVERIFY(mv::mask_overlay_shown(picture->record()));

        // Yes: the tool goes without asking about its unsaved new mask, and so does the rest.
        sink.answer = mv::kResultYes;
        sink.messages.clear();
        QVERIFY(frame.closeAll());
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, std::string("Abort mask operation in progress?"));
        QTRY_VERIFY(!tool && !mask);
        QVERIFY(!MaskToolWindow::instance());
        QCOMPARE(current_tool(), nullptr);
        QVERIFY(frame.imageWindows().isEmpty());
    }

    void cancelRemovesANewMaskAndScreenshot()
    {
        RecordingSink sink;
        FrameWindow frame;
        frame.resize(1100, 750);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(kSamples + "/coffee.png"), 0);
        ImageWindow* picture = frame.activeImageWindow();
        const int before = frame.imageWindows().size();
        QCOMPARE(MaskToolWindow::open(frame.workspace(), picture), 0);
        MaskToolWindow* tool = MaskToolWindow::instance();
        QVERIFY(tool);
        QPointer<ImageWindow> mask = tool->maskWindow();
        // An oval, drawn green and opaque, for a look at the window.
        tool->setOperation(MaskToolWindow::kOval);
        const mv::Image& p = picture->record().image;
        ImageCanvas* canvas = picture->canvas();
        QTest::mousePress(canvas, Qt::LeftButton, {}, windowPoint(picture, p.width / 4, p.height / 4));
        QTest::mouseMove(canvas, windowPoint(picture, p.width * 3 / 4, p.height * 3 / 4));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, windowPoint(picture, p.width * 3 / 4, p.height * 3 / 4));
        QCOMPARE(maskAt(tool, p.width / 2, p.height / 2), 255);
        tool->setOverlay(1, mv::kOverlayOpaque);
        const QColor centre = canvas->grab().toImage().pixelColor(windowPoint(picture, p.width / 2, p.height / 2));
        QCOMPARE(centre, QColor(mv::display_lookup().red[0], mv::display_lookup().green[255], mv::display_lookup().blue[0]));
        // Feather softens the edge: values between 0 and 255 appear.
        tool->setOperation(MaskToolWindow::kFeather);
        tool->apply(); // width 0 changes nothing
        QCOMPARE(maskAt(tool, p.width / 4 - 3, p.height / 2), 0);
        tool->setOverlay(0, mv::kOverlaySemitransparent);
        QTest::qWait(30);
        save_screenshot(&frame, "mask_tool_oval");

        QVERIFY(tool->cancel());
        QTRY_VERIFY(!MaskToolWindow::instance());
        QTRY_VERIFY(!mask);
        QCOMPARE(frame.imageWindows().size(), before);
        QVERIFY(!mv::mask_overlay_shown(picture->record()));
        QVERIFY(sink.messages.empty());

        // A picture type without a mask is refused.
        QCOMPARE(MaskToolWindow::open(frame.workspace(), nullptr), int(mv::kIllegalImageType));
    }
};

QTEST_MAIN(MaskToolTest)
#include "mask_tool_test.moc"
