#include "app_test_support.h"

#include "core/display_lookup.h"
#include "shell/calibration.h"
#include "shell/calibration_window.h"

#include <QColorDialog>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class CalibrationWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(QString::fromStdString(mv::calibration_path(calibrationConfigFolder().toStdString())));
    }
    void cleanup()
    {
        mv::reset_display_lookup();
        mv::calibration_curve() = mv::calibration_default();
    }

    void startupWarnsWhenFileIsAbsent()
    {
        RecordingSink sink;
        load_monitor_calibration();
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].title, std::string("Warning"));
        QCOMPARE(sink.messages[0].text,
                 std::string("Monitor calibration data not found.\nPerform calibration to eliminate\n"
                             "this warning in future sessions."));
    }

    void missingReferenceGives92()
    {
        QTemporaryDir empty;
        CalibrationWindow::setReferenceFolder(empty.path());
        QMdiArea area;
        RecordingSink sink;
        QCOMPARE(CalibrationWindow::open(&area), 92);
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, std::string("Missing reference image file: refimg.jpg"));
        QVERIFY(area.subWindowList().isEmpty());
        CalibrationWindow::setReferenceFolder(QStringLiteral(MORVANE_SAMPLES_DIR));
    }

    void cancelRestoresTables()
    {
        mv::calibration_install(mv::calibration_default());
        QCOMPARE(int(mv::display_lookup().blue[255]), 235);
        QMdiArea area;
        area.resize(800, 700);
        area.show();
        CalibrationWindow* w = nullptr;
        QCOMPARE(CalibrationWindow::open(&area, &w), 0);
        QVERIFY(w);
        QCOMPARE(w->kind(), 14);
        QCOMPARE(w->windowTitle(), QStringLiteral("Monitor Calibration"));
        // Identity while open.
        QCOMPARE(int(mv::display_lookup().blue[255]), 255);
        QCOMPARE(w->densityField(0)->text(), QStringLiteral("1.99"));
        QCOMPARE(w->densityField(4)->text(), QStringLiteral("0.20"));
        QVERIFY(w->viewButton(CalibrationWindow::kCurve)->isChecked());

        w->setLevel(1, 140);
        QCOMPARE(int(w->workingTables().red[74]), 140);
        w->press(CalibrationWindow::kCancel);
        QTest::qWait(0);
        QVERIFY(!CalibrationWindow::current());
        QCOMPARE(int(mv::display_lookup().blue[255]), 235);
        QCOMPARE(mv::calibration_curve().level[2], 74);
    }

    void dragChooseAndAcceptSaves()
    {
        QMdiArea area;
        area.resize(800, 700);
        area.show();
        CalibrationWindow* w = nullptr;
        QCOMPARE(CalibrationWindow::open(&area, &w), 0);
        QVERIFY(QTest::qWaitForWindowExposed(&area));

        // Drag the middle point to the top of the graph: level 255.
        CalibrationCurveView* view = w->curveView();
        const QPoint start = view->pointPosition(2);
        QTest::mousePress(view, Qt::LeftButton, {}, start);
        QTest::mouseMove(view, QPoint(start.x(), view->graph().top() - 1));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(start.x(), view->graph().top() - 1));
        QCOMPARE(w->working().level[3], 255);

        // A point's colour chooser is titled by its number from 1.
        QTest::mouseClick(view, Qt::LeftButton, {}, view->swatch(0).center());
        QVERIFY(w->chooser());
        QCOMPARE(w->chooser()->windowTitle(), QStringLiteral("Color 1"));
        w->chooser()->setCurrentColor(QColor(255, 0, 255));
        QCOMPARE(int(w->working().color[1][1]), 0);

        w->viewButton(CalibrationWindow::kWhite)->click();
        QVERIFY(w->chooser());
        QCOMPARE(w->chooser()->windowTitle(), QStringLiteral("White Point"));
        w->setWhite(QColor(250, 0, 240));
        save_screenshot(w, QStringLiteral("calibration_window_white"));
        w->showView(CalibrationWindow::kCurve);
        save_screenshot(w, QStringLiteral("calibration_window"));

        w->densityField(1)->setText(QStringLiteral("1.50"));
        emit w->densityField(1)->editingFinished();
        QCOMPARE(w->working().density[1], 1.5);

        RecordingSink sink;
        sink.answer = mv::kResultYes;
        const mv::CalibrationCurve chosen = w->working();
        w->press(CalibrationWindow::kOk);
        QTest::qWait(0);
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, std::string("Save settings for future sessions?"));
        QVERIFY(mv::calibration_curve() == chosen);
        QCOMPARE(int(mv::display_lookup().green[200]), 0);
        QCOMPARE(int(mv::display_lookup().red[255]), 250);

        // The saved file is what the next start-up reads.
        mv::calibration_curve() = mv::calibration_default();
        QCOMPARE(mv::calibration_startup(calibrationConfigFolder().toStdString()), 0);
        QVERIFY(mv::calibration_curve() == chosen);
        QFile::remove(QString::fromStdString(mv::calibration_path(calibrationConfigFolder().toStdString())));
    }

    void resetRestoresDefaults()
    {
        QMdiArea area;
        CalibrationWindow* w = nullptr;
        QCOMPARE(CalibrationWindow::open(&area, &w), 0);
        w->setLevel(0, 0);
        w->setPointColor(4, Qt::red);
        w->press(CalibrationWindow::kReset);
        QVERIFY(w->working() == mv::calibration_default());
        w->close();
        QTest::qWait(0);
        QVERIFY(!CalibrationWindow::current());
    }
};

QTEST_MAIN(CalibrationWindowTest)
#include "calibration_window_test.moc"
