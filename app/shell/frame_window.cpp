#include "shell/frame_window.h"

#include "core/error.h"
#include "core/util.h"
#include "formats/file_associations_dialog.h"
#include "formats/file_dialogs.h"
#include "formats/file_io.h"
#include "formats/file_open.h"
#include "formats/file_types.h"
#include "formats/save_commands.h"
#include "settings/preferences.h"
#include "shell/about_dialog.h"
#include "shell/cascade.h"
#include "shell/command_line.h"
#include "shell/data_paths.h"
#include "shell/image_window.h"
#include "shell/window_grid_dialog.h"
#include "shell/window_info_dialog.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "shell/calibration_window.h"
#include "tools/tool_commands.h"
#include "reduce/count_colors.h"
#include "core/format.h"
#include "transform/operation.h"
#include "transform/transformation_window.h"
#include "shell/zoom_factor_dialog.h"
#include "core/undo.h"
#include "settings/preferences_window.h"
#include "shell/clipboard.h"
#include "shell/command_table.h"
#include "shell/help_context.h"
#include "shell/menu_enabling.h"
#include "shell/recent_labels.h"
#include "shell/tool_bar.h"
#include "shell/toolbar_model.h"
#include "core/image_copy.h"
#include "mask/mask_tool_window.h"
#include "shell/blink_window.h"
#include "shell/browse_window.h"
#include "shell/new_image_dialog.h"
#include "shell/print_commands.h"
#include "shell/zoom_tool.h"
#include "tools/tool_window_base.h"

#include <QAction>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QApplication>
#include <QKeyEvent>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QActionEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace {

// Windows other than image windows agree to close.
class OtherChild final : public mv::CloseChild {
public:
    bool is_image_window() const override { return false; }
    std::string used_by() const override { return {}; }
    bool modified() const override { return false; }
    std::string title() const override { return {}; }
    bool minimised() const override { return false; }
    void restore() override {}
    int save() override { return 0; }
};

} // namespace

FrameWindow::FrameWindow(QWidget* parent) : QMainWindow(parent), workspace_(new WorkspaceArea(this))
{
    setWindowTitle(QStringLiteral("Morvane 2.5"));
    // The workspace shares the central area with the tool bar strip.
    auto* central = new QWidget(this);
    centralLayout_ = new QBoxLayout(QBoxLayout::TopToBottom, central);
    centralLayout_->setContentsMargins(0, 0, 0, 0);
    centralLayout_->setSpacing(0);
    toolBar_ = new ToolBarStrip(central);
    centralLayout_->addWidget(toolBar_);
    centralLayout_->addWidget(workspace_, 1);
    setCentralWidget(central);
    connect(toolBar_, &ToolBarStrip::buttonPressed, this, &FrameWindow::toolBarPressed);
    const mv::Rgb ws = mv::preferences().workspace;
    workspace_->setWorkspaceColor(QColor(ws.red, ws.green, ws.blue));
    setAcceptDrops(true);
    resize(1024, 720);
    createMenus();
    setToolBarPosition(mv::program_state().ribbon_orientation);
    // The tool group follows the current tool, whoever changes it.
    set_current_tool_listener([this] {
        toolBar_->showTool(currentTool());
        // Away from the zoom tool the image windows show the ordinary pointer again.
        if (currentTool() != mv::kToolZoom)
            for (ImageWindow* w : imageWindows())
                w->canvas()->unsetCursor();
    });
    refreshToolButtons();
    // Escape and Enter typed in a control of the active window reach that window's cancel
    // and default actions.
    qApp->installEventFilter(this);
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == menuBar() && event->type() == QEvent::ActionAdded) {
        // The Mask menu, added by the masks' area, takes its place before Tools.
        QAction* added = static_cast<QActionEvent*>(event)->action();
        const QString maskTitle = QString::fromLatin1(mv::menu_bar()[mv::kMenuMask].text);
        if (added->menu() && added->text() == maskTitle)
            QTimer::singleShot(0, this, [this, added = QPointer<QAction>(added)] {
                QMenu* tools = commandMenu(mv::kMenuTools);
                if (!added || !tools)
                    return;
                const QList<QAction*> bar = menuBar()->actions();
                const qsizetype at = bar.indexOf(added);
                // Moving re-adds the action; one already in place stays.
                if (at >= 0 && bar.value(at + 1) != tools->menuAction())
                    menuBar()->insertAction(tools->menuAction(), added);
            });
        return false;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    const char* action = key == Qt::Key_Escape                                           ? "cancelAction"
                         : (key == Qt::Key_Return || key == Qt::Key_Enter) && enterForwarding_ ? "defaultAction"
                                                                                          : nullptr;
    QWidget* focus = QApplication::focusWidget();
    QMdiSubWindow* active = workspace_->activeSubWindow();
    if (!action || !focus || !active || focus != watched || !active->isAncestorOf(focus))
        return false;
    // Only windows that have the action take the key; elsewhere it goes on as usual.
    if (active->metaObject()->indexOfMethod(QByteArray(action) + "()") < 0)
        return false;
    QMetaObject::invokeMethod(active, action);
    return true;
}

