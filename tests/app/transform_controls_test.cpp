#include "app_test_support.h"
#include "shell/startup.h"
#include "shell/image_window.h"
#include "transform/amount_control.h"
#include "transform/integer_field.h"
#include "transform/popup_list.h"
#include "transform/slider.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

class TransformControlsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(mv::engine_startup(), 0); }

    void sliderMapsPixelsAndReportsOnRelease()
    {
        Slider slider;
        slider.resize(520, Slider::kHeight);
        slider.setValues(512);
        QCOMPARE(slider.positionOf(512), 512 * 512 / 1024 + 4);
        QCOMPARE(slider.valueAt(4), 0);
        QCOMPARE(slider.valueAt(516), 1024);
        QSignalSpy moving(&slider, &Slider::sliderMoving);
        QSignalSpy released(&slider, &Slider::sliderReleased);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(132, 12));
        QTest::mouseMove(&slider, QPoint(260, 12));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(260, 12));
        QVERIFY(moving.count() >= 1);
        QCOMPARE(released.count(), 1);
        QCOMPARE(slider.low(), (260 - 4) * 1024 / 512);

        // With two knobs a press in the upper half drags the high knob.
        slider.setValues(100, 900);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(300, 3));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(300, 3));
        QCOMPARE(slider.low(), 100);
        QCOMPARE(slider.high(), (300 - 4) * 1024 / 512);
    }

    void amountLabelFollowsTheBlock()
    {
        AmountControl amount(nullptr);
        amount.resize(292, amount.height());
        QCOMPARE(amount.label()->text(), QStringLiteral("Amount: 100%"));
        mv::AmountBlock signedBlock = amount.block();
        signedBlock.low = 0;
        signedBlock.is_signed = 1;
        amount.load(signedBlock);
        QCOMPARE(amount.label()->text(), QStringLiteral("Amount: -100%"));
        QSignalSpy changed(&amount, &AmountControl::amountChanged);
        QTest::mousePress(amount.slider(), Qt::LeftButton, {}, QPoint(amount.slider()->positionOf(512), 8));
        QTest::mouseRelease(amount.slider(), Qt::LeftButton, {}, QPoint(amount.slider()->positionOf(512), 8));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(amount.label()->text(), QStringLiteral("Amount: 0%"));
        QVERIFY(amount.maskCandidates().isEmpty());
        save_screenshot(&amount, "amount_control");
    }

    void popupSeparatorsAreDisabledAndIntegerFieldsClamp()
    {
        PopupList list("Channel:", {"Luminance", "-", "Red", "Green"}, 0);
        auto* model = qobject_cast<QStandardItemModel*>(list.box()->model());
        QVERIFY(!model->item(1)->isEnabled());
        QVERIFY(model->item(2)->isEnabled());
        QSignalSpy chosen(&list, &PopupList::popupChanged);
        list.select(3);
        list.select(9);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(list.index(), 3);

        IntegerField field("Number of colors:", 2, 32, 2);
        QSignalSpy changed(&field, &IntegerField::integerChanged);
        field.edit()->setText("40");
        emit field.edit()->editingFinished();
        QCOMPARE(field.value(), 32);
        field.edit()->setText("abc");
        emit field.edit()->editingFinished();
        QCOMPARE(field.value(), 32);
        QCOMPARE(field.edit()->text(), QStringLiteral("32"));
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_MAIN(TransformControlsTest)
#include "transform_controls_test.moc"
