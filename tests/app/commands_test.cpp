#include "app_test_support.h"
#include "settings/preferences.h"
#include "settings/preferences_window.h"
#include "settings/settings_io.h"
#include "settings/settings_store.h"
#include "shell/clipboard.h"
#include "shell/command_table.h"
#include "shell/frame_window.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/tool_bar.h"
#include "shell/toolbar_model.h"
#include "shell/window_records.h"
#include "shell/blink_window.h"
#include "shell/print_commands.h"
#include "tools/tool_commands.h"
#include "resources/tool_icons.h"
#include "transform/transformation_window.h"
#include "shell/workspace_area.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <cstring>

namespace {

QAction* commandAction(QMenu* menu, int id)
{
    for (QAction* a : menu->actions())
        if (a->data().toInt() == id)
            return a;
    return nullptr;
}

// A window of its own for a picture made in the test.
ImageWindow* addWindow(FrameWindow& frame, int type, int width, int height)
{
    int index = -1;
    mv::WindowRecord* record = nullptr;
    if (mv::window_record_allocate(index, record) || mv::image_alloc(record->image, type, width, height, 100.0))
        return nullptr;
    record->zoom = 1;
    auto* w = new ImageWindow(frame.workspace(), index);
    w->show();
    w->pictureChanged();
    frame.workspace()->setActiveSubWindow(w);
    return w;
}

bool samePixels(const mv::Image& a, const mv::Image& b)
{
    if (a.type != b.type || a.width != b.width || a.height != b.height)
        return false;
    const int used = (a.type == mv::IMAGE_BINARY) ? (a.width + 7) / 8 : a.width * (a.type == mv::IMAGE_COLOR ? 3 : 1);
    for (int y = 0; y < a.height; ++y)
        if (std::memcmp(a.row(y), b.row(y), size_t(used)) != 0)
            return false;
    return true;
}

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(configDir_.isValid());
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir_.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDir_.path());
        QCOMPARE(mv::engine_startup(), 0);
    }

    void preferencesAndStateSurviveTheSettingsStore()
    {
        mv::Preferences& p = mv::preferences();
        const mv::Preferences before = p;
        p.confirm = false;
        p.workspace = {10, 128, 250};
        p.border_width = 17;
        p.startup_directory = "/tmp/pictures, old";
        p.default_resolution = 300.5;
        p.undo = mv::kUndoSingle;
        p.file_list_length = 3;
        p.default_save_type = 5;
        settings_save_preferences();
        mv::program_state().recent_files = {"/a/one.tif", "/b/two.png", "/c/three.jpg", "/d/four.bmp"};
        mv::program_state().ribbon_orientation = 1;
        settings_save_state();

        // The values are text in the two groups.
        QSettings raw(QStringLiteral("Halvern"), QStringLiteral("Morvane"));
        QCOMPARE(raw.value("Preferences/confirm").toString(), QStringLiteral("no"));
        QCOMPARE(raw.value("State/version").toString(), QStringLiteral("1.0"));

        p = mv::Preferences{};
        mv::program_state() = mv::ProgramState{};
        settings_load_all();
        QCOMPARE(p.confirm, false);
        QCOMPARE(p.workspace, (mv::Rgb{10, 128, 250}));
        QCOMPARE(p.border_width, 17);
        QCOMPARE(p.startup_directory, std::string("/tmp/pictures, old"));
        QCOMPARE(p.default_resolution, 300.5);
        QCOMPARE(p.undo, int(mv::kUndoSingle));
        QCOMPARE(p.default_save_type, 5);
        // Only the slots the file list shows are read back.
        QCOMPARE(mv::program_state().recent_files[2], std::string("/c/three.jpg"));
        QCOMPARE(mv::program_state().recent_files[3], std::string());
        QCOMPARE(mv::program_state().ribbon_orientation, 1);

        // A non-text value is skipped.
        raw.setValue("Preferences/nfilemenu", QStringList{"1", "2"});
        raw.sync();
        settings_load_all();
        QCOMPARE(p.file_list_length, 4);

        p = before;
        mv::program_state() = mv::ProgramState{};
    }

    void preferencesWindowLimitsAndCancel()
    {
        RecordingSink sink;
        sink.answer = mv::kResultNo;
        FrameWindow frame;
        frame.show();
        const mv::Preferences before = mv::preferences();
        frame.runCommand(mv::kCmdPreferences);
        PreferencesWindow* w = PreferencesWindow::current();
        QVERIFY(w);
        QCOMPARE(w->kind(), 30);
        QCOMPARE(w->windowTitle(), QStringLiteral("Preferences"));
        // A second request activates the same window.
        frame.runCommand(mv::kCmdPreferences);
        QCOMPARE(PreferencesWindow::current(), w);
        const QList<QSpinBox*> spins = w->findChildren<QSpinBox*>();
        QCOMPARE(spins.size(), 2);
        QCOMPARE(spins[0]->maximum(), 32);
        QCOMPARE(spins[1]->maximum(), 10);
        QList<QComboBox*> lists = w->findChildren<QComboBox*>();
        QCOMPARE(lists.size(), 4);
        lists[1]->setCurrentIndex(0); // undo "none" applies at once
        QCOMPARE(mv::preferences().undo, 0);
        w->findChild<QLineEdit*>("resolutionEdit")->setText("5000");
        save_screenshot(&frame, "preferences_window");
        w->accept();
        QCOMPARE(mv::preferences().default_resolution, 1000.0);
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, std::string("Save settings for future sessions?"));
        QTRY_VERIFY(!PreferencesWindow::current());

        // Cancel puts everything back.
        frame.runCommand(mv::kCmdPreferences);
        w = PreferencesWindow::current();
        lists = w->findChildren<QComboBox*>();
        lists[0]->setCurrentIndex(0);
        QCOMPARE(mv::preferences().confirm, false);
        w->reject();
        QCOMPARE(mv::preferences().confirm, true);
        QCOMPARE(mv::preferences().default_resolution, 1000.0);
        mv::preferences() = before;
    }

    void recentFilesAppearInTheFileMenu()
    {
        RecordingSink sink;
        mv::program_state() = mv::ProgramState{};
        FrameWindow frame;
        frame.show();
        const QString a = QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png");
        const QString b = QStringLiteral(MORVANE_SAMPLES_DIR "/coffee.png");
        QCOMPARE(frame.openPath(a), 0);
        QCOMPARE(frame.openPath(b), 0);
        QMenu* file = frame.commandMenu(mv::kMenuFile);
        QVERIFY(file);
        QCOMPARE(frame.menuBar()->actions().first()->menu(), file);
        frame.refreshMenu(file);
        QAction* first = commandAction(file, mv::kCmdRecentFirst);
        QAction* second = commandAction(file, mv::kCmdRecentFirst + 1);
        QVERIFY(first && second);
        QCOMPARE(first->text(), QStringLiteral("&1: ") + b);
        QCOMPARE(second->text(), QStringLiteral("&2: ") + a);
        QVERIFY(first->isEnabled());
        QAction* empty = commandAction(file, mv::kCmdRecentFirst + 2);
        QVERIFY(empty && !empty->isEnabled());
        QCOMPARE(empty->text(), QStringLiteral("&3:"));
        QVERIFY(!commandAction(file, mv::kCmdRecentFirst + 4));
        // Refreshing again does not duplicate the entries.
        frame.refreshMenu(file);
        int recent = 0;
        for (QAction* act : file->actions())
            recent += act->data().toInt() >= mv::kCmdRecentFirst && act->data().toInt() <= mv::kCmdRecentLast;
        QCOMPARE(recent, 4);
        // Choosing an entry opens its file (the open one is not reopened: the sink says OK).
        frame.imageWindows().first()->close();
        QTRY_COMPARE(frame.imageWindows().size(), 1);
        frame.refreshMenu(file);
        commandAction(file, mv::kCmdRecentFirst + 1)->trigger();
        QCOMPARE(frame.imageWindows().size(), 2);
        // Texts and shortcuts come from the command table.
        QAction* open = commandAction(file, mv::kCmdOpen);
        QCOMPARE(open->text(), QStringLiteral("&Open..."));
        QCOMPARE(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    }

    void copyThenPasteGivesTheSamePicture()
    {
        RecordingSink sink;
        FrameWindow frame;
        frame.show();
        QCOMPARE(frame.openPath(QStringLiteral(MORVANE_SAMPLES_DIR "/chelsea.png")), 0);
        ImageWindow* source = frame.activeImageWindow();
        QApplication::clipboard()->clear();
        QMenu* edit = frame.commandMenu(mv::kMenuEdit);
        frame.refreshMenu(edit);
        QVERIFY(!commandAction(edit, mv::kCmdPaste)->isEnabled());
        QVERIFY(commandAction(edit, mv::kCmdCopy)->isEnabled());
        QVERIFY(!commandAction(edit, mv::kCmdUndo)->isEnabled());
        commandAction(edit, mv::kCmdCopy)->trigger();
        QVERIFY(sink.messages.empty());
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat("image/bmp"));
        QVERIFY(data->hasImage());
        QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(), QSize(source->record().image.width,
                                                                        source->record().image.height));
        frame.refreshMenu(edit);
        QVERIFY(commandAction(edit, mv::kCmdPaste)->isEnabled());
        commandAction(edit, mv::kCmdPaste)->trigger();
        QVERIFY(sink.messages.empty());
        QCOMPARE(frame.imageWindows().size(), 2);
        ImageWindow* pasted = frame.activeImageWindow();
        QVERIFY(pasted != source);
        QCOMPARE(pasted->windowTitle(), QStringLiteral("Paste"));
        QVERIFY(pasted->isModified());
        QVERIFY(samePixels(pasted->record().image, source->record().image));
        QCOMPARE(pasted->record().image.resolution, mv::preferences().default_resolution);

        // A plain image from another program is pasted as colour.
        QImage plain(5, 3, QImage::Format_RGB32);
        plain.fill(QColor(10, 20, 30));
        plain.setPixelColor(4, 0, QColor(200, 100, 50));
        QApplication::clipboard()->setImage(plain);
        frame.runCommand(mv::kCmdPaste);
        const mv::Image& got = frame.activeImageWindow()->record().image;
        QCOMPARE(got.type, int(mv::IMAGE_COLOR));
        QCOMPARE(got.width, 5);
        const std::uint8_t* top = got.row(got.height - 1);
        QVERIFY(top[12] == 50 && top[13] == 100 && top[14] == 200);

        // Compressed bitmaps are refused.
        QByteArray dib(44, '\0');
        dib[0] = 40;
        dib[4] = 1;
        dib[8] = 1;
        dib[12] = 1;
        dib[14] = 8;
        dib[16] = 1;
        auto* mime = new QMimeData;
        mime->setData("image/bmp", dib);
        QApplication::clipboard()->setMimeData(mime);
        const int windows = frame.imageWindows().size();
        frame.runCommand(mv::kCmdPaste);
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, std::string(mv::error_text(70)));
        QCOMPARE(frame.imageWindows().size(), windows);
    }

    void menuItemsFollowTheConditions()
    {
        RecordingSink sink;
        FrameWindow frame;
        frame.show();
        QMenu* edit = frame.commandMenu(mv::kMenuEdit);
        QMenu* window = frame.commandMenu(mv::kMenuWindow);
        frame.refreshMenu(window);
        QVERIFY(!commandAction(window, mv::kCmdInfo)->isEnabled());
        QVERIFY(commandAction(window, mv::kCmdCascade)->isEnabled());
        QVERIFY(addWindow(frame, mv::IMAGE_GRAY16, 20, 10));
        frame.refreshMenu(edit);
        frame.refreshMenu(window);
        QVERIFY(!commandAction(edit, mv::kCmdCopy)->isEnabled());
        QVERIFY(commandAction(window, mv::kCmdInfo)->isEnabled());
        // The shortcut is refused too: the clipboard keeps what it had.
        QApplication::clipboard()->setText("kept");
        commandAction(edit, mv::kCmdCopy)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
        // Copying through the command itself reports the type.
        frame.runCommand(mv::kCmdCopy);
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, std::string(mv::error_text(14)));
        QVERIFY(addWindow(frame, mv::IMAGE_BINARY, 20, 10));
        frame.refreshMenu(edit);
        QVERIFY(commandAction(edit, mv::kCmdCopy)->isEnabled());
        // Revert needs a modified picture with a file.
        QMenu* file = frame.commandMenu(mv::kMenuFile);
        frame.refreshMenu(file);
        QVERIFY(!commandAction(file, mv::kCmdRevert)->isEnabled());
        QVERIFY(commandAction(file, mv::kCmdSave)->isEnabled());
    }

    void newCopyNegativeAndPrint()
    {
        RecordingSink sink;
        FrameWindow frame;
        frame.show();
        mv::NewImageChoice choice;
        choice.width = 30, choice.height = 20, choice.type = mv::IMAGE_GRAY, choice.fill = {200, 100, 50};
        QCOMPARE(frame.newImage(choice), 0);
        ImageWindow* made = frame.activeImageWindow();
        QVERIFY(made && made->isModified());
        QVERIFY(made->windowTitle().startsWith(QStringLiteral("Untitled")));
        QCOMPARE(int(made->record().image.row(5)[7]), (306 * 200 + 601 * 100 + 117 * 50) >> 10);
        choice.type = 4;
        QCOMPARE(frame.newImage(choice), 14);

        made->setZoom(2, false);
        frame.runCommand(mv::kCmdImageCopy);
        ImageWindow* copy = frame.activeImageWindow();
        QVERIFY(copy != made && copy->isModified());
        QCOMPARE(copy->record().zoom, 2);
        QVERIFY(samePixels(copy->record().image, made->record().image));
        QVERIFY(copy->pos() != made->pos());
        frame.runCommand(mv::kCmdNegative);
        QCOMPARE(int(frame.activeImageWindow()->record().image.row(3)[3]), 255 - int(made->record().image.row(3)[3]));
        QVERIFY(sink.messages.empty());

        // Without a printer, Print writes the picture into a PDF file.
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        print_commands::setPdfAsker([&](QWidget*, const QString&) { return std::optional<QString>(pdf); });
        QCOMPARE(print_commands::print(&frame, made->record().image, made->windowTitle()), 0);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(4) == "%PDF");
        print_commands::setPdfAsker({});

        // Blink alternates with the other picture of the same size.
        frame.workspace()->setActiveSubWindow(made);
        frame.runCommand(mv::kCmdBlink);
        auto* blink = qobject_cast<BlinkWindow*>(frame.workspace()->activeSubWindow());
        QVERIFY(blink);
        QCOMPARE(blink->partner()->count(), 3); // the copy, the negative, a colour
        blink->start();
        QCOMPARE(blink->phase(), 0);
        blink->step();
        QCOMPARE(blink->phase(), 1);
        delete made;
        QTRY_VERIFY(frame.workspace()->subWindowList().size() == 2);
    }

    void transformationMenuAndToolButtons()
    {
        RecordingSink sink;
        FrameWindow frame;
        install_tool_menu(frame, frame.workspace(), [&frame] { return frame.activeImageWindow(); });
        frame.show();
        QMenu* menu = frame.commandMenu(mv::kMenuTransformation);
        QStringList submenus;
        for (QAction* a : menu->actions())
            if (a->menu())
                submenus << a->text();
        QCOMPARE(submenus, QStringList({"&Geometry", "G&ray", "&Color", "Special &Effects"}));
        ImageWindow* picture = addWindow(frame, mv::IMAGE_COLOR, 40, 30);
        QVERIFY(picture);
        frame.refreshMenu(menu);
        QAction* blur = commandAction(menu, 4020);
        QVERIFY(blur && blur->isEnabled());
        QAction* warp = nullptr;
        for (QAction* a : menu->actions())
            if (a->menu() && a->text() == "&Geometry")
                warp = commandAction(a->menu(), 4004);
        QVERIFY(warp && warp->isVisible() && !warp->isEnabled()); // not built: shown disabled
        blur->trigger();
        auto* t = TransformationWindow::current();
        QVERIFY(t);
        QCOMPARE(t->operation().kind, 8);
        frame.refreshMenu(menu);
        for (QAction* a : menu->actions())
            if (a->menu())
                QVERIFY(!a->isEnabled());
        delete t;

        // Tool buttons make their tool current and toggle it off again.
        ToolBarStrip* bar = frame.toolBar();
        for (int b = 0; b < 20; ++b)
            if (QToolButton* button = bar->button(b < 11 ? 101 : b < 19 ? 102 : 103, b < 11 ? b : b < 19 ? b - 11 : 0))
                QVERIFY(!button->icon().isNull());
        QToolButton* clone = bar->button(mv::kGroupTools, 4);
        clone->click();
        QCOMPARE(frame.currentTool(), int(mv::kToolClone));
        QVERIFY(clone->isChecked());
        clone->click();
        QCOMPARE(frame.currentTool(), 0);
        QVERIFY(!clone->isChecked());
        QToolButton* zoom = bar->button(mv::kGroupTools, 1);
        zoom->click();
        QCOMPARE(frame.currentTool(), int(mv::kToolZoom));
        picture->setZoom(1, false);
        QTest::mouseClick(picture->canvas(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(picture->record().zoom, 2);
        zoom->click();
        QCOMPARE(frame.currentTool(), 0);
        QVERIFY(!bar->button(mv::kGroupTools, 2)->isEnabled()); // no magnifier here

        if (!qgetenv("MORVANE_SCREENSHOT_DIR").isEmpty()) {
            // The button pictures, enlarged, on one sheet.
            QPixmap sheet(20 * 56, 56);
            sheet.fill(Qt::white);
            QPainter icons(&sheet);
            int x = 4;
            for (const mv::ToolGroup& g : mv::toolbar_groups())
                for (const mv::ToolButton& b : g.buttons) {
                    icons.drawPixmap(x, 4, tool_pixmap(b.bitmap, 48, 1.0));
                    x += 56;
                }
            icons.end();
            sheet.save(QDir(QString::fromLocal8Bit(qgetenv("MORVANE_SCREENSHOT_DIR"))).filePath("tool_icons.png"));
            QCOMPARE(frame.openPath(QStringLiteral(MORVANE_SAMPLES_DIR "/coffee.png")), 0);
            frame.resize(1000, 640);
            QTimer::singleShot(50, menu, [&frame, menu] {
                QPixmap shot = frame.grab();
                QPainter painter(&shot);
                painter.drawPixmap(frame.mapFromGlobal(menu->pos()), menu->grab());
                for (QAction* a : menu->actions())
                    if (a->menu() && a->text() == "G&ray") {
                        a->menu()->popup(menu->mapToGlobal(menu->actionGeometry(a).topRight()));
                        painter.drawPixmap(frame.mapFromGlobal(a->menu()->pos()), a->menu()->grab());
                        a->menu()->close();
                    }
                painter.end();
                shot.save(QDir(QString::fromLocal8Bit(qgetenv("MORVANE_SCREENSHOT_DIR"))).filePath("frame_transformation_menu.png"));
                menu->close();
            });
            menu->exec(frame.mapToGlobal(QPoint(100, 25)));
            save_screenshot(bar, QStringLiteral("tool_bar"));
        }
    }

    void toolBarPositions()
    {
        RecordingSink sink;
        FrameWindow frame;
        frame.resize(900, 600);
        frame.show();
        frame.openCommandLine({});
        ToolBarStrip* bar = frame.toolBar();
        QCOMPARE(frame.toolBarPosition(), 0);
        QTRY_COMPARE(bar->height(), 28);
        QVERIFY(bar->width() > 800);
        QVERIFY(frame.workspace()->geometry().top() >= 28);
        frame.runCommand(mv::kCmdToolBarLeft);
        QCOMPARE(frame.toolBarPosition(), 1);
        QCOMPARE(mv::program_state().ribbon_orientation, 1);
        QTRY_COMPARE(bar->width(), 28);
        QTRY_VERIFY(bar->height() > 500);
        QVERIFY(frame.workspace()->geometry().left() >= 28);
        QMenu* window = frame.commandMenu(mv::kMenuWindow);
        frame.refreshMenu(window);
        QVERIFY(commandAction(window, mv::kCmdToolBarLeft)->isChecked());
        QVERIFY(!commandAction(window, mv::kCmdToolBarTop)->isChecked());
        frame.runCommand(mv::kCmdNoToolBar);
        QCOMPARE(frame.toolBarPosition(), -1);
        QVERIFY(bar->isHidden());
        frame.runCommand(mv::kCmdToolBarTop);
        QCOMPARE(mv::program_state().ribbon_orientation, 0);

        // A button press removes the start-up picture; Zoom In without a picture beeps.
        QVERIFY(frame.workspace()->splashShown());
        bar->button(mv::kGroupCommands, 5)->click();
        QVERIFY(!frame.workspace()->splashShown());
        QVERIFY(!bar->button(mv::kGroupTools, 1)->isChecked());

        QCOMPARE(frame.openPath(QStringLiteral(MORVANE_SAMPLES_DIR "/coffee.png")), 0);
        frame.activeImageWindow()->setZoom(1, false);
        bar->button(mv::kGroupCommands, 5)->click();
        QCOMPARE(frame.activeImageWindow()->record().zoom, 2);

        QMenu* w2 = frame.commandMenu(mv::kMenuWindow);
        QTimer::singleShot(50, w2, [&frame, w2] {
            // The open menu is a window of its own: draw it onto the frame's picture.
            const QByteArray dir = qgetenv("MORVANE_SCREENSHOT_DIR");
            if (!dir.isEmpty()) {
                QPixmap shot = frame.grab();
                QPainter painter(&shot);
                painter.drawPixmap(frame.mapFromGlobal(w2->pos()), w2->grab());
                painter.end();
                shot.save(QDir(QString::fromLocal8Bit(dir)).filePath("frame_tool_bar_menu.png"));
            }
            w2->close();
        });
        w2->exec(frame.mapToGlobal(QPoint(120, 30)));
    }

private:
    QTemporaryDir configDir_;
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