QMenu* FrameWindow::addMenuRemovingSplash(const QString& title)
{
    QMenu* menu = menuBar()->addMenu(title);
    connect(menu, &QMenu::aboutToShow, workspace_, &WorkspaceArea::removeSplash);
    return menu;
}

namespace {

// The catalogue operation a Transformation menu command opens: the one with the command's
// transformation number, else the one titled like the menu text; null when none is built.
const mv::Operation* transformationOperation(int id)
{
    const mv::CommandInfo* info = id >= 4001 && id <= 4055 ? mv::command_find(id) : nullptr;
    if (!info || !info->text)
        return nullptr;
    for (const mv::Operation& op : mv::operations())
        if (info->transformation != 0 && op.kind == info->transformation)
            return &op;
    QString text = QString::fromLatin1(info->text);
    text.remove(QLatin1Char('&'));
    text.remove(QStringLiteral("..."));
    for (const mv::Operation& op : mv::operations())
        if (QString::fromStdString(op.title).compare(text, Qt::CaseInsensitive) == 0)
            return &op;
    return nullptr;
}

// Commands the frame carries out itself; other areas add theirs with setCommandHandler, and the
// rest of the command table stays hidden in the menus.
bool builtInCommand(int id)
{
    switch (id) {
    case mv::kCmdOpen: case mv::kCmdSave: case mv::kCmdSaveAs: case mv::kCmdClose: case mv::kCmdRevert:
    case mv::kCmdPreferences: case mv::kCmdAssociations: case mv::kCmdExit: case mv::kCmdCalibrate:
    case mv::kCmdCountColors: case mv::kCmdUndo: case mv::kCmdUndoAll: case mv::kCmdCopy: case mv::kCmdPaste:
    case mv::kCmdInfo: case mv::kCmdGrid: case mv::kCmdNoToolBar: case mv::kCmdToolBarTop:
    case mv::kCmdToolBarLeft: case mv::kCmdExpand: case mv::kCmdFit: case mv::kCmdZoomInResize:
    case mv::kCmdZoomIn: case mv::kCmdZoomOut: case mv::kCmdZoomFactor: case mv::kCmdZoom11:
    case mv::kCmdNext: case mv::kCmdCascade: case mv::kCmdCloseAll:
    case mv::kCmdManual: case mv::kCmdGettingStarted: case mv::kCmdHelpContents: case mv::kCmdHelpSearch:
    case mv::kCmdHelpGlossary: case mv::kCmdHelpContext: case mv::kCmdAbout:
    case mv::kCmdNew: case mv::kCmdOpenPhotoCd: case mv::kCmdBrowse: case mv::kCmdAcquire:
    case mv::kCmdSelectSource: case mv::kCmdPrint: case mv::kCmdPrintSetup: case mv::kCmdBlink:
    case mv::kCmdArrangeIcons: case mv::kCmdImageCopy: case mv::kCmdNegative: case mv::kCmdZoomTool:
    case mv::kCmdMaskNew:
        return true;
    default:
        return (id >= mv::kCmdRecentFirst && id <= mv::kCmdRecentLast) || transformationOperation(id);
    }
}

QKeySequence acceleratorKey(const mv::Accelerator& a)
{
    const Qt::KeyboardModifiers ctrl = a.ctrl ? Qt::ControlModifier : Qt::NoModifier;
    switch (a.key) {
    case mv::AccelKey::kLetter: return QKeySequence(ctrl | Qt::Key(Qt::Key_A + (a.letter - 'A')));
    case mv::AccelKey::kNumpadAdd: return QKeySequence(ctrl | Qt::KeypadModifier | Qt::Key_Plus);
    case mv::AccelKey::kNumpadMultiply: return QKeySequence(ctrl | Qt::KeypadModifier | Qt::Key_Asterisk);
    case mv::AccelKey::kNumpadSubtract: return QKeySequence(ctrl | Qt::KeypadModifier | Qt::Key_Minus);
    case mv::AccelKey::kInsert: return QKeySequence(ctrl | Qt::Key_Insert);
    case mv::AccelKey::kF1: return QKeySequence(ctrl | Qt::Key_F1);
    }
    return {};
}

} // namespace

QAction* FrameWindow::addCommand(QMenu* menu, int id, const char* text)
{
    // The text after the tab names the shortcut; the action shows its own.
    const QString full = QString::fromLatin1(text);
    QAction* a = menu->addAction(full.section(QLatin1Char('\t'), 0, 0));
    a->setData(id);
    QList<QKeySequence> keys;
    for (const mv::Accelerator& acc : mv::accelerators())
        if (acc.command == id)
            keys.append(acceleratorKey(acc));
    a->setShortcuts(keys);
    // Menu picks and shortcuts both pass the enabling rules first.
    connect(a, &QAction::triggered, this, [this, id] {
        if (commandAvailable(id))
            runCommand(id);
        else
            QApplication::beep();
    });
    return a;
}

