#include "shell/about_dialog.h"
#include "shell/build_info.h"
#include "shell/child_window.h"
#include "shell/command_table.h"
#include "shell/data_paths.h"
#include "shell/frame_window.h"
#include "shell/startup.h"

#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <QtTest>

class AboutDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCOMPARE(mv::engine_startup(), 0); }

    // The box names the version, build date, licence, Qt and every engine library, and its
    // manual link leads to the manual the build placed beside the programs.
    void showsVersionsLicenceAndManual()
    {
        AboutDialog about(nullptr);
        QString text;
        for (const QLabel* label : about.findChildren<QLabel*>())
            text += label->text() + '\n';
        for (const char* part : {mv::program_version(), mv::build_date(), mv::program_licence()})
            QVERIFY2(text.contains(QString::fromLatin1(part)), part);
        QVERIFY(about.libraryLines().contains(QStringLiteral("Qt ") + qVersion()));
        for (const mv::LibraryVersion& lib : mv::library_versions()) {
            QVERIFY(!lib.version.empty());
            QVERIFY(about.libraryLines().contains(QString::fromStdString(lib.name + ' ' + lib.version)));
        }
        QVERIFY(about.manualLink()->text().contains(manualFolder().toHtmlEscaped()));
        QVERIFY(QFileInfo::exists(manualUrl().toLocalFile()));
        QVERIFY(!programIcon().pixmap(64, 64).isNull());
        QCOMPARE(QFileInfo(manualUrl().toLocalFile()).fileName(), QStringLiteral("index.html"));
    }

    // Help > About opens the box over the frame.
    void aboutCommandOpensTheBox()
    {
        FrameWindow frame;
        frame.show();
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<AboutDialog*>(QApplication::activeModalWidget())) {
                shown = box->windowTitle();
                box->accept();
            }
        });
        frame.runCommand(mv::kCmdAbout);
        QCOMPARE(shown, QStringLiteral("About Morvane"));
    }
};

QTEST_MAIN(AboutDialogTest)
#include "about_dialog_test.moc"
