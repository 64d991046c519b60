// "Window Info": what the active image window holds and where it came from.
#pragma once

#include "formats/window_info.h"

#include <QDialog>

class QLabel;

namespace mv {
struct WindowRecord;
}

class WindowInfoDialog : public QDialog {
    Q_OBJECT
public:
    // `record` is the active image window's record, or null when there is none (every field
    // then reads "N/A").
    WindowInfoDialog(QWidget* parent, const mv::WindowRecord* record);

    const mv::WindowInfo& info() const { return info_; }
    // The shown text of a field: "type", "bytes", "pixels", "inches", "dpi", "path",
    // "format", "date".
    QString field(const QString& name) const;

private:
    mv::WindowInfo info_;
};