void FrameWindow::buildMenu(QMenu* menu, const mv::MenuTitle& title)
{
    // The Transformation menu shows every entry; those without an operation stay disabled.
    const bool transformation = title.items.data() == mv::menu_bar()[mv::kMenuTransformation].items.data() ||
                                transformationSubmenus_.contains(menu);
    int position = 0;
    for (const mv::MenuItem& item : title.items) {
        if (item.id > 0) {
            QAction* a = addCommand(menu, item.id, item.text);
            a->setVisible(transformation || commandOffered(item.id));
            if (item.id < mv::kCmdRecentFirst || item.id > mv::kCmdRecentLast)
                commandActions_.insert(item.id, a);
        } else if (item.items.empty()) {
            menu->addSeparator();
        } else {
            QMenu* sub = menu->addMenu(QString::fromLatin1(item.text));
            if (transformation)
                transformationSubmenus_.insert(sub, position);
            buildMenu(sub, {item.text, item.items});
            connect(sub, &QMenu::aboutToShow, this, [this, sub] { refreshMenu(sub); });
        }
        ++position;
    }
}

void FrameWindow::createMenus()
{
    const std::span<const mv::MenuTitle> bar = mv::menu_bar();
    commandMenus_.clear();
    for (int i = 0; i < int(bar.size()); ++i) {
        // The Mask menu belongs to the masks' area, which adds it to the menu bar; it is
        // moved into its place when it arrives.
        if (i == mv::kMenuMask) {
            commandMenus_.append(nullptr);
            continue;
        }
        QMenu* menu = addMenuRemovingSplash(QString::fromLatin1(bar[size_t(i)].text));
        // Shortcuts work while the menu is closed: the actions belong to the frame too.
        buildMenu(menu, bar[size_t(i)]);
        for (QAction* a : menu->actions())
            if (!a->menu())
                addAction(a);
        for (QMenu* sub : transformationSubmenus_.keys())
            if (i == mv::kMenuTransformation)
                addActions(sub->actions());
        if (i == mv::kMenuFile)
            recentSeparator_ = menu->addSeparator();
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { refreshMenu(menu); });
        commandMenus_.append(menu);
    }
    menuBar()->installEventFilter(this);
}

QMenu* FrameWindow::commandMenu(int position) const
{
    return position >= 0 && position < commandMenus_.size() ? commandMenus_[position] : nullptr;
}

mv::MenuState FrameWindow::menuState() const
{
    mv::MenuState s;
    if (auto* child = qobject_cast<ChildWindow*>(workspace_->activeSubWindow())) {
        s.child.kind = child->kind();
        s.child.modified = child->isModified();
        if (const mv::WindowRecord* r = child->recordIndex() >= 0 ? mv::window_record_at(child->recordIndex()) : nullptr) {
            s.child.type = r->image.type;
            s.child.has_path = !r->path.empty();
        }
    }
    s.transformation = TransformationWindow::current() ? 1 : 0;
    s.undo_available = mv::undo_available();
    s.clipboard_has_bitmap = clipboard::hasBitmap();
    s.toolbar_position = toolBarPosition();
    s.toolbar_visible = toolBarPosition() >= 0;
    s.current_tool = currentTool();
    s.mask_running = MaskToolWindow::instance() != nullptr;
    for (QMdiSubWindow* w : workspace_->subWindowList()) {
        if (auto* tool = qobject_cast<ChildWindow*>(w)) {
            s.paint_open = s.paint_open || tool->kind() == mv::kCmdPaint;
            s.clone_open = s.clone_open || tool->kind() == mv::kCmdClone;
            s.line_arrow_open = s.line_arrow_open || tool->kind() == mv::kCmdLineArrow;
        }
    }
    return s;
}

bool FrameWindow::commandOffered(int command) const
{
    return builtInCommand(command) || handlers_.contains(command);
}

FrameWindow::~FrameWindow()
{
    set_current_tool_listener(nullptr);
}

void FrameWindow::setCommandHandler(int command, std::function<void()> handler)
{
    handlers_.insert(command, std::move(handler));
    if (QAction* a = commandActions_.value(command))
        a->setVisible(true);
    refreshToolButtons();
}

void FrameWindow::refreshToolButtons()
{
    // Buttons of commands this editor does not carry out are shown disabled.
    for (const mv::ToolGroup& g : mv::toolbar_groups())
        for (int i = 0; i < int(g.buttons.size()); ++i)
            if (QToolButton* b = toolBar_->button(g.id, i); b && g.buttons[size_t(i)].command != 0)
                b->setEnabled(commandOffered(g.buttons[size_t(i)].command));
}

