#include "app_test_support.h"
#include "core/image.h"
#include "core/undo.h"
#include "shell/frame_window.h"
#include "shell/image_view.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "tools/brush.h"
#include "tools/clone_tool_window.h"
#include "tools/line_tool_window.h"
#include "tools/paint_tool_window.h"
#include "tools/tool_commands.h"
#include "tools/tool_window_base.h"
#include "mask/mask_overlay.h"
#include "tools/paint_tool.h"
#include "transform/popup_list.h"

#include <QtTest>
#include <vector>

namespace {
const QString kSamples = QStringLiteral(MORVANE_SAMPLES_DIR);

std::vector<std::uint8_t> bytes(const mv::Image& image)
{
    std::vector<std::uint8_t> out;
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* r = image.row(y);
        out.insert(out.end(), r, r + image.row_bytes);
    }
    return out;
}

// Canvas point of the centre of an image pixel (1:1 views).
QPoint canvas_point(const mv::WindowRecord& r, int column, int row)
{
    int x, y;
    mv::image_to_window(r, {column, row}, x, y);
    return {x, y};
}

const std::uint8_t* pixel(const mv::Image& image, int column, int row)
{
    return image.row(row) + 3 * column;
}

struct Fixture {
    FrameWindow frame;
    ImageWindow* window = nullptr;
    bool open(const char* name)
    {
        frame.resize(1100, 750);
        frame.show();
        if (!QTest::qWaitForWindowExposed(&frame) || frame.openPath(kSamples + "/" + name) != 0)
            return false;
        window = frame.activeImageWindow();
        if (!window)
            return false;
        window->setZoom(1, false);
        window->move(0, 0);
        window->resize(520, 420);
        return true;
    }
};
} // namespace

class ToolsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(mv::engine_startup(), 0); }

    void paintStrokeThenUndoRestoresBytes()
    {
        Fixture f;
        QVERIFY(f.open("chelsea.png"));
        mv::WindowRecord& r = f.window->record();
        QCOMPARE(r.image.type, int(mv::IMAGE_COLOR));
        const std::vector<std::uint8_t> original = bytes(r.image);

        auto* tool = static_cast<PaintToolWindow*>(
            open_tool_window(f.frame.workspace(), PaintToolWindow::kKind));
        QVERIFY(tool);
        QCOMPARE(tool->windowTitle(), QString("Paint"));
        QCOMPARE(current_tool(), static_cast<ToolHandler*>(tool));
        tool->move(540, 0);
        mv::PaintTool& paint = tool->tool();
        paint.settings.color = {255, 0, 0};
        paint.settings.brush.transparency = 0;
        paint.settings.brush.radius = 6;
        QCOMPARE(mv::paint_rebuild_brush(paint), 0);
        QVERIFY(!tools_undo_available());

        // Two strokes; each is one undo step.
        const int row = r.image.height - 60;
        QWidget* canvas = f.window->canvas();
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 40, row));
        for (int c = 50; c <= 120; c += 10)
            QTest::mouseMove(canvas, canvas_point(r, c, row));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 120, row));
        for (int c : {40, 80, 120}) {
            const std::uint8_t* p = pixel(r.image, c, row);
            QCOMPARE(int(p[2]), 255);
            QCOMPARE(int(p[1]), 0);
            QCOMPARE(int(p[0]), 0);
        }
        QVERIFY(f.window->isModified());
        QVERIFY(tools_undo_available());
        const std::vector<std::uint8_t> afterFirst = bytes(r.image);

        // The display shows the new pixels without a full rebuild.
        const QImage shot = canvas->grab().toImage();
        QCOMPARE(shot.pixelColor(canvas_point(r, 80, row)), QColor(255, 0, 0));

        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 80, row - 40));
        QTest::mouseMove(canvas, canvas_point(r, 80, row + 20));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 80, row + 20));
        QVERIFY(bytes(r.image) != afterFirst);

        tools_undo(f.frame.workspace());
        QVERIFY(bytes(r.image) == afterFirst);
        tools_undo(f.frame.workspace());
        QVERIFY(bytes(r.image) == original);
        QVERIFY(!tools_undo_available());
        const QImage restored = canvas->grab().toImage();
        const std::uint8_t* o = pixel(r.image, 80, row);
        QCOMPARE(restored.pixelColor(canvas_point(r, 80, row)), QColor(o[2], o[1], o[0]));

        // Undo All takes back several strokes at once; closing the tool empties the list.
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 30, 30));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 30, 30));
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 60, 30));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 60, 30));
        tools_undo_all(f.frame.workspace());
        QVERIFY(bytes(r.image) == original);
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 30, 30));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 30, 30));
        QVERIFY(tools_undo_available());
        delete tool;
        QVERIFY(!tools_undo_available());
        QCOMPARE(current_tool(), nullptr);
    }

    void lineToolDrawsBetweenPressAndRelease()
    {
        Fixture f;
        QVERIFY(f.open("chelsea.png"));
        mv::WindowRecord& r = f.window->record();
        auto* tool = static_cast<LineToolWindow*>(
            open_tool_window(f.frame.workspace(), LineToolWindow::kKind));
        QCOMPARE(tool->windowTitle(), QString("Line & Arrow Tool"));
        tool->move(540, 0);
        tool->tool().settings.color = {0, 0, 255};
        tool->tool().settings.width = 5;
        tool->headList()->select(mv::kHeadEnd);
        QCOMPARE(tool->tool().settings.head, int(mv::kHeadEnd));
        const std::vector<std::uint8_t> original = bytes(r.image);

        QWidget* canvas = f.window->canvas();
        const int row = r.image.height / 2;
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 20, row));
        QTest::mouseMove(canvas, canvas_point(r, 100, row));
        QTest::mouseMove(canvas, canvas_point(r, 200, row));
        QVERIFY(tool->tool().drawing);
        QVERIFY(bytes(r.image) == original); // only the rubber line while dragging
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 200, row));
        for (int c : {25, 100, 150}) {
            const std::uint8_t* p = pixel(r.image, c, row);
            QCOMPARE(int(p[0]), 255);
            QCOMPARE(int(p[1]), 0);
            QCOMPARE(int(p[2]), 0);
        }
        // Nothing far above or below the line changed.
        QVERIFY(std::equal(pixel(r.image, 100, row + 20), pixel(r.image, 100, row + 20) + 3,
                           original.begin() + (row + 20) * r.image.row_bytes + 300));
        QVERIFY(f.window->isModified());
        tools_undo(f.frame.workspace());
        QVERIFY(bytes(r.image) == original);
    }

    void cloneCopiesFromTheShiftPressedSource()
    {
        Fixture f;
        QVERIFY(f.open("chelsea.png"));
        mv::WindowRecord& r = f.window->record();
        auto* tool = static_cast<CloneToolWindow*>(
            open_tool_window(f.frame.workspace(), CloneToolWindow::kKind));
        QCOMPARE(tool->windowTitle(), QString("Clone"));
        tool->move(540, 0);
        mv::CloneTool& clone = tool->tool();
        clone.settings.brush.transparency = 0;
        clone.settings.brush.softness = 0;
        clone.settings.brush.radius = 4;
        QCOMPARE(mv::clone_rebuild_brush(clone), 0);
        mv::Image before;
        QCOMPARE(mv::image_clone(r.image, before), 0);

        QWidget* canvas = f.window->canvas();
        const int sx = 60, sy = r.image.height - 80, dx = 200, dy = r.image.height - 150;
        QTest::mousePress(canvas, Qt::LeftButton, Qt::ShiftModifier, canvas_point(r, sx, sy));
        QTest::mouseRelease(canvas, Qt::LeftButton, Qt::ShiftModifier, canvas_point(r, sx, sy));
        QCOMPARE(clone.source_window, tool_handle(f.window));
        // A stroke from the destination copies the pixels around the source along with it.
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, dx, dy));
        QTest::mouseMove(canvas, canvas_point(r, dx + 30, dy));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, dx + 30, dy));
        for (int off = 0; off <= 30; off += 5)
            for (int j = -2; j <= 2; ++j) {
                const std::uint8_t* got = pixel(r.image, dx + off, dy + j);
                const std::uint8_t* want = pixel(before, sx + off, sy + j);
                QVERIFY2(std::equal(got, got + 3, want),
                         qPrintable(QString("offset %1, %2").arg(off).arg(j)));
            }
        QVERIFY(f.window->isModified());
    }

    void strokesAreWeightedByTheWindowsMask()
    {
        Fixture f;
        QVERIFY(f.open("chelsea.png"));
        mv::WindowRecord& r = f.window->record();
        const std::vector<std::uint8_t> original = bytes(r.image);
        // A mask over the picture: 255 (held back) left of column 100, 0 from there on.
        mv::Image mask;
        QCOMPARE(mv::image_alloc(mask, mv::IMAGE_GRAY, r.image.width, r.image.height, 72), 0);
        for (int y = 0; y < mask.height; ++y)
            for (int x = 0; x < mask.width; ++x)
                mask.row(y)[x] = x < 100 ? 255 : 0;
        QCOMPARE(mv::mask_overlay_set(r, &mask, 0, mv::OverlayColor{255, 0, 0}), 0);
        QCOMPARE(tool_target(f.window).mask, &mask);

        auto* paint = static_cast<PaintToolWindow*>(open_tool_window(f.frame.workspace(), PaintToolWindow::kKind));
        paint->tool().settings.color = {0, 0, 255};
        paint->tool().settings.brush.transparency = 0;
        paint->tool().settings.brush.radius = 4;
        QCOMPARE(mv::paint_rebuild_brush(paint->tool()), 0);
        const int row = r.image.height - 50;
        QWidget* canvas = f.window->canvas();
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 80, row));
        QTest::mouseMove(canvas, canvas_point(r, 120, row));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 120, row));
        QCOMPARE(int(pixel(r.image, 110, row)[0]), 255);
        QCOMPARE(int(pixel(r.image, 110, row)[2]), 0);
        for (int c : {80, 90, 99})
            QVERIFY(std::equal(pixel(r.image, c, row), pixel(r.image, c, row) + 3,
                               original.begin() + (size_t(row) * size_t(r.image.row_bytes) + 3 * size_t(c))));
        delete paint;

        // The line tool takes the same mask.
        auto* line = static_cast<LineToolWindow*>(open_tool_window(f.frame.workspace(), LineToolWindow::kKind));
        line->tool().settings.color = {0, 255, 0};
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 60, row - 20));
        QTest::mouseMove(canvas, canvas_point(r, 140, row - 20));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 140, row - 20));
        QCOMPARE(int(pixel(r.image, 130, row - 20)[1]), 255);
        QCOMPARE(pixel(r.image, 70, row - 20)[1], original[size_t(row - 20) * size_t(r.image.row_bytes) + 3 * 70 + 1]);
        delete line;
        mv::mask_overlay_remove(r);
    }

    void screenshotOfPaintAndLine()
    {
        Fixture f;
        QVERIFY(f.open("coffee.png"));
        mv::WindowRecord& r = f.window->record();
        auto* paint = static_cast<PaintToolWindow*>(
            open_tool_window(f.frame.workspace(), PaintToolWindow::kKind));
        paint->move(540, 0);
        paint->tool().settings.color = {255, 220, 0};
        paint->tool().settings.brush.radius = 10;
        paint->tool().settings.brush.transparency = 10;
        QCOMPARE(mv::paint_rebuild_brush(paint->tool()), 0);
        QWidget* canvas = f.window->canvas();
        const int base = r.image.height - 100;
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 60, base));
        for (int i = 1; i <= 30; ++i)
            QTest::mouseMove(canvas, canvas_point(r, 60 + i * 10, base - int(40 * std::sin(i / 4.0))));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 360, base));
        auto* line = static_cast<LineToolWindow*>(
            open_tool_window(f.frame.workspace(), LineToolWindow::kKind));
        line->move(540, 330);
        line->tool().settings.color = {255, 0, 0};
        line->tool().settings.width = 6;
        line->headList()->select(mv::kHeadBoth);
        QTest::mousePress(canvas, Qt::LeftButton, {}, canvas_point(r, 80, base - 150));
        QTest::mouseMove(canvas, canvas_point(r, 380, base - 250));
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, canvas_point(r, 380, base - 250));
        f.frame.workspace()->setActiveSubWindow(paint);
        QTest::qWait(50);
        save_screenshot(&f.frame, "paint_and_line_tools");
    }
};

QTEST_MAIN(ToolsTest)
#include "tools_test.moc"
