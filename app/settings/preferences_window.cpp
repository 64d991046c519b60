#include "settings/preferences_window.h"

#include "core/error.h"
#include "core/format.h"
#include "formats/file_dialogs.h"
#include "settings/settings_io.h"
#include "settings/settings_store.h"
#include "shell/image_window.h"
#include "shell/workspace_area.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QPointer<PreferencesWindow> g_open;

const char* const kOpenTypes[] = {"All Files",         "TIFF", "JPEG", "BMP", "Targa",
                                  "PCX",               "GIF",  "PhotoCD 512x768",
                                  "PhotoCD 1024x1536", "PhotoCD 2048x3072",
                                  "PNG",               "FlashPix", "RLE"};
const char* const kSaveTypes[] = {"TIFF", "JPEG", "BMP", "Targa", "PCX", "GIF",
                                  "EPS",  "PNG",  "FlashPix", "FITS", "RLE"};

QComboBox* makeList(QWidget* parent, std::initializer_list<const char*> items)
{
    auto* box = new QComboBox(parent);
    for (const char* item : items)
        box->addItem(QString::fromLatin1(item));
    return box;
}

template <size_t N>
QComboBox* makeList(QWidget* parent, const char* const (&items)[N])
{
    auto* box = new QComboBox(parent);
    for (const char* item : items)
        box->addItem(QString::fromLatin1(item));
    return box;
}

QString limitPath(const QString& text)
{
    return text.left(int(mv::kSettingsPathLength) - 1);
}

} // namespace

PreferencesWindow* PreferencesWindow::current() { return g_open.data(); }

PreferencesWindow* PreferencesWindow::open(WorkspaceArea* area)
{
    if (PreferencesWindow* w = current()) {
        area->setActiveSubWindow(w);
        return w;
    }
    auto* w = new PreferencesWindow(area);
    w->adjustSize();
    const QSize space = area->viewport()->size();
    w->move(std::max(0, (space.width() - w->width()) / 2), std::max(0, (space.height() - w->height()) / 2));
    w->show();
    area->setActiveSubWindow(w);
    return w;
}

PreferencesWindow::PreferencesWindow(WorkspaceArea* area)
    : ChildWindow(kKind, -1), area_(area), saved_(mv::preferences())
{
    g_open = this;
    setWindowTitle(tr("Preferences"));
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    area->addSubWindow(this);

    auto* body = new QWidget(this);
    auto* form = new QFormLayout;
    const mv::Preferences& p = mv::preferences();

    workspaceColor_ = new QPushButton(tr("Workspace Color"), body);
    borderColor_ = new QPushButton(tr("Border Color"), body);
    borderWidth_ = new QSpinBox(body);
    borderWidth_->setRange(0, 32);
    borderWidth_->setValue(std::clamp(p.border_width, 0, 32));
    confirm_ = makeList(body, {"no", "yes"});
    confirm_->setCurrentIndex(p.confirm ? 1 : 0);
    resolution_ = new QLineEdit(QString::fromStdString(mv::format_text("%1f", p.default_resolution)), body);
    resolution_->setObjectName(QStringLiteral("resolutionEdit"));
    resolution_->setMinimumWidth(resolution_->fontMetrics().horizontalAdvance(QStringLiteral("9999.9")) + 16);
    undo_ = makeList(body, {"none", "single level", "multilevel"});
    undo_->setCurrentIndex(std::clamp(p.undo, 0, 2));
    fileListLength_ = new QSpinBox(body);
    fileListLength_->setRange(0, 10);
    fileListLength_->setValue(std::clamp(p.file_list_length, 0, 10));
    openType_ = makeList(body, kOpenTypes);
    openType_->setCurrentIndex(std::clamp(p.default_open_type - 1, 0, openType_->count() - 1));
    saveType_ = makeList(body, kSaveTypes);
    saveType_->setCurrentIndex(std::clamp(p.default_save_type - 1, 0, saveType_->count() - 1));

    const auto directoryRow = [&](const std::string& value, const QString& title, QLineEdit*& edit) {
        auto* row = new QWidget(body);
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        edit = new QLineEdit(QString::fromStdString(value), row);
        edit->setMaxLength(int(mv::kSettingsPathLength) - 1);
        auto* button = new QPushButton(tr("Browse..."), row);
        QLineEdit* target = edit;
        connect(button, &QPushButton::clicked, this, [this, target, title] { browse(target, title); });
        layout->addWidget(edit, 1);
        layout->addWidget(button);
        return row;
    };

    form->addRow(tr("Workspace Color:"), workspaceColor_);
    form->addRow(tr("Border Color:"), borderColor_);
    form->addRow(tr("Border Width:"), borderWidth_);
    form->addRow(tr("Confirm on Close:"), confirm_);
    form->addRow(tr("Resolution (dpi):"), resolution_);
    form->addRow(tr("Undo:"), undo_);
    form->addRow(tr("Length of File List:"), fileListLength_);
    form->addRow(tr("Default File Open Type:"), openType_);
    form->addRow(tr("Default File Save Type:"), saveType_);
    form->addRow(tr("PhotoCD Directory:"),
                 directoryRow(p.pcd_directory, tr("Select PhotoCD Directory"), pcdDirectory_));
    form->addRow(tr("Startup Directory:"),
                 directoryRow(p.startup_directory, tr("Select Startup Directory"), startupDirectory_));
    form->addRow(tr("Temporary File Directory:"),
                 directoryRow(p.temp_directory, tr("Select Temp Directory"), tempDirectory_));

    auto* ok = new QPushButton(tr("OK"), body);
    ok->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(tr("Cancel"), body);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* outer = new QVBoxLayout(body);
    outer->addLayout(form);
    outer->addLayout(buttons);
    setWidget(body);
    refreshColorButtons();

    connect(workspaceColor_, &QPushButton::clicked, this, [this] {
        chooseColor(mv::preferences().workspace, tr("Workspace Color"), workspaceColor_);
    });
    connect(borderColor_, &QPushButton::clicked, this, [this] {
        chooseColor(mv::preferences().border_color, tr("Border Color"), borderColor_);
    });
    // List choices take effect at once.
    connect(confirm_, &QComboBox::currentIndexChanged, this, [](int i) { mv::preferences().confirm = i == 1; });
    connect(undo_, &QComboBox::currentIndexChanged, this, [](int i) { mv::preferences().undo = i; });
    connect(openType_, &QComboBox::currentIndexChanged, this,
            [](int i) { mv::preferences().default_open_type = i + 1; });
    connect(saveType_, &QComboBox::currentIndexChanged, this,
            [](int i) { mv::preferences().default_save_type = i + 1; });
    connect(ok, &QPushButton::clicked, this, &PreferencesWindow::accept);
    connect(cancel, &QPushButton::clicked, this, &PreferencesWindow::reject);
}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::refreshColorButtons()
{
    const auto paint = [](QPushButton* button, const mv::Rgb& c) {
        QPixmap swatch(14, 14);
        swatch.fill(QColor(c.red, c.green, c.blue));
        button->setIcon(QIcon(swatch));
    };
    paint(workspaceColor_, mv::preferences().workspace);
    paint(borderColor_, mv::preferences().border_color);
}