bool FrameWindow::commandAvailable(int command) const
{
    return commandOffered(command) && mv::command_enabled(command, menuState());
}

void FrameWindow::refreshMenu(QMenu* menu)
{
    if (isMinimized())
        return;
    const mv::MenuState s = menuState();
    const ImageWindow* active = activeImageWindow();
    for (QAction* a : menu->actions()) {
        if (QMenu* sub = a->menu()) {
            if (transformationSubmenus_.contains(sub)) {
                a->setEnabled(mv::transformation_submenu_enabled(transformationSubmenus_.value(sub), s));
                refreshMenu(sub);
            }
            continue;
        }
        bool ok = false;
        const int id = a->data().toInt(&ok);
        if (!ok || id <= 0 || (id >= mv::kCmdRecentFirst && id <= mv::kCmdRecentLast))
            continue;
        bool enabled = mv::command_enabled(id, s) && commandOffered(id);
        // A transformation is offered for the pictures its operation accepts.
        if (const mv::Operation* op = transformationOperation(id); op && active)
            enabled = enabled && (op->accepted_types & (1u << active->record().image.type));
        a->setEnabled(enabled);
        if (id == mv::kCmdNoToolBar || id == mv::kCmdToolBarTop || id == mv::kCmdToolBarLeft ||
            (id >= mv::kCmdReadout && id <= mv::kCmdMagnifier)) {
            a->setCheckable(true);
            a->setChecked(mv::command_checked(id, s));
        }
    }
    if (menu == commandMenu(mv::kMenuFile))
        refreshRecentFiles(menu);
}

void FrameWindow::refreshRecentFiles(QMenu* menu)
{
    for (QAction* a : menu->actions()) {
        const int id = a->data().toInt();
        if (id >= mv::kCmdRecentFirst && id <= mv::kCmdRecentLast)
            delete a;
    }
    const std::vector<mv::RecentItem> items =
        mv::recent_file_items(mv::program_state().recent_files, mv::preferences().file_list_length);
    recentSeparator_->setVisible(!items.empty());
    for (const mv::RecentItem& item : items) {
        QAction* a = menu->addAction(QString::fromStdString(item.text));
        a->setData(item.id);
        a->setEnabled(item.enabled);
        const int slot = item.id - mv::kCmdRecentFirst;
        connect(a, &QAction::triggered, this, [this, slot] { openRecent(slot); });
    }
}

void FrameWindow::openRecent(int slot)
{
    const std::string path = mv::program_state().recent_files[size_t(slot)];
    if (path.empty())
        return;
    mv::error_box(openPath(QString::fromStdString(path)));
}

int FrameWindow::toolBarPosition() const
{
    if (toolBar_->isHidden())
        return -1;
    return toolBar_->isLeft() ? 1 : 0;
}

