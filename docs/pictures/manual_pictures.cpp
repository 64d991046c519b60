// Makes the manual's screenshots: starts the editor's frame offscreen on a bundled sample,
// opens each window the manual shows, grabs it with QWidget::grab() and writes
// OUT/<section>.png, named by the section's anchor.
// usage: manual-pictures SAMPLES_DIR OUT_DIR
#include "core/error.h"
#include "mask/mask_tool_window.h"
#include "shell/command_table.h"
#include "shell/frame_window.h"
#include "shell/help_context.h"
#include "shell/image_window.h"
#include "shell/startup.h"
#include "shell/workspace_area.h"
#include "slideshow/slide_show_window.h"
#include "tools/tool_commands.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QMdiSubWindow>
#include <QTimer>
#include <cstdio>

namespace {

// Answers every question with OK and keeps the screen clear of message boxes.
class SilentSink final : public mv::MessageSink {
public:
    int show(std::string_view, std::string_view text, int) override
    {
        std::fprintf(stderr, "manual-pictures: message: %.*s\n", int(text.size()), text.data());
        return mv::kResultOk;
    }
};

void settle(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget* w, const QDir& out, const QString& name)
{
    const bool ok = w && w->grab().save(out.filePath(name + QStringLiteral(".png")));
    std::fprintf(stderr, "manual-pictures: %s %s\n", qPrintable(name), ok ? "written" : "FAILED");
    return ok;
}

// Runs a command and grabs the window it opens: a modal dialog (grabbed and rejected), or the
// new child window of the workspace (grabbed and closed). False when nothing opened.
bool shoot(FrameWindow& frame, int command, const QDir& out, const QString& name)
{
    bool modal = false, ok = false;
    QTimer::singleShot(400, [&] {
        if (QWidget* m = QApplication::activeModalWidget()) {
            modal = true;
            ok = save(m, out, name);
            m->close();
        }
    });
    QMdiSubWindow* before = frame.workspace()->activeSubWindow();
    const QList<QMdiSubWindow*> existing = frame.workspace()->subWindowList();
    frame.runCommand(command);
    settle(600);
    if (modal)
        return ok;
    QMdiSubWindow* opened = frame.workspace()->activeSubWindow();
    for (QMdiSubWindow* w : frame.workspace()->subWindowList())
        if (!existing.contains(w))
            opened = w;
    if (!opened || opened == before) {
        std::fprintf(stderr, "manual-pictures: %s: nothing opened\n", qPrintable(name));
        return false;
    }
    opened->show();
    settle(200);
    ok = save(opened, out, name);
    opened->close();
    settle(200);
    if (before)
        frame.workspace()->setActiveSubWindow(before);
    return ok;
}

// The section anchor of a command: its window's help topic, else its menu text.
QString anchorOf(int command)
{
    const mv::CommandInfo* info = mv::command_find(command);
    if (info && info->transformation)
        return QString::fromLatin1(mv::help_anchor(info->transformation));
    QString text = QString::fromLatin1(info ? info->text : "").section('\t', 0, 0);
    text.remove('&').remove(QStringLiteral("..."));
    return text.toLower().replace(' ', '-');
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvern"));
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: manual-pictures SAMPLES_DIR OUT_DIR\n");
        return 2;
    }
    const QDir samples(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.path());
    if (const int err = mv::engine_startup())
        return err;
    SilentSink sink;
    mv::set_message_sink(&sink);

    FrameWindow frame;
    install_tool_menu(frame, frame.workspace(), [&frame] { return frame.activeImageWindow(); });
    install_slide_show_menu(frame);
    install_mask_menu(frame, frame.workspace(), [&frame] { return frame.activeImageWindow(); });
    frame.resize(1100, 760);
    frame.show();
    frame.openCommandLine({});
    settle(300);
    int failures = !save(&frame, out, QStringLiteral("splash"));
    if (frame.openPath(samples.filePath(QStringLiteral("chelsea.png"))) != 0)
        return 1;
    settle(300);
    failures += !save(&frame, out, QStringLiteral("frame"));

    // Windows of the colour sample, by command.
    const int colourCommands[] = {
        4001, 4022, 4002, 4003, 4054, 4050, 4052, 4011, 4049, 4012, 4015, 4053, 4018, 4020, 4019,
        4041, 4044, 4014, 4027, mv::kCmdInfo, mv::kCmdZoomFactor, mv::kCmdGrid,
        mv::kCmdPreferences, mv::kCmdClone, mv::kCmdPaint, mv::kCmdLineArrow, mv::kCmdSlideShow,
        mv::kCmdNew, mv::kCmdCalibrate, mv::kCmdAssociations, mv::kCmdAbout,
    };
    for (int command : colourCommands) {
        const QString name = command == mv::kCmdGrid ? QStringLiteral("window-grid") : anchorOf(command);
        failures += !shoot(frame, command, out, name);
    }
    // Windows that want a gray picture.
    frame.runCommand(4015); // Extract Channel makes gray pictures from the colour one
    settle(300);
    if (frame.openPath(samples.filePath(QStringLiteral("simple.fits"))) == 0) {
        settle(300);
        failures += !shoot(frame, 4023, out, anchorOf(4023));
        failures += !shoot(frame, mv::kCmdMaskNew, out, QStringLiteral("mask-tool"));
    }
    mv::set_message_sink(nullptr);
    std::fprintf(stderr, "manual-pictures: %d picture(s) missing\n", failures);
    return failures == 0 ? 0 : 1;
}