void PreferencesWindow::chooseColor(mv::Rgb& color, const QString& title, QPushButton*)
{
    const QColor chosen = QColorDialog::getColor(QColor(color.red, color.green, color.blue), this, title);
    if (!chosen.isValid())
        return;
    color = {chosen.red(), chosen.green(), chosen.blue()};
    refreshColorButtons();
    redrawAll();
}

void PreferencesWindow::browse(QLineEdit* edit, const QString& title)
{
    const QString folder = QFileDialog::getExistingDirectory(this, title, edit->text());
    if (!folder.isEmpty())
        edit->setText(limitPath(folder));
}

void PreferencesWindow::redrawAll()
{
    const mv::Rgb ws = mv::preferences().workspace;
    area_->setWorkspaceColor(QColor(ws.red, ws.green, ws.blue));
    area_->viewport()->update();
    for (QMdiSubWindow* w : area_->subWindowList())
        if (auto* image = qobject_cast<ImageWindow*>(w))
            image->pictureChanged();
    if (QWidget* frame = area_->window())
        frame->update();
}

void PreferencesWindow::accept()
{
    mv::Preferences& p = mv::preferences();
    p.border_width = borderWidth_->value();
    p.file_list_length = fileListLength_->value();
    p.pcd_directory = limitPath(pcdDirectory_->text()).toStdString();
    const std::string startup = limitPath(startupDirectory_->text()).toStdString();
    if (startup != p.startup_directory) {
        p.startup_directory = startup;
        file_dialogs::dialogEnded(QString::fromStdString(startup));
    }
    p.temp_directory = limitPath(tempDirectory_->text()).toStdString();
    bool ok = false;
    const double dpi = resolution_->text().trimmed().toDouble(&ok);
    if (ok)
        p.default_resolution = mv::preferences_limit_resolution(dpi);
    if (mv::message_dialog("", "Save settings for future sessions?", mv::kButtonsYesNo) == mv::kResultYes)
        settings_save_preferences();
    redrawAll();
    close();
}

void PreferencesWindow::reject()
{
    mv::Preferences& p = mv::preferences();
    p.workspace = saved_.workspace;
    p.border_color = saved_.border_color;
    p.border_width = saved_.border_width;
    p.confirm = saved_.confirm;
    p.undo = saved_.undo;
    p.file_list_length = saved_.file_list_length;
    p.default_open_type = saved_.default_open_type;
    p.default_save_type = saved_.default_save_type;
    p.default_resolution = saved_.default_resolution;
    redrawAll();
    close();
}