void FrameWindow::setToolBarPosition(int position)
{
    position = std::clamp(position, -1, 1);
    mv::program_state().ribbon_orientation = position;
    toolBar_->setVisible(position >= 0);
    toolBar_->setLeft(position == 1);
    centralLayout_->setDirection(position == 1 ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

int FrameWindow::currentTool() const
{
    ToolHandler* tool = current_tool();
    if (!tool)
        return mv::kToolNone;
    if (tool == ZoomTool::instance())
        return mv::kToolZoom;
    if (dynamic_cast<MaskToolWindow*>(tool))
        return mv::kToolMask;
    if (auto* window = dynamic_cast<ToolWindowBase*>(tool))
        return mv::tool_of_command(window->kind());
    return mv::kToolNone;
}

void FrameWindow::toolBarPressed(int group, int button)
{
    workspace_->removeSplash();
    const mv::ToolGroup* g = mv::toolbar_group(group);
    if (!g || button < 0 || button >= int(g->buttons.size()))
        return;
    const mv::ToolButton& b = g->buttons[size_t(button)];
    MaskToolWindow* mask = MaskToolWindow::instance();
    mv::ToolbarPressState s;
    s.current_tool = currentTool();
    s.command_enabled = b.command == 0 || commandAvailable(b.command);
    s.mask_window_open = mask != nullptr;
    s.mask_window_active = mask && workspace_->activeSubWindow() == mask;
    const mv::ToolbarAction action = mv::toolbar_press(group, button, s);
    switch (action.kind) {
    case mv::ToolbarAction::kIssue:
    case mv::ToolbarAction::kIssueMask:
        if (commandAvailable(action.command))
            runCommand(action.command);
        else
            QApplication::beep();
        break;
    case mv::ToolbarAction::kBeep: QApplication::beep(); break;
    case mv::ToolbarAction::kSetTool:
        // The button toggles its tool off: no tool is current.
        set_current_tool(nullptr);
        break;
    case mv::ToolbarAction::kActivateMask:
        workspace_->setActiveSubWindow(mask);
        set_current_tool(mask);
        break;
    case mv::ToolbarAction::kContextHelp: {
        const auto* child = qobject_cast<ChildWindow*>(workspace_->activeSubWindow());
        showHelp(QString::fromLatin1(mv::help_anchor(child ? child->kind() : -1)));
        break;
    }
    case mv::ToolbarAction::kNothing: break;
    }
    // The tool group shows the tool in force.
    toolBar_->showTool(currentTool());
}

QString FrameWindow::manualUrl(const QString& anchor)
{
    return ::manualUrl(anchor).toString();
}

void FrameWindow::showHelp(const QString& anchor)
{
    if (!QDesktopServices::openUrl(QUrl(manualUrl(anchor))))
        mv::error_message("Cannot open the user manual %s", manualUrl(anchor).toStdString());
}

void FrameWindow::copyToClipboard()
{
    ImageWindow* w = activeImageWindow();
    if (!w)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int err = clipboard::copy(w->record().image);
    QApplication::restoreOverrideCursor();
    if (err == mv::kOk)
        clipboardOwned_ = true;
    mv::error_box(err);
}

void FrameWindow::pasteFromClipboard()
{
    mv::Image image;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int err = clipboard::paste(image);
    QApplication::restoreOverrideCursor();
    if (err == mv::kOk)
        err = addPictureWindow(image, tr("Paste"));
    mv::image_free(image);
    mv::error_box(err);
}

int FrameWindow::addPictureWindow(mv::Image& image, const QString& title, int zoom)
{
    workspace_->removeSplash();
    int index = -1;
    mv::WindowRecord* record = nullptr;
    if (const int err = mv::window_record_allocate(index, record))
        return err;
    std::swap(record->image, image);
    mv::ViewMetrics m;
    m.area_width = workspace_->viewport()->width();
    m.area_height = workspace_->viewport()->height();
    m.border = mv::preferences().border_width;
    m.frame_width = 8;
    m.frame_height = 30;
    record->zoom = zoom != 0 ? zoom : mv::initial_zoom(record->image.width, record->image.height, m);
    auto* window = new ImageWindow(workspace_, index, activeImageWindow());
    connect(window, &ImageWindow::commandRequested, this, &FrameWindow::runCommand);
    window->show();
    window->pictureChanged();
    if (title.isEmpty())
        window->updateTitle();
    else
        window->setWindowTitle(title);
    window->setModified(true);
    workspace_->setActiveSubWindow(window);
    return mv::kOk;
}

int FrameWindow::copyPicture(ImageWindow* source, bool negative)
{
    mv::Image copy;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const mv::Image& from = source->record().image;
    int err = negative ? mv::gray_negative(from, copy) : mv::geometry_copy(from, copy);
    QApplication::restoreOverrideCursor();
    // The copy keeps the zoom of the window it comes from.
    if (err == mv::kOk)
        err = addPictureWindow(copy, QString(), source->record().zoom != 0 ? source->record().zoom : 1);
    mv::image_free(copy);
    return err;
}

int FrameWindow::newImage(const mv::NewImageChoice& choice)
{
    mv::Image picture;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int err = mv::new_image_create(choice, picture);
    QApplication::restoreOverrideCursor();
    if (err == mv::kOk)
        err = addPictureWindow(picture, QString());
    mv::image_free(picture);
    return err;
}

void FrameWindow::newImageWithDialog()
{
    NewImageDialog dialog(this);
    // A new picture starts at the size of the active one.
    if (ImageWindow* w = activeImageWindow(); w && mv::is_picture_type(w->record().image.type))
        dialog.setSize(w->record().image.width, w->record().image.height);
    if (dialog.exec() == QDialog::Accepted)
        mv::error_box(newImage(dialog.choice()));
}

void FrameWindow::openPhotoCd()
{
    for (;;) {
        const std::optional<QString> path = file_dialogs::askPhotoCdFile(workspace_);
        if (!path)
            return;
        // Cancelling the size question brings the file dialog back.
        bool sizeCancelled = false;
        const int err = openPath(*path, mv::FILE_PHOTOCD, &sizeCancelled);
        if (!sizeCancelled) {
            mv::error_box(err);
            return;
        }
    }
}

void FrameWindow::browse()
{
    const QString start = file_dialogs::startDirectory();
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Browse"), start,
                                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty())
        openBrowseWindow(folder);
}

BrowseWindow* FrameWindow::openBrowseWindow(const QString& folder)
{
    file_dialogs::dialogEnded(folder);
    auto* window = new BrowseWindow(folder, [this](const QString& path) { mv::error_box(openPath(path)); });
    workspace_->addSubWindow(window);
    window->show();
    workspace_->setActiveSubWindow(window);
    return window;
}

void FrameWindow::arrangeIcons()
{
    // Minimised windows line up along the bottom of the workspace, left to right, wrapping
    // upwards when a row is full.
    const QRect area = workspace_->viewport()->rect();
    int x = 0, y = area.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* w : workspace_->subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized())
            continue;
        const QSize size = w->size();
        if (rowHeight == 0 || x + size.width() > area.width()) {
            if (rowHeight != 0)
                x = 0;
            y -= size.height();
            rowHeight = size.height();
        }
        w->move(x, y);
        x += size.width();
    }
}

