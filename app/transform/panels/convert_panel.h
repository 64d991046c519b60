// Convert's own line: "Convert from: ..." naming the input's type above the "Convert To:"
// list, and the target that starts as the input's own type whenever the input changes.
#pragma once

#include "transform/operation_panel.h"

class QLabel;

class ConvertPanel : public OperationPanel {
    Q_OBJECT
public:
    explicit ConvertPanel(TransformationWindow* window);
    void inputChanged() override;
    QLabel* sourceLabel() const { return source_; }

private:
    QLabel* source_;
};
