#include "app_test_support.h"
#include "core/display_lookup.h"
#include "core/image.h"
#include "core/product_table.h"
#include "mask/mask_area.h"
#include "mask/mask_overlay.h"
#include "mask/mask_tool_window.h"
#include "shell/frame_window.h"
#include "shell/image_view.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"

#include <QMenuBar>
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
        // The menu offers no second tool while one is open.
        emit menu->aboutToShow();
        QVERIFY(!menu->actions().value(0)->isEnabled());

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