void FrameWindow::undo(bool all)
{
    // The retouching tools' undo: restores the saved rectangles, repaints and notifies users.
    if (all)
        tools_undo_all(workspace_);
    else
        tools_undo(workspace_);
}



void FrameWindow::openTransformation(const mv::Operation& op)
{
    if (ImageWindow* active = activeImageWindow(); active && !(op.accepted_types & (1u << active->record().image.type))) {
        mv::error_box(mv::kIllegalImageType);
        return;
    }
    const int err = open_transformation(workspace_, op, activeImageWindow(), [this] { return imageWindows(); });
    mv::error_box(err);
    if (TransformationWindow* t = TransformationWindow::current()) {
        setTransformationWindow(t);
        connect(t, &TransformationWindow::resultCreated, this, [this](ImageWindow* result) {
            connect(result, &ImageWindow::commandRequested, this, &FrameWindow::runCommand);
        });
    }
}

void FrameWindow::openCommandLine(const QStringList& arguments)
{
    if (arguments.isEmpty()) {
        workspace_->showSplash();
        return;
    }
    std::vector<std::string> args;
    for (const QString& a : arguments)
        args.push_back(a.toStdString());
    for (const std::string& path : mv::command_line_paths(mv::command_line_join(args)))
        mv::error_box(openPath(QString::fromStdString(path)));
}

QList<ImageWindow*> FrameWindow::imageWindows() const
{
    QList<ImageWindow*> windows;
    for (QMdiSubWindow* w : workspace_->subWindowList())
        if (auto* image = qobject_cast<ImageWindow*>(w))
            windows.append(image);
    return windows;
}

ImageWindow* FrameWindow::activeImageWindow() const
{
    return qobject_cast<ImageWindow*>(workspace_->activeSubWindow());
}

bool FrameWindow::confirmReopen(const QString& path)
{
    for (ImageWindow* w : imageWindows()) {
        if (!mv::str_equal_nocase(w->record().path, path.toStdString()))
            continue;
        if (w->isModified()) {
            const int answer = mv::message_dialog(
                "", "File already open and modified\nDo you want to reopen it (changes will be lost)?",
                mv::kButtonsYesNoCancel);
            if (answer != mv::kResultYes)
                return false;
        } else {
            const int answer = mv::message_dialog(
                "", "File already open but not modified: do you want to reopen it?", mv::kButtonsYesNoCancel);
            if (answer == mv::kResultNo)
                workspace_->setActiveSubWindow(w);
            if (answer != mv::kResultYes)
                return false;
        }
        delete w;
    }
    return true;
}

int FrameWindow::openPath(const QString& path, int type, bool* sizeCancelled)
{
    if (sizeCancelled)
        *sizeCancelled = false;
    workspace_->removeSplash();
    int index = -1;
    mv::WindowRecord* record = nullptr;
    if (const int err = mv::window_record_allocate(index, record))
        return err;
    const int fileType = mv::file_open_type(path.toStdString(), type);
    const std::string name =
        mv::path_default_extension(path.toStdString(), mv::file_type_default_extension(fileType));
    if (!confirmReopen(QString::fromStdString(name))) {
        mv::window_record_release(index);
        return mv::kOk;
    }
    int resolution = mv::program_state().default_pcd_resolution;
    if (fileType == mv::FILE_PHOTOCD && mv::file_exists(name) &&
        (resolution = save_commands::askPhotoCdResolution(this)) == 0) {
        mv::window_record_release(index);
        if (sizeCancelled)
            *sizeCancelled = true;
        return mv::kOk;
    }
    mv::OpenedFile opened;
    const int err = mv::file_open_path(path.toStdString(), type, record->image, opened, true, resolution);
    if (err || opened.missing) {
        mv::window_record_release(index);
        return err;
    }
    record->path = opened.path;
    record->file_type = opened.file_type;
    mv::ViewMetrics m;
    m.area_width = workspace_->viewport()->width();
    m.area_height = workspace_->viewport()->height();
    m.border = mv::preferences().border_width;
    m.frame_width = 8;
    m.frame_height = 30;
    record->zoom = mv::initial_zoom(record->image.width, record->image.height, m);
    auto* window = new ImageWindow(workspace_, index, activeImageWindow());
    connect(window, &ImageWindow::commandRequested, this, &FrameWindow::runCommand);
    window->show();
    window->pictureChanged();
    workspace_->setActiveSubWindow(window);
    emit imageOpened(window);
    return mv::kOk;
}

