// morvane-viewer: plays a slide show saved by Morvane. The show is the ".ss" file named on
// the command line, else "autoplay.ss" beside the program, else the first ".ss" file there.
#include "core/error.h"
#include "viewer/slide_player.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>

namespace {

// Shows the engine's messages in message boxes.
class BoxMessageSink final : public mv::MessageSink {
public:
    int show(std::string_view title, std::string_view text, int buttons) override
    {
        const QString t = QString::fromUtf8(title.data(), qsizetype(title.size()));
        const QString m = QString::fromUtf8(text.data(), qsizetype(text.size()));
        switch (buttons) {
        case mv::kButtonsYesNo:
            return QMessageBox::question(nullptr, t, m) == QMessageBox::Yes ? mv::kResultYes : mv::kResultNo;
        default:
            QMessageBox::warning(nullptr, t, m);
            return mv::kResultOk;
        }
    }
};

QString findShow()
{
    const QDir here(QCoreApplication::applicationDirPath());
    if (QFileInfo(here.filePath(QStringLiteral("autoplay.ss"))).isFile())
        return here.filePath(QStringLiteral("autoplay.ss"));
    const QStringList shows = here.entryList({QStringLiteral("*.ss")}, QDir::Files, QDir::Name);
    return shows.isEmpty() ? QString() : here.filePath(shows.first());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane Viewer"));
    BoxMessageSink messages;
    mv::set_message_sink(&messages);

    bool windowed = false;
    QString path;
    const QStringList args = app.arguments().mid(1);
    for (const QString& arg : args) {
        if (arg == QLatin1String("--window")) {
            windowed = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::printf("usage: morvane-viewer [--window] [SHOW.ss]\n"
                        "Plays a slide show; without a name, the show saved beside the viewer.\n"
                        "Keys: Space, Right, Page Down next; Left, Page Up back; Home, End; Escape quits.\n");
            return 0;
        } else if (path.isEmpty()) {
            path = arg;
        } else {
            std::fprintf(stderr, "morvane-viewer: one slide show at a time\n");
            return 2;
        }
    }
    if (path.isEmpty())
        path = findShow();
    if (path.isEmpty()) {
        mv::message_dialog("Error", "No slide show (.ss file) was named and none was found beside the viewer.",
                           mv::kButtonsOk);
        mv::set_message_sink(nullptr);
        return 1;
    }
    SlidePlayer player;
    if (player.load(path) != 0) {
        mv::set_message_sink(nullptr);
        return 1;
    }
    if (windowed) {
        player.resize(800, 600);
        player.show();
    } else {
        player.showFullScreen();
    }
    player.start();
    const int status = app.exec();
    mv::set_message_sink(nullptr);
    return status;
}
