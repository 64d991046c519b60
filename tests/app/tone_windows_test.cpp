#include "app_test_support.h"
#include "core/image.h"
#include "core/image_copy.h"
#include "shell/current_tool.h"
#include "shell/frame_window.h"
#include "shell/image_view.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/workspace_area.h"
#include "tone/color_space.h"
#include "tone/curve_files.h"
#include "tools/paint_tool.h"
#include "transform/color_swatch.h"
#include "transform/curve_control.h"
#include "transform/operation.h"
#include "transform/panels/brightness_curve_panel.h"
#include "transform/panels/color_balance_panel.h"
#include "transform/panels/color_curves_panel.h"
#include "transform/panels/levels_panel.h"
#include "transform/popup_list.h"
#include "transform/preview_window.h"
#include "transform/settings_file_dialog.h"
#include "transform/transformation_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <cstring>
#include <deque>
#include <fstream>

namespace {

bool same_pixels(const mv::Image& a, const mv::Image& b)
{
    if (a.type != b.type || a.width != b.width || a.height != b.height)
        return false;
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.row(y), b.row(y), size_t(a.row_bytes)) != 0)
            return false;
    return true;
}

// A settings-file dialog that answers with the given paths in turn and records its titles.
struct ScriptedFiles {
    std::deque<QString> answers;
    QStringList titles;
    ScriptedFiles()
    {
        set_settings_file_asker([this](QWidget*, const QString& title, const QString&, bool) {
            titles << title;
            if (answers.empty())
                return QString();
            const QString a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~ScriptedFiles() { set_settings_file_asker({}); }
};

QAction* menu_action(QMenu* menu, const QString& text)
{
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

} // namespace

class ToneWindowsTest : public QObject {
    Q_OBJECT
private:
    FrameWindow* frame_ = nullptr;
    ImageWindow* input_ = nullptr;
    QTemporaryDir dir_;

    TransformationWindow* open(const char* name)
    {
        const mv::Operation* op = mv::operation_find(name);
        if (!op || open_transformation(frame_->workspace(), *op, input_, [this] { return frame_->imageWindows(); }))
            return nullptr;
        return TransformationWindow::current();
    }

    void close(TransformationWindow* t)
    {
        t->press(mv::kButtonCancel);
        QTRY_VERIFY(!TransformationWindow::current());
    }

    // Apply, then the result beside the batch computation of the same settings.
    void expectApplyMatches(TransformationWindow* t, const mv::OperationValues& values)
    {
        QSignalSpy results(t, &TransformationWindow::resultCreated);
        t->press(mv::kButtonApply);
        QCOMPARE(results.count(), 1);
        const mv::Image& got = results.at(0).at(0).value<ImageWindow*>()->record().image;
        mv::Image expected;
        QCOMPARE(mv::operation_apply(t->operation(), values, input_->record().image, expected), 0);
        QVERIFY(same_pixels(got, expected));
    }

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase()
    {
        QCOMPARE(mv::engine_startup(), 0);
        frame_ = new FrameWindow;
        frame_->resize(1200, 900);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_));
        QCOMPARE(frame_->openPath(QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png")), 0);
        input_ = frame_->activeImageWindow();
        QVERIFY(input_ && input_->record().image.type == mv::IMAGE_COLOR);
    }
    void cleanupTestCase() { delete frame_; }

    void curveEditingRules()
    {
        RecordingSink sink;
        CurveControl c;
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QSignalSpy changed(&c, &CurveControl::curveChanged);
        QWidget* g = c.graph();

        // Shift-click inside the graph adds the clicked point; on an existing input it beeps.
        QTest::mouseClick(g, Qt::LeftButton, Qt::ShiftModifier, c.levelPosition(64, 100));
        QCOMPARE(c.curve().count, 3);
        QCOMPARE(c.curve().x[1], 64);
        QCOMPARE(c.curve().y[1], 100);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(c.addPoint(64, 10), -1);

        // The bottom mark drags only the input, and never past a neighbour.
        QTest::mousePress(g, Qt::LeftButton, {}, c.inputMarkPosition(1));
        QCOMPARE(c.dragMode(), int(CurveControl::kDragInput));
        QTest::mouseMove(g, c.levelPosition(300, 0));
        QTest::mouseRelease(g, Qt::LeftButton, {}, c.levelPosition(300, 0));
        QCOMPARE(c.curve().x[1], 254);
        QCOMPARE(c.curve().y[1], 100);
        QCOMPARE(changed.count(), 2);

        // Ctrl-click deletes, except the last two points.
        QTest::mouseClick(g, Qt::LeftButton, Qt::ControlModifier, c.pointPosition(1));
        QCOMPARE(c.curve().count, 2);
        QVERIFY(!c.removePoint(0));
        for (int x = 1; x < 63; ++x)
            QVERIFY(c.addPoint(x * 4, x * 4) >= 0);
        QCOMPARE(c.curve().count, 64);
        QCOMPARE(c.addPoint(3, 3), -1); // a 65th point

        // The drawn table is the engine's; stair steps start flat at the first output.
        c.setStyle(mv::CURVE_STEP);
        QVERIFY(c.styleButton(mv::CURVE_STEP)->isChecked());
        std::uint8_t t[256];
        mv::curve_table8(c.curve(), t);
        QVERIFY(std::memcmp(t, c.table(), 256) == 0);
        c.reset();
        c.setStyle(mv::CURVE_STEP);
        QCOMPARE(int(c.table()[255]), 0);
        c.setHistograms({CurveHistogram{}});
        c.setView(CurveControl::kShowHistograms);
        save_screenshot(&c, "curve_control_histograms");

        // Files: Save As appends .crv, refuses another extension; an illegal file resets.
        ScriptedFiles files;
        c.invert();
        files.answers = {path("curve.txt"), path("curve")};
        QCOMPARE(c.saveAs(), 0);
        QCOMPARE(files.titles, QStringList({"Save Curve", "Save Curve"}));
        QCOMPARE(sink.messages.back().text, std::string("Curve files must have an extension of .crv"));
        mv::Curve back;
        QCOMPARE(mv::curve_file_read(path("curve.crv").toStdString(), back), 0);
        QCOMPARE(back.y[0], 255);
        QCOMPARE(back.style, int(mv::CURVE_STEP));
        {
            std::ofstream bad(path("bad.crv").toStdString());
            bad << "Curve 1.0\nnpts 65\nend\n";
        }
        files.answers = {path("bad.crv")};
        QCOMPARE(c.load(), int(mv::kIllegalCurveFile));
        QCOMPARE(sink.messages.back().text, std::string("Illegal curve file"));
        QCOMPARE(c.curve().y[0], 0);
        QCOMPARE(c.curve().style, int(mv::CURVE_SPLINE));
    }

    void brightnessCurveDragPreviewAndApply()
    {
        TransformationWindow* t = open("brightness-curve");
        QVERIFY(t);
        auto* panel = qobject_cast<BrightnessCurvePanel*>(t->panel());
        QVERIFY(panel);
        QVERIFY(!t->paramControl(0)->isVisible());
        CurveControl* c = panel->curve();
        t->autoBox()->click();
        QVERIFY(t->preview());
        const mv::Image before = [&] {
            mv::Image copy;
            mv::image_copy(t->preview()->record().display, copy);
            return copy;
        }();

        // Drag a new middle point up: the preview follows on the release.
        QTest::mouseClick(c->graph(), Qt::LeftButton, Qt::ShiftModifier, c->levelPosition(100, 100));
        QTest::mousePress(c->graph(), Qt::LeftButton, {}, c->pointPosition(1));
        QTest::mouseMove(c->graph(), c->levelPosition(100, 170));
        QTest::mouseRelease(c->graph(), Qt::LeftButton, {}, c->levelPosition(100, 170));
        QCOMPARE(c->curve().y[1], 170);
        QTest::qWait(20);
        save_screenshot(frame_, "brightness_curve");

        // Every preview pixel is the engine's curve applied to the pixel it showed before.
        const mv::Image& after = t->preview()->record().display;
        QVERIFY(!same_pixels(before, after));
        QVERIFY(mv::curve_file_write(path("drag.crv").toStdString(), c->curve()) == 0);
        mv::OperationValues values = mv::operation_defaults(t->operation());
        values.texts[0] = path("drag.crv").toStdString();
        mv::Image expected;
        QCOMPARE(mv::operation_apply(t->operation(), values, before, expected), 0);
        QVERIFY(same_pixels(after, expected));

        // Apply gives what the batch tool gives for the same curve and colour space.
        auto* space = qobject_cast<PopupList*>(t->paramControl(1));
        QVERIFY(space && space->isVisible());
        space->select(mv::CURVE_SPACE_RGB);
        values.numbers[1] = mv::CURVE_SPACE_RGB;
        expectApplyMatches(t, values);

        // The probe marks the level read from the picture.
        c->probeButton()->click();
        QCOMPARE(current_tool(), static_cast<ToolHandler*>(&panel->probe()));
        QTest::mouseClick(input_->canvas(), Qt::LeftButton, {}, QPoint(20, 20));
        const mv::ImagePoint p = mv::window_to_image(input_->record(), 20, 20, false);
        mv::Rgb rgb;
        QVERIFY(mv::probe_color(input_->record().image, p.column, p.row, 3, rgb));
        QCOMPARE(int(c->probeMarks().size()), 3);
        QCOMPARE(c->probeMarks()[1].level, rgb.green);
        close(t);
        QTRY_VERIFY(!current_tool());
    }

    void colorCurvesChannelsAndFiles()
    {
        RecordingSink sink;
        ScriptedFiles files;
        TransformationWindow* t = open("color-curves");
        QVERIFY(t);
        auto* panel = qobject_cast<ColorCurvesPanel*>(t->panel());
        QVERIFY(panel);
        panel->spaceList()->select(mv::CURVE_SPACE_RGB);
        panel->channelList(mv::CURVE_SPACE_RGB)->select(2);
        panel->curve()->addPoint(128, 60);
        QCOMPARE(panel->curves().curves[2].count, 3);
        QCOMPARE(panel->curves().curves[0].count, 2);
        QTest::qWait(20);
        save_screenshot(t, "color_curves");

        files.answers = {path("cc")};
        QCOMPARE(panel->saveAs(), 0);
        mv::OperationValues values = mv::operation_defaults(t->operation());
        values.texts[0] = path("cc.cc").toStdString();
        expectApplyMatches(t, values);

        {
            std::ofstream bad(path("bad.cc").toStdString());
            bad << "ColorCurves 1.0\nnpts2 2\nbogus 1\nend\n";
        }
        files.answers = {path("bad.cc")};
        QCOMPARE(panel->load(), int(mv::kIllegalColorCurveFile));
        QCOMPARE(sink.messages.back().text, std::string("Illegal color curve file"));
        QCOMPARE(panel->curves().curves[2].count, 2);
        files.answers = {path("cc.cc")};
        QCOMPARE(panel->load(), 0);
        QCOMPARE(panel->curves().curves[2].y[1], 60);
        QCOMPARE(panel->curve()->curve().y[1], 60); // channel B is still the one shown
        close(t);
    }

    void levelsRangeProbeAndApply()
    {
        TransformationWindow* t = open("levels-and-color");
        QVERIFY(t);
        auto* panel = qobject_cast<LevelsPanel*>(t->panel());
        QVERIFY(panel);
        const mv::LevelsSettings measured = panel->settings();
        QVERIFY(measured.black < measured.white);
        QCOMPARE(measured.range_low, measured.black);
        QCOMPARE(measured.range_high, measured.white);

        // Dragging the low knob to the left end sets the range's low end.
        LevelsRangeControl* range = panel->rangeControl();
        const int y = range->height() - 3;
        QTest::mousePress(range, Qt::LeftButton, {}, QPoint(range->positionOf(measured.black), y));
        QTest::mouseMove(range, QPoint(0, y));
        QTest::mouseRelease(range, Qt::LeftButton, {}, QPoint(0, y));
        QCOMPARE(panel->settings().range_low, 0);
        QCOMPARE(panel->settings().range_high, measured.white);
        QVERIFY(panel->rangeLabel()->text().startsWith("Dynamic Range: 0.0%.."));

        menu_action(panel->optionsMenu(), "&Full Range")->trigger();
        QCOMPARE(panel->settings().range_high, 255);
        ColorSwatch::setPicker([](QWidget*, const QColor&, const QString& title) {
            return title == "Color Balance" ? QColor(255, 200, 180) : QColor();
        });
        panel->balanceSwatch()->pick();
        ColorSwatch::setPicker({});
        QCOMPARE(int(panel->settings().balance[1]), 200);

        // The probe reads the value under the pointer and shows what the levels make of it.
        panel->probeButton()->click();
        QTest::mouseClick(input_->canvas(), Qt::LeftButton, {}, QPoint(30, 40));
        const mv::ImagePoint p = mv::window_to_image(input_->record(), 30, 40, false);
        mv::Rgb rgb;
        QVERIFY(mv::probe_color(input_->record().image, p.column, p.row, 5, rgb));
        const int level = mv::color_max(rgb.red, rgb.green, rgb.blue);
        QCOMPARE(range->probeLevel(), level);
        std::uint8_t table[256];
        mv::levels_level_table(measured.black, measured.white, 0, 255, 0, table);
        QCOMPARE(panel->probeReadout()->text(), QStringLiteral("Level %1 \u2192 %2").arg(level).arg(table[level]));
        t->press(mv::kButtonPreview);
        QTest::qWait(20);
        save_screenshot(frame_, "levels_and_color");

        mv::OperationValues values = mv::operation_defaults(t->operation());
        values.numbers[3] = 1; // "Full Range"
        values.numbers[5] = 200;
        values.numbers[6] = 180;
        expectApplyMatches(t, values);

        // Reset: the measured range, white balance, no probe reading changes it.
        menu_action(panel->optionsMenu(), "&Reset")->trigger();
        QCOMPARE(panel->settings().range_low, measured.black);
        QCOMPARE(int(panel->settings().balance[1]), 255);
        close(t);
    }

    void colorBalanceFilesAndProbe()
    {
        RecordingSink sink;
        ScriptedFiles files;
        TransformationWindow* t = open("color-balance");
        QVERIFY(t);
        auto* panel = qobject_cast<ColorBalancePanel*>(t->panel());
        QVERIFY(panel);
        QCOMPARE(panel->modeList(0)->index(), int(mv::BALANCE_AUTO));
        QCOMPARE(panel->removeSwatch(0)->button()->toolTip(), QStringLiteral("Click to set highlight color to remove"));

        // A colour picked for the shadow makes it custom; the probe sets the midtone's remove colour.
        QString asked;
        ColorSwatch::setPicker([&asked](QWidget*, const QColor&, const QString& title) {
            asked = title;
            return QColor(30, 20, 10);
        });
        panel->addSwatch(2)->pick();
        ColorSwatch::setPicker({});
        QCOMPARE(asked, QStringLiteral("Add Shadow Cast"));
        QCOMPARE(panel->modeList(2)->index(), int(mv::BALANCE_CUSTOM));
        QCOMPARE(int(panel->settings().shadow_add[0]), 30);
        panel->probeList()->select(mv::PROBE_MIDTONE);
        QTest::mouseClick(input_->canvas(), Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(panel->modeList(1)->index(), int(mv::MIDTONE_CUSTOM));
        QVERIFY(panel->settings().midtone_on);
        QCOMPARE(int(panel->settings().shadow_add[0]), 30);
        panel->probeList()->select(mv::PROBE_NONE);
        QVERIFY(!current_tool());
        t->press(mv::kButtonPreview);
        QTest::qWait(20);
        save_screenshot(frame_, "color_balance");

        // Save, reset, load back: the same settings and the batch tool's result.
        files.answers = {path("cast.cb")};
        QCOMPARE(panel->saveAs(), 0);
        const mv::ColorBalanceSettings saved = panel->settings();
        menu_action(panel->optionsMenu(), "&Reset")->trigger();
        QCOMPARE(panel->modeList(2)->index(), int(mv::BALANCE_NONE));
        QCOMPARE(int(panel->settings().shadow_add[0]), 0);
        files.answers = {path("cast.cb")};
        QCOMPARE(panel->load(), 0);
        QVERIFY(std::memcmp(panel->settings().midtone_remove, saved.midtone_remove, 3) == 0);
        QVERIFY(std::memcmp(panel->settings().shadow_add, saved.shadow_add, 3) == 0);
        QVERIFY(std::memcmp(panel->settings().highlight_add, saved.highlight_add, 3) == 0);
        mv::OperationValues values = mv::operation_defaults(t->operation());
        values.texts[3] = path("cast.cb").toStdString();
        expectApplyMatches(t, values);

        // An illegal file is reported and resets.
        {
            std::ofstream bad(path("bad.cb").toStdString());
            bad << "ColorBalance 1.0\nbogus 1\nend\n";
        }
        files.answers = {path("bad.cb")};
        QCOMPARE(panel->load(), int(mv::kIllegalColorBalanceFile));
        QCOMPARE(sink.messages.back().text, std::string("Illegal color balance file"));
        QCOMPARE(panel->modeList(0)->index(), int(mv::BALANCE_AUTO));
        QCOMPARE(panel->modeList(1)->index(), int(mv::MIDTONE_NONE));
        close(t);
    }
};

QTEST_MAIN(ToneWindowsTest)
#include "tone_windows_test.moc"