int FrameWindow::openWithDialog()
{
    for (;;) {
        const std::optional<file_dialogs::OpenChoice> choice = file_dialogs::askOpenFiles(workspace_);
        if (!choice)
            return mv::kOk;
        if (choice->paths.size() > 1) {
            for (const QString& path : choice->paths)
                if (const int err = openPath(path, -1))
                    return err;
            return mv::kOk;
        }
        // Cancelling the Photo CD size brings the File Open dialog back.
        bool sizeCancelled = false;
        const int err = openPath(choice->paths.first(), choice->type, &sizeCancelled);
        if (!sizeCancelled)
            return err;
    }
}

void FrameWindow::countColors()
{
    ImageWindow* w = activeImageWindow();
    if (!w)
        return;
    std::int64_t count = 0;
    const int err = mv::count_colors(w->record().image, count);
    if (err == mv::kIllegalImageType)
        return; // pseudo-images have no colours to count
    if (err) {
        mv::error_box(err);
        return;
    }
    mv::message_dialog("Count Colors", mv::format_text("Unique Colors: %,", static_cast<long long>(count)),
                       mv::kButtonsOk);
}

void FrameWindow::runCommand(int command)
{
    if (const auto handler = handlers_.find(command); handler != handlers_.end()) {
        (*handler)();
        return;
    }
    ImageWindow* w = activeImageWindow();
    switch (command) {
    case 1002: mv::error_box(openWithDialog()); return;
    case mv::kCmdNew: newImageWithDialog(); return;
    case mv::kCmdOpenPhotoCd: openPhotoCd(); return;
    case mv::kCmdBrowse: browse(); return;
    case mv::kCmdAcquire:
    case mv::kCmdSelectSource:
        // Scanners are reached through the desktop's own scanning programs on this system.
        mv::message_dialog("Acquire", "No scanner source is available.\nScan with the desktop's scanning "
                           "program and open the saved file.", mv::kButtonsOk);
        return;
    case mv::kCmdPrintSetup: print_commands::printSetup(this); return;
    case mv::kCmdArrangeIcons: arrangeIcons(); return;
    case mv::kCmdZoomTool:
        set_current_tool(currentTool() == mv::kToolZoom ? nullptr : ZoomTool::instance());
        return;
    case mv::kCmdMaskNew: {
        ImageWindow* picture = activeImageWindow();
        if (!picture)
            return; // refused without a message
        if (picture->isMinimized() || picture->isMaximized())
            picture->showNormal();
        if (MaskToolWindow* open = MaskToolWindow::instance()) {
            workspace_->setActiveSubWindow(open);
            set_current_tool(open);
            return;
        }
        mv::error_box(MaskToolWindow::open(workspace_, picture));
        return;
    }
    case mv::kCmdPreferences: PreferencesWindow::open(workspace_); return;
    case mv::kCmdCalibrate: CalibrationWindow::open(workspace_); return;
    case mv::kCmdCountColors: countColors(); return;
    case mv::kCmdUndo: undo(false); return;
    case mv::kCmdUndoAll: undo(true); return;
    case mv::kCmdCopy: copyToClipboard(); return;
    case mv::kCmdPaste: pasteFromClipboard(); return;
    case mv::kCmdNoToolBar: setToolBarPosition(-1); return;
    case mv::kCmdToolBarTop: setToolBarPosition(0); return;
    case mv::kCmdToolBarLeft: setToolBarPosition(1); return;
    case mv::kCmdManual:
    case mv::kCmdGettingStarted:
    case mv::kCmdHelpContents:
    case mv::kCmdHelpSearch:
    case mv::kCmdHelpGlossary: showHelp(QString::fromLatin1(mv::help_command_anchor(command))); return;
    case mv::kCmdHelpContext: {
        const auto* child = qobject_cast<ChildWindow*>(workspace_->activeSubWindow());
        showHelp(QString::fromLatin1(mv::help_anchor(child ? child->kind() : -1)));
        return;
    }
    case mv::kCmdAbout: {
        AboutDialog about(this);
        about.exec();
        return;
    }
    case 1013: close(); return;
    case 1018: {
        FileAssociationsDialog dialog(this);
        dialog.exec();
        return;
    }
    case 3001: showWindowInfo(); return;
    case 3012: workspace_->activateNextSubWindow(); return;
    case 3014: closeAll(); return;
    case 3016: cascade(); return;
    case 1006:
        if (ImageWindow* image = activeImageWindow())
            image->closeFromMenu();
        else if (QMdiSubWindow* active = workspace_->activeSubWindow())
            active->close();
        return;
    default: break;
    }
    if (const mv::Operation* op = transformationOperation(command)) {
        openTransformation(*op);
        return;
    }
    if (!w)
        return;
    switch (command) {
    case mv::kCmdImageCopy: mv::error_box(copyPicture(w, false)); break;
    case mv::kCmdNegative: mv::error_box(copyPicture(w, true)); break;
    case mv::kCmdPrint: {
        const int err = print_commands::print(this, w->record().image, w->windowTitle());
        if (err != mv::kAborted)
            mv::error_box(err);
        break;
    }
    case mv::kCmdBlink: {
        auto* blink = new BlinkWindow(w, imageWindows());
        workspace_->addSubWindow(blink);
        blink->show();
        break;
    }
    case 1004:
    case 1005: {
        const int err = command == 1004 ? save_commands::fileSave(w) : save_commands::fileSaveAs(w);
        if (err != mv::kAborted)
            mv::error_box(err);
        break;
    }
    case 1007:
        if (!w->record().path.empty())
            mv::error_box(save_commands::fileRevert(w));
        break;
    case 3002: showWindowGrid(); break;
    case 3003: w->expand(); break;
    case 3004: w->fit(); break;
    case 3005: w->zoomIn(false); break;
    case 3006: w->zoomIn(true); break;
    case 3007: w->zoomOut(true); break;
    case 3008: showZoomFactor(); break;
    case 3015: w->zoomOneToOne(true); break;
    default: break;
    }
}

