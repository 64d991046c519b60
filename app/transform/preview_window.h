// The preview of the open transformation: a window of kind 1 titled "Preview (1:k)" whose
// display image the transformation computes directly, at the preview's reduced zoom.
#pragma once

#include "shell/child_window.h"

#include <QWidget>

class WorkspaceArea;

namespace mv {
struct WindowRecord;
}

class PreviewWindow : public ChildWindow {
    Q_OBJECT
public:
    // Takes over the record at `recordIndex` (released when the window goes).
    PreviewWindow(WorkspaceArea* area, int recordIndex);
    ~PreviewWindow() override;

    mv::WindowRecord& record() const;
    void updateTitle();

signals:
    // The user closed the preview (not the transformation closing it).
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool closingByProgram_ = false;
    friend class TransformationWindow;
};
