// A transformation window laid out from the operation catalogue: the button bar ("Auto",
// "Preview", "Apply", "OK", "Cancel"), the "Input Image:" selector, the Amount control and the
// operation's own controls. The engine's transformation state decides what the buttons do;
// this window carries out its requests (preview and result windows, check marks, activation).
#pragma once

#include "shell/child_window.h"
#include "transform/image_menu.h"
#include "transform/operation.h"
#include "transform/transformation_state.h"

#include <QPointer>
#include <memory>

class AmountControl;
class OperationPanel;
class ImageWindow;
class PreviewWindow;
class QCheckBox;
class QPushButton;
class QToolButton;
class WorkspaceArea;

class TransformationWindow : public ChildWindow, public mv::TransformationHost {
    Q_OBJECT
public:
    // Opens the window for `input`; `candidates` lists the workspace's image windows.
    TransformationWindow(WorkspaceArea* area, const mv::Operation& op, ImageWindow* input,
                         ImageWindowSource candidates);
    ~TransformationWindow() override;

    // The one open transformation window, if any.
    static TransformationWindow* current();

    const mv::Operation& operation() const { return op_; }
    const mv::TransformationState& state() const { return state_; }
    ImageWindow* input() const;
    PreviewWindow* preview() const;
    AmountControl* amountControl() const { return amount_; }
    QPushButton* button(int id) const;
    QCheckBox* autoBox() const { return auto_; }
    // Control values as the catalogue numbers them.
    const mv::OperationValues& values() const { return values_; }
    void setValue(int param, int value);
    // Sets a text value (a file path, a settings text) and recomputes.
    void setText(int param, const std::string& text);
    // Stores a text value without recomputing (a panel changing several values stores all
    // but the last, which it sets).
    void storeText(int param, const std::string& text);
    // The workspace's image windows, in window order (what selectors offer).
    const ImageWindowSource& imageWindows() const { return candidates_; }
    // The "Input Image:" selector row (hidden by operations that name no input).
    QWidget* inputSelector() const { return inputRow_; }
    // The generic control laid out for a catalogue parameter (panels may hide it).
    QWidget* paramControl(int param) const { return paramControls_.value(param); }
    // The operation's own controls, if it has any.
    OperationPanel* panel() const { return panel_; }
    // Rebuilds the settings record from the values (and the panel) and recomputes the preview.
    void settingsChanged();
    void chooseInput(ImageWindow* window);
    // Recomputes the preview, if there is one (the display tables changed).
    void refreshPreview();
    void press(int id);

    // TransformationHost
    int create_preview(bool full_result, void*& window) override;
    void destroy_window(void* window) override;
    void destroy_transformation_window(void* window) override;
    mv::WindowRecord* record_of(void* window) override;
    void client_size(void* window, int& width, int& height) override;
    void set_preview_button_enabled(bool enabled) override;
    void set_auto_checked(bool checked) override;
    void activate(void* window) override;
    void show_error(int code) override;
    void show_result(void* window, int zoom, int left, int top) override;
    void finish_result(void* window) override;
    void refresh_preview_title(void* window) override;
    void repaint(void* window) override;
    void window_position(void* window, int& left, int& top) override;
    int margin() override;
    int caption_step() override;
    void reset_amount_mask(int width, int height) override;
    void show_color_controls(bool shown) override;
    void keep_inside(void* window) override;

signals:
    // An Apply produced a new image window.
    void resultCreated(ImageWindow* window);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildControls();
    // Shows a value in its generic control without reporting it again.
    void syncControl(int param);
    // The preview asks for its whole display or a strip of it.
    void previewAreaNeeded(PreviewWindow* preview, bool whole, const QRect& area);
    int rebuildSettings();
    void updateInputSwatch();
    void* settingsRecord();
    mv::RegionFunction regionFunction() const;

    WorkspaceArea* area_;
    const mv::Operation& op_;
    ImageWindowSource candidates_;
    mv::TransformationState state_;
    mv::OperationValues values_;
    std::unique_ptr<mv::OperationSettings> settings_;
    AmountControl* amount_ = nullptr;
    QWidget* inputRow_ = nullptr;
    QToolButton* inputSwatch_ = nullptr;
    QCheckBox* auto_ = nullptr;
    QList<QPushButton*> buttons_;
    QList<QWidget*> colorOnly_;
    QList<QWidget*> paramControls_;
    OperationPanel* panel_ = nullptr;
    bool closing_ = false;
    bool quiet_ = false; // values change without recomputing (the input is being set)
};

// Opens the catalogue's operation on the active image window, or activates the transformation
// window that is already open. Returns 0 or an error code.
int open_transformation(WorkspaceArea* area, const mv::Operation& op, ImageWindow* input,
                        ImageWindowSource candidates);