void FrameWindow::showWindowInfo()
{
    ImageWindow* w = activeImageWindow();
    WindowInfoDialog dialog(this, w ? &w->record() : nullptr);
    dialog.exec();
}

void FrameWindow::showWindowGrid()
{
    if (ImageWindow* w = activeImageWindow()) {
        WindowGridDialog dialog(this, w);
        dialog.exec();
    }
}

void FrameWindow::showZoomFactor()
{
    ImageWindow* w = activeImageWindow();
    if (!w)
        return;
    ZoomFactorDialog dialog(this, w->record().zoom);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int zoom = dialog.chosenZoom();
    if (zoom != 0 && zoom != w->record().zoom)
        w->setZoom(zoom, true);
    w->updateTitle();
    w->canvas()->update();
}

void FrameWindow::cascade()
{
    // Window order is topmost first; the last window is placed first, at the origin.
    QList<QMdiSubWindow*> windows = workspace_->subWindowList(QMdiArea::StackingOrder);
    std::reverse(windows.begin(), windows.end());
    const std::vector<mv::CascadePoint> at =
        mv::cascade_positions(int(windows.size()), workspaceCascadeMetrics(workspace_));
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMinimized() || windows[i]->isMaximized())
            windows[i]->showNormal();
        windows[i]->move(at[i].x, at[i].y);
    }
}

std::vector<mv::CloseChild*> FrameWindow::children()
{
    otherChildren_.clear();
    std::vector<mv::CloseChild*> list;
    QList<QMdiSubWindow*> windows = workspace_->subWindowList(QMdiArea::StackingOrder);
    std::reverse(windows.begin(), windows.end());
    for (QMdiSubWindow* w : windows) {
        if (auto* image = qobject_cast<ImageWindow*>(w)) {
            list.push_back(image);
        } else {
            otherChildren_.push_back(std::make_unique<OtherChild>());
            list.push_back(otherChildren_.back().get());
        }
    }
    return list;
}

void FrameWindow::close_transformation()
{
    delete transformation_.data();
}

bool FrameWindow::mask_tool_open() const
{
    return MaskToolWindow::instance() != nullptr || !maskTool_.isNull();
}

void FrameWindow::close_mask_tool()
{
    // Closing takes the Mask Tool's own Cancel: an edited mask gets its rows back.
    if (MaskToolWindow* mask = MaskToolWindow::instance())
        mask->cancel();
    delete maskTool_.data();
}

void FrameWindow::empty_clipboard()
{
    QGuiApplication::clipboard()->clear();
    clipboardOwned_ = false;
}

void FrameWindow::destroyChildren()
{
    workspace_->setUpdatesEnabled(false);
    for (;;) {
        const QList<QMdiSubWindow*> windows = workspace_->subWindowList();
        if (windows.isEmpty())
            break;
        delete windows.first();
    }
    workspace_->setUpdatesEnabled(true);
}

bool FrameWindow::closeAll()
{
    const bool allowed = mv::close_protocol(*this, mv::CloseScope::kAll, mv::preferences().confirm);
    otherChildren_.clear();
    if (allowed)
        destroyChildren();
    return allowed;
}

void FrameWindow::closeEvent(QCloseEvent* event)
{
    const bool allowed = mv::close_protocol(*this, mv::CloseScope::kFrame, mv::preferences().confirm);
    otherChildren_.clear();
    if (!allowed) {
        event->ignore();
        return;
    }
    destroyChildren();
    event->accept();
}

void FrameWindow::changeEvent(QEvent* event)
{
    // Minimising the frame brings every minimised child back to its normal size.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        for (QMdiSubWindow* w : workspace_->subWindowList())
            if (w->isMinimized())
                w->showNormal();
    QMainWindow::changeEvent(event);
}

void FrameWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void FrameWindow::dropEvent(QDropEvent* event)
{
    openDroppedUrls(event->mimeData()->urls());
    event->acceptProposedAction();
}

void FrameWindow::openDroppedUrls(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            mv::error_box(openPath(url.toLocalFile()));
}
