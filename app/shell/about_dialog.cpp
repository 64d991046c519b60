#include "shell/about_dialog.h"

#include "shell/build_info.h"
#include "shell/data_paths.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

QIcon programIcon()
{
    // The resources live in a static library, whose registration the linker would drop unless
    // something refers to it.
    static const bool registered = [] {
        Q_INIT_RESOURCE(morvane);
        return true;
    }();
    (void)registered;
    QIcon icon(QStringLiteral(":/morvane.svg"));
    icon.addFile(QStringLiteral(":/morvane.png"));
    return icon;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Morvane"));
    auto* layout = new QVBoxLayout(this);

    auto* head = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(64, 64));
    head->addWidget(icon);
    auto* title = new QLabel(QStringLiteral("<b style='font-size:large'>Morvane %1</b><br>Photographic image editor"
                                            "<br>Built %2")
                                 .arg(QString::fromLatin1(mv::program_version()), QString::fromLatin1(mv::build_date())),
                             this);
    head->addWidget(title, 1);
    layout->addLayout(head);

    // Libraries: Qt for the windows, then the engine's own.
    auto* grid = new QGridLayout;
    int row = 0;
    const auto addLibrary = [&](const QString& name, const QString& version, const QString& use) {
        grid->addWidget(new QLabel(name, this), row, 0);
        grid->addWidget(new QLabel(version, this), row, 1);
        grid->addWidget(new QLabel(use, this), row, 2);
        libraries_ << name + ' ' + version;
        ++row;
    };
    addLibrary(QStringLiteral("Qt"), QString::fromLatin1(qVersion()), QStringLiteral("windows, printing, sound"));
    for (const mv::LibraryVersion& lib : mv::library_versions())
        addLibrary(QString::fromStdString(lib.name), QString::fromStdString(lib.version), QString::fromStdString(lib.use));
    layout->addWidget(new QLabel(QStringLiteral("Libraries:"), this));
    layout->addLayout(grid);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        layout->addWidget(new QLabel(QStringLiteral("Display is set to %1x%2 %3-bit mode")
                                         .arg(screen->size().width())
                                         .arg(screen->size().height())
                                         .arg(screen->depth()),
                                     this));
    layout->addWidget(new QLabel(QStringLiteral("Licence: %1").arg(QString::fromLatin1(mv::program_licence())), this));

    manual_ = new QLabel(QStringLiteral("<a href=\"manual\">User manual</a>: %1").arg(manualFolder().toHtmlEscaped()), this);
    manual_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(manual_, &QLabel::linkActivated, this, [] { openManual(); });
    layout->addWidget(manual_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}
