#include "transform/settings_file_dialog.h"

#include "core/error.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

SettingsFileAsker& asker()
{
    static SettingsFileAsker a;
    return a;
}

QString run_dialog(QWidget* parent, const QString& title, const QString& filter, bool save)
{
    if (asker())
        return asker()(parent, title, filter, save);
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString filter_of(const SettingsFileKind& kind)
{
    return QStringLiteral("%1 (*%2)").arg(kind.filterName, kind.extension);
}

} // namespace

const SettingsFileKind& curve_file_kind()
{
    static const SettingsFileKind k{QStringLiteral("Load Curve"), QStringLiteral("Save Curve"),
                                    QStringLiteral("Curve Files"), QStringLiteral(".crv"),
                                    QStringLiteral("Curve files must have an extension of .crv")};
    return k;
}

const SettingsFileKind& color_curves_file_kind()
{
    static const SettingsFileKind k{QStringLiteral("Load Color Curves"), QStringLiteral("Save Color Curves"),
                                    QStringLiteral("Color Curve Files"), QStringLiteral(".cc"),
                                    QStringLiteral("color curve files must have an extension of .cc")};
    return k;
}

const SettingsFileKind& color_balance_file_kind()
{
    static const SettingsFileKind k{QStringLiteral("Load Color Balance"), QStringLiteral("Save Color Balance"),
                                    QStringLiteral("Color Balance Files"), QStringLiteral(".cb"),
                                    QStringLiteral("color balance files must have an extension of .cb")};
    return k;
}

QString ask_settings_load(QWidget* parent, const SettingsFileKind& kind)
{
    return run_dialog(parent, kind.loadTitle, filter_of(kind), false);
}

QString ask_settings_save(QWidget* parent, const SettingsFileKind& kind)
{
    for (;;) {
        QString path = run_dialog(parent, kind.saveTitle, filter_of(kind), true);
        if (path.isEmpty())
            return {};
        const QString suffix = QFileInfo(path).suffix();
        if (suffix.isEmpty()) {
            if (!path.endsWith(QLatin1Char('.')))
                path += kind.extension;
            else
                path += kind.extension.mid(1);
            return path;
        }
        if (QLatin1Char('.') + suffix.toLower() == kind.extension)
            return path;
        mv::message_dialog("Error", kind.wrongExtension.toStdString(), mv::kButtonsOk);
    }
}

void set_settings_file_asker(SettingsFileAsker a)
{
    asker() = std::move(a);
}
