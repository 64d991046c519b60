#include "app_test_support.h"
#include "core/image.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "transform/amount_control.h"
#include "transform/operation.h"
#include "transform/preview_window.h"
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
};

QTEST_MAIN(TransformationWindowTest)
#include "transformation_window_test.moc"
