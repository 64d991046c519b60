// An operation's own controls (a curve, a probe, colour swatches, point pairs ...) shown in its
// transformation window below the controls laid out from the catalogue. A panel edits the
// window's values through setValue/setText, may hide the generic controls it replaces, and may
// copy data the values cannot carry into the settings record each time it is rebuilt.
#pragma once

#include "transform/operation.h"

#include <QWidget>
#include <string>

class TransformationWindow;

class OperationPanel : public QWidget {
    Q_OBJECT
public:
    explicit OperationPanel(TransformationWindow* window);

    TransformationWindow* window() const { return window_; }
    // The input picture changed (another window was chosen, or the first one was set).
    virtual void inputChanged() {}
    // The settings were just rebuilt from the values; the panel may complete the record.
    virtual void settingsRebuilt(mv::OperationSettings& /*settings*/) {}

private:
    TransformationWindow* window_;
};

using OperationPanelFactory = OperationPanel* (*)(TransformationWindow* window);

// Registers the panel shown for the catalogue operation `name`.
void register_operation_panel(const std::string& name, OperationPanelFactory factory);
// The panel for the window's operation, or null when it has none. Registration happens on
// the first call, from the install functions below.
OperationPanel* create_operation_panel(TransformationWindow* window);

// Each group of panels registers itself here (one file per group under transform/panels/).
void install_tone_panels();
void install_geometry_panels();
void install_reduce_panels();
