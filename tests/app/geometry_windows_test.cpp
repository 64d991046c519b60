#include "app_test_support.h"
#include "core/image.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "filters/resize_units.h"
#include "transform/color_swatch.h"
#include "transform/operation.h"
#include "transform/panels/add_border_panel.h"
#include "transform/panels/composite_panel.h"
#include "transform/panels/crop_panel.h"
#include "transform/panels/mirror_rotate_panel.h"
#include "transform/panels/panel_support.h"
#include "transform/panels/resize_panel.h"
#include "transform/popup_list.h"
#include "transform/transformation_window.h"
#include "transform/use_registry.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <cstring>

namespace {

const QString kBase = QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png");
const QString kOverlay = QStringLiteral(MORVANE_SAMPLES_DIR "/coffee.png");

bool same_bits(const mv::Image& a, const mv::Image& b)
{
    if (a.type != b.type || a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.row(y), b.row(y), size_t(a.width) * mv::image_pixel_bytes(a.type)) != 0)
            return false;
    return true;
}

// Presses, drags and releases the left button on a window's picture, from the centre of one
// pixel (from the top-left) to another's.
void drag(ImageWindow* w, QPoint from, QPoint to)
{
    const auto at = [w](QPoint p) {
        return panel_support::window_point(w, p.x() + 0.25, p.y() + 0.25).toPoint();
    };
    QWidget* canvas = w->canvas();
    QTest::mousePress(canvas, Qt::LeftButton, {}, at(from));
    QTest::mouseMove(canvas, at((from + to) / 2));
    QTest::mouseMove(canvas, at(to));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at(to));
}

TransformationWindow* open(FrameWindow& frame, const char* name, ImageWindow* input)
{
    const mv::Operation* op = mv::operation_find(name);
    if (!op || open_transformation(frame.workspace(), *op, input, [&frame] { return frame.imageWindows(); }))
        return nullptr;
    return TransformationWindow::current();
}

} // namespace

class GeometryWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(mv::engine_startup(), 0); }

    // Two pictures aligned by two point pairs: the editor's Apply equals the batch tool's
    // computation from the overlay's file and the same points; coincident points give 61.
    void compositeWithAlignmentMatchesBatch()
    {
        FrameWindow frame;
        frame.resize(1280, 900);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(kOverlay), 0);
        ImageWindow* overlay = frame.activeImageWindow();
        QCOMPARE(frame.openPath(kBase), 0);
        ImageWindow* base = frame.activeImageWindow();
        QVERIFY(base && overlay && base != overlay);
        TransformationWindow* t = open(frame, "composite", base);
        QVERIFY(t);
        auto* panel = qobject_cast<CompositePanel*>(t->panel());
        QVERIFY(panel);
        QVERIFY(!panel->refineButton()->isEnabled());

        panel->chooseOverlay(overlay);
        QCOMPARE(mv::use_find(app_use_list(), static_cast<ChildWindow*>(overlay)).value_or(""),
                 std::string("Color Image Control"));
        panel->operationList()->select(8); // Absolute Difference
        panel->alignmentList()->select(3); // 2-point (shift/rotate/scale)
        QCOMPARE(panel->pointCount(), 2);
        QVERIFY(panel->refineButton()->isEnabled());
        // Point 1 is taken by a press near it and dragged; point 2 is set directly.
        drag(base, QPoint(2, 3), QPoint(60, 40));
        QCOMPARE(panel->point(false, 0).x, 60.0);
        QCOMPARE(panel->point(false, 0).y, 40.0);
        drag(overlay, QPoint(1, 1), QPoint(90, 75));
        QCOMPARE(panel->point(true, 0).x, 90.0);
        panel->setPoint(false, 1, 400, 250);
        panel->setPoint(true, 1, 520, 330);
        QVERIFY(panel->centrePoint(1));

        QSignalSpy results(t, &TransformationWindow::resultCreated);
        t->press(mv::kButtonPreview);
        QVERIFY(t->preview());
        QTest::qWait(30);
        save_screenshot(&frame, "composite_alignment");
        t->press(mv::kButtonApply);
        QCOMPARE(results.count(), 1);
        const mv::Image& got = results.at(0).at(0).value<ImageWindow*>()->record().image;

        const mv::Operation& op = t->operation();
        mv::OperationValues values = t->values();
        values.texts[size_t(panel_support::param_index(op, "overlay"))] = kOverlay.toStdString();
        mv::Image expected;
        QCOMPARE(mv::operation_apply(op, values, base->record().image, expected), 0);
        QVERIFY(same_bits(got, expected));

        // Both base points in one place: the map cannot be solved.
        RecordingSink sink;
        panel->setPoint(false, 1, 60, 40);
        t->press(mv::kButtonPreview);
        QVERIFY(!sink.messages.empty());
        QCOMPARE(sink.messages.back().text, std::string("All alignment points must be distinct"));
        QVERIFY(!t->preview());
        t->press(mv::kButtonCancel);
        QTRY_VERIFY(!TransformationWindow::current());
        QTRY_VERIFY(!mv::use_find(app_use_list(), static_cast<ChildWindow*>(overlay)));
    }

    // Dragging on the input window sets the crop rectangle; with "Square" a 30 x 40 drag
    // becomes 35 x 35.
    void cropRectangleDrag()
    {
        FrameWindow frame;
        frame.resize(1100, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(kBase), 0);
        ImageWindow* input = frame.activeImageWindow();
        TransformationWindow* t = open(frame, "crop", input);
        QVERIFY(t);
        auto* panel = qobject_cast<CropPanel*>(t->panel());
        QVERIFY(panel);
        QVERIFY(input->record().zoom == 1);

        drag(input, QPoint(10, 12), QPoint(39, 51));
        const std::vector<int>& v = t->values().numbers;
        QCOMPARE(v, (std::vector<int>{10, 12, 39, 51}));
        QCOMPARE(t->state().output_width, 30);
        QCOMPARE(t->state().output_height, 40);
        int m[4];
        mv::crop_margins(panel->crop(), 451, 300, m);
        QCOMPARE(m[1], 411);

        panel->proportions()->select(2); // Square: the whole height, centred
        QCOMPARE(t->values().numbers, (std::vector<int>{76, 0, 375, 299}));
        QVERIFY(!panel->marginBar(0)->isEnabled());
        // The top-left handle dragged to make 30 x 40; the bottom-right corner stays.
        drag(input, QPoint(76, 0), QPoint(346, 260));
        QCOMPARE(t->values().numbers, (std::vector<int>{341, 265, 375, 299}));
        QCOMPARE(panel->sizeLabel()->text(), QStringLiteral("35 by 35"));
        t->press(mv::kButtonPreview);
        QTest::qWait(30);
        save_screenshot(&frame, "crop_rectangle");
        t->press(mv::kButtonCancel);
        QTRY_VERIFY(!TransformationWindow::current());
    }

    // Resize follows the Preserve mode and hands the size to the window; Mirror/Rotate's
    // thumbnails select orientations.
    void resizeAndMirrorRotateWindows()
    {
        FrameWindow frame;
        frame.resize(1100, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(kBase), 0);
        ImageWindow* input = frame.activeImageWindow();
        TransformationWindow* t = open(frame, "resize", input);
        QVERIFY(t);
        auto* resize = qobject_cast<ResizePanel*>(t->panel());
        QVERIFY(resize);
        QCOMPARE(resize->newWidth()->text(), QStringLiteral("451"));
        resize->newWidth()->setText(QStringLiteral("200"));
        emit resize->newWidth()->editingFinished();
        QCOMPARE(t->state().output_width, 200);
        QCOMPARE(t->state().output_height, 133); // 200 x 300 / 451
        QCOMPARE(resize->newHeight()->text(), QStringLiteral("133"));
        QCOMPARE(resize->newLabel(4)->text(), QStringLiteral("1.00:0.67"));
        resize->sizeUnit()->select(1); // in, at 72 dpi
        QCOMPARE(resize->currentLabel(0)->text(), QStringLiteral("6.264"));
        resize->preserve()->select(3); // None: New back to Current
        QCOMPARE(t->state().output_width, 451);
        resize->newHeight()->setText(QStringLiteral("2"));
        emit resize->newHeight()->editingFinished();
        QCOMPARE(t->state().output_height, 144);
        QCOMPARE(t->state().output_width, 451);
        t->autoBox()->click();
        QVERIFY(t->preview());
        QTest::qWait(30);
        save_screenshot(t, "resize_window");
        QSignalSpy results(t, &TransformationWindow::resultCreated);
        t->press(mv::kButtonApply);
        QCOMPARE(results.count(), 1);
        const mv::Image& resized = results.at(0).at(0).value<ImageWindow*>()->record().image;
        QCOMPARE(resized.width, 451);
        QCOMPARE(resized.height, 144);
        t->press(mv::kButtonCancel);
        QTRY_VERIFY(!TransformationWindow::current());

        area_activate(frame, input);
        t = open(frame, "mirror-rotate", input);
        QVERIFY(t);
        auto* mirror = qobject_cast<MirrorRotatePanel*>(t->panel());
        QVERIFY(mirror);
        QCOMPARE(mirror->selection(), 200);
        t->autoBox()->click();
        mirror->thumbnail(1)->click(); // 90 degrees counter-clockwise: the size turns
        QCOMPARE(mirror->selection(), 201);
        QCOMPARE(t->state().output_width, 300);
        QVERIFY(t->preview());
        QTest::qWait(30);
        save_screenshot(t, "mirror_rotate_window");
        save_screenshot(&frame, "mirror_rotate_frame");
        t->press(mv::kButtonCancel);
        QTRY_VERIFY(!TransformationWindow::current());
    }

    // Widths typed in mm become the engine's pixels, the outline follows them, a bad number
    // restores the field, and Apply adds the border the batch tool adds.
    void addBorderWidthsAndOutline()
    {
        FrameWindow frame;
        frame.resize(1100, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.openPath(kBase), 0);
        ImageWindow* input = frame.activeImageWindow();
        TransformationWindow* t = open(frame, "add-border", input);
        QVERIFY(t);
        auto* panel = qobject_cast<AddBorderPanel*>(t->panel());
        QVERIFY(panel);
        QVERIFY(!t->paramControl(0)->isVisible());
        const double dpi = mv::usable_resolution(input->record().image.resolution);

        panel->unitList()->select(mv::kUnitMm);
        const auto type = [](QLineEdit* f, const QString& text) {
            f->setText(text);
            emit f->editingFinished();
        };
        type(panel->widthField(0), QStringLiteral("10"));
        type(panel->widthField(3), QStringLiteral("2.5"));
        const int left = int(mv::length_to_pixels(10, dpi, mv::kUnitMm));
        const int bottom = int(mv::length_to_pixels(2.5, dpi, mv::kUnitMm));
        QVERIFY(left > 0 && bottom > 0);
        panel->unitList()->select(mv::kUnitPixels);
        type(panel->widthField(1), QStringLiteral("7"));
        type(panel->widthField(2), QStringLiteral("-3")); // below 0: beep, previous value back
        QCOMPARE(panel->widthField(2)->text(), QStringLiteral("0"));
        type(panel->widthField(2), QStringLiteral("ten"));
        QCOMPARE(panel->widthField(2)->text(), QStringLiteral("0"));
        QCOMPARE(panel->widthField(0)->text(), QString::number(left));
        ColorSwatch::setPicker([](QWidget*, const QColor&, const QString&) { return QColor(200, 30, 60); });
        panel->background()->pick();
        ColorSwatch::setPicker({});

        int r[4];
        panel->outline(r);
        QCOMPARE((std::vector<int>{r[0], r[1], r[2], r[3]}), (std::vector<int>{-left, 0, 451 + 7 - 1, 300 + bottom - 1}));
        QCOMPARE(t->state().output_width, 451 + left + 7);
        QCOMPARE(t->state().output_height, 300 + bottom);

        QSignalSpy results(t, &TransformationWindow::resultCreated);
        input->resize(600, 420); // room around the picture for the outline
        t->press(mv::kButtonPreview);
        QTest::qWait(30);
        save_screenshot(&frame, "add_border_outline");
        t->press(mv::kButtonApply);
        QCOMPARE(results.count(), 1);
        const mv::Image& got = results.at(0).at(0).value<ImageWindow*>()->record().image;
        QCOMPARE(got.width, 451 + left + 7);
        QCOMPARE(got.height, 300 + bottom);
        mv::OperationValues values = t->values();
        values.numbers = {left, 7, 0, bottom, 200, 30, 60};
        mv::Image expected;
        QCOMPARE(mv::operation_apply(t->operation(), values, input->record().image, expected), 0);
        QVERIFY(same_bits(got, expected));
        t->press(mv::kButtonCancel);
        QTRY_VERIFY(!TransformationWindow::current());
    }

private:
    static void area_activate(FrameWindow& frame, ImageWindow* w) { frame.workspace()->setActiveSubWindow(w); }
};

QTEST_MAIN(GeometryWindowsTest)
#include "geometry_windows_test.moc"
