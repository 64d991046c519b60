// The windows of Convert, Extract Channel, Combine Channels, Posterize and Halftone: their own
// controls, and results equal to the engine's (and so to the batch tool's) for the same
// settings.
#include "app_test_support.h"
#include "core/image.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "transform/image_selector.h"
#include "transform/operation.h"
#include "transform/panels/combine_channels_panel.h"
#include "transform/panels/convert_panel.h"
#include "transform/panels/halftone_panel.h"
#include "transform/panels/posterize_panel.h"
#include "transform/popup_list.h"
#include "transform/preview_window.h"
#include "transform/transformation_window.h"
#include "transform/use_registry.h"
#include "reduce/halftone.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <cstring>

namespace {

bool same_pixels(const mv::Image& a, const mv::Image& b)
{
    if (a.type != b.type || a.width != b.width || a.height != b.height || a.empty())
        return false;
    const size_t bytes = size_t(a.width) * size_t(mv::image_pixel_bytes(a.type));
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.row(y), b.row(y), bytes) != 0)
            return false;
    return true;
}

struct Editor {
    FrameWindow frame;
    Editor()
    {
        frame.resize(1200, 860);
        frame.show();
    }
    TransformationWindow* open(const char* name, ImageWindow* input)
    {
        const mv::Operation* op = mv::operation_find(name);
        if (!op || open_transformation(frame.workspace(), *op, input, [this] { return frame.imageWindows(); }))
            return nullptr;
        return TransformationWindow::current();
    }
    // Applies and returns the new window.
    ImageWindow* apply(TransformationWindow* t)
    {
        QSignalSpy results(t, &TransformationWindow::resultCreated);
        t->press(mv::kButtonApply);
        return results.isEmpty() ? nullptr : results.at(0).at(0).value<ImageWindow*>();
    }
    void close(TransformationWindow* t)
    {
        t->press(mv::kButtonCancel);
        QTRY_VERIFY(!TransformationWindow::current());
    }
};

} // namespace

class ReduceWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(mv::engine_startup(), 0); }

    void convertExtractAndCombineChannels()
    {
        Editor e;
        QVERIFY(QTest::qWaitForWindowExposed(&e.frame));
        QCOMPARE(e.frame.openPath(QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png")), 0);
        ImageWindow* cat = e.frame.activeImageWindow();

        // Convert names the source's type and starts at it.
        TransformationWindow* t = e.open("convert", cat);
        QVERIFY(t);
        auto* convert = qobject_cast<ConvertPanel*>(t->panel());
        QVERIFY(convert);
        QCOMPARE(convert->sourceLabel()->text(), QStringLiteral("Convert from: Color"));
        QCOMPARE(qobject_cast<PopupList*>(t->paramControl(0))->index(), 2);
        QVERIFY(!t->amountControl());
        save_screenshot(t, "convert_window");
        e.close(t);

        // Extract each channel into a gray window.
        ImageWindow* channels[3] = {};
        t = e.open("extract-channel", cat);
        QVERIFY(t);
        save_screenshot(t, "extract_channel_window");
        for (int c = 0; c < 3; ++c) {
            t->setValue(0, 2 + c); // Red, Green, Blue
            QCOMPARE(qobject_cast<PopupList*>(t->paramControl(0))->index(), 2 + c);
            channels[c] = e.apply(t);
            QVERIFY(channels[c]);
            QCOMPARE(channels[c]->record().image.type, int(mv::IMAGE_GRAY));
        }
        e.close(t);

        // Combine Channels over the three gray windows gives the picture back in RGB.
        t = e.open("combine-channels", channels[0]);
        QVERIFY(t);
        auto* combine = qobject_cast<CombineChannelsPanel*>(t->panel());
        QVERIFY(combine);
        QVERIFY(!t->inputSelector()->isVisible());
        QVERIFY(t->paramControl(0)->isVisible()); // "Color Space:" even for a gray picture
        QCOMPARE(combine->selector(0)->candidates().size(), 3); // the colour picture is no channel
        {
            RecordingSink sink;
            t->press(mv::kButtonPreview); // no picture chosen yet
            QCOMPARE(sink.messages.size(), size_t(1));
            QCOMPARE(sink.messages[0].text, std::string("No image specified or images not all the same type"));
        }
        for (int c = 0; c < 3; ++c)
            combine->selector(c)->choose(channels[c]);
        QCOMPARE(mv::use_find(app_use_list(), static_cast<ChildWindow*>(channels[2])).value_or(""),
                 std::string("Color Image Control"));
        t->press(mv::kButtonPreview);
        QVERIFY(t->preview());
        save_screenshot(t, "combine_channels_window");
        ImageWindow* rgb = e.apply(t);
        QVERIFY(rgb);
        QVERIFY(same_pixels(rgb->record().image, cat->record().image));
        e.close(t);
        // Closed with its window, the selector lets the channel go.
        QTRY_VERIFY(!mv::use_find(app_use_list(), static_cast<ChildWindow*>(channels[2])));
    }

    void posterizeColoursAndHalftoneScreen()
    {
        Editor e;
        QVERIFY(QTest::qWaitForWindowExposed(&e.frame));
        QCOMPARE(e.frame.openPath(QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png")), 0);
        ImageWindow* cat = e.frame.activeImageWindow();

        TransformationWindow* t = e.open("posterize", cat);
        QVERIFY(t);
        auto* post = qobject_cast<PosterizePanel*>(t->panel());
        QVERIFY(post);
        QVERIFY(post->swatch(false, 1)->isVisible());
        QVERIFY(!post->swatch(false, 2)->isVisible()); // only the first N
        QVERIFY(!post->swatch(true, 0)->isVisible());  // no remapping yet
        t->setValue(0, 3);
        QVERIFY(post->swatch(false, 2)->isVisible());
        ImageSelector::setPicker([](QWidget*, const QColor&, const QString& title) {
            return title == "Color 2" ? QColor(200, 40, 40) : QColor(20, 90, 200);
        });
        post->swatch(false, 1)->click();
        post->swatch(false, 2)->click();
        ImageSelector::setPicker(nullptr);
        t->setValue(1, 1); // Remap Colors
        QVERIFY(post->swatch(true, 2)->isVisible());
        post->setColor(true, 1, QColor(255, 255, 0));
        ImageWindow* result = e.apply(t);
        QVERIFY(result);

        // The batch tool's texts for the same colours give the same bits.
        const mv::Operation& op = *mv::operation_find("posterize");
        mv::OperationValues v = mv::operation_defaults(op);
        std::string message;
        for (const auto& [key, text] : {std::pair{"number-of-colors", "3"}, std::pair{"remap-colors", "on"},
                                        std::pair{"palette", "000000,C82828,145AC8"},
                                        std::pair{"remapped-palette", "000000,FFFF00,FFFFFF"}})
            QVERIFY2(mv::operation_set(op, v, key, text, message), message.c_str());
        mv::Image expected;
        QCOMPARE(mv::operation_apply(op, v, cat->record().image, expected), 0);
        QVERIFY(same_pixels(result->record().image, expected));

        // Auto Palette: eight colours from the picture, in both palettes.
        t->setValue(0, 8);
        QCOMPARE(post->autoPalette(), 0);
        QCOMPARE(post->color(true, 5), post->color(false, 5));
        t->autoBox()->click();
        QVERIFY(t->preview());
        QTest::qWait(20);
        save_screenshot(t, "posterize_window");
        save_screenshot(&e.frame, "posterize_auto8");
        e.close(t);

        // Halftone: "Custom" needs a screen image window, any 8-bit gray one.
        t = e.open("extract-channel", cat);
        QVERIFY(t);
        ImageWindow* gray = e.apply(t);
        QVERIFY(gray);
        e.close(t);
        t = e.open("halftone", cat);
        QVERIFY(t);
        auto* ht = qobject_cast<HalftonePanel*>(t->panel());
        QVERIFY(ht);
        QVERIFY(!t->paramControl(1)->isVisible()); // the batch tool's screen file
        t->setValue(0, mv::kHalftoneCustom);
        {
            RecordingSink sink;
            t->press(mv::kButtonPreview);
            QCOMPARE(sink.messages.size(), size_t(1));
            QCOMPARE(sink.messages[0].text, std::string("No halftone screen image specified"));
        }
        QCOMPARE(ht->screenSelector()->candidates().size(), 1);
        ht->screenSelector()->choose(gray);
        result = e.apply(t);
        QVERIFY(result);
        mv::HalftoneSettings custom;
        mv::halftone_set_method(custom, mv::kHalftoneCustom);
        custom.screen = &gray->record().image;
        QCOMPARE(mv::transformation_apply(mv::halftone_region, &custom, cat->record().image, expected, "Halftone"), 0);
        QVERIFY(same_pixels(result->record().image, expected));
        t->setValue(0, 3); // Classical 8x8
        t->autoBox()->click();
        QVERIFY(t->preview());
        QTest::qWait(20);
        save_screenshot(t, "halftone_window");
        save_screenshot(&e.frame, "halftone_classical8");
        e.close(t);
    }
};

QTEST_MAIN(ReduceWindowsTest)
#include "reduce_windows_test.moc"
