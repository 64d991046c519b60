// The Morvane editor.
#include "core/message_dialog.h"
#include "core/progress_window.h"
#include "mask/mask_tool_window.h"
#include "tools/tool_commands.h"
#include "slideshow/slide_show_window.h"
#include "shell/about_dialog.h"
#include "shell/calibration_window.h"
#include "shell/image_window.h"
#include "shell/child_window.h"
#include "shell/frame_window.h"
#include "shell/workspace_area.h"
#include "shell/startup.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvern"));
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    QApplication::setApplicationVersion(QStringLiteral("2.5"));
    // The desktop matches the windows to morvane.desktop, whose icon it shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("morvane"));
    QApplication::setWindowIcon(programIcon());

    if (const int err = mv::engine_startup()) {
        mv::error_box(err);
        return 0;
    }
    // Preferences first, then the state (the recent files read depend on the list length).
    settings_load_all();
    FrameWindow frame;
    DialogMessageSink messages(frame.workspace());
    ProgressWindowSink progress(&frame);
    mv::set_message_sink(&messages);
    install_tool_menu(frame, frame.workspace(), [&frame] { return frame.activeImageWindow(); });
    install_slide_show_menu(frame);
    install_mask_menu(frame, frame.workspace(), [&frame] { return frame.activeImageWindow(); });
    frame.showMaximized();
    load_monitor_calibration();
    frame.openCommandLine(app.arguments().mid(1));
    const int status = app.exec();
    settings_save_state();
    mv::set_message_sink(nullptr);
    return status;
}
