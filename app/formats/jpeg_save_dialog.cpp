#include "formats/jpeg_save_dialog.h"

#include "core/format.h"
#include "settings/preferences.h"
#include "shell/data_paths.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The user manual's JPEG section when the manual is installed; a beep otherwise.
void openHelp() { openManual(QStringLiteral("jpeg")); }

} // namespace

JpegSaveDialog::JpegSaveDialog(QWidget* parent, bool colour)
    : QDialog(parent), slider_(new QSlider(Qt::Horizontal, this)), label_(new QLabel(this))
{
    setWindowTitle(QStringLiteral("File Save (JPEG)"));
    const mv::ProgramState& st = mv::program_state();
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* ok = new QPushButton(tr("OK"), this);
    auto* help = new QPushButton(tr("Help"), this);
    ok->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    buttons->addWidget(help);
    layout->addLayout(buttons);

    slider_->setRange(0, 1024);
    slider_->setValue(positionOf(std::clamp(st.jpeg_quality, 0, 100)));
    const auto showQuality = [this] {
        label_->setText(QString::fromStdString(mv::format_text("Quality: %d", quality())));
    };
    showQuality();
    connect(slider_, &QSlider::valueChanged, this, showQuality);
    layout->addWidget(label_);
    layout->addWidget(slider_);
    if (colour) {
        sampling_ = new QComboBox(this);
        sampling_->addItems({QStringLiteral("4:4:4"), QStringLiteral("4:2:2"), QStringLiteral("4:1:1")});
        sampling_->setCurrentIndex(std::clamp(st.jpeg_sampling, 0, 2));
        auto* samplingLabel = new QLabel(tr("Color Sampling:"), this);
        samplingLabel->setBuddy(sampling_);
        layout->addWidget(samplingLabel);
        layout->addWidget(sampling_);
    }
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, &openHelp);
    setMinimumWidth(260);
}

int JpegSaveDialog::quality() const
{
    return qualityOf(slider_->value());
}

int JpegSaveDialog::sampling() const
{
    return sampling_ ? sampling_->currentIndex() : mv::program_state().jpeg_sampling;
}

bool JpegSaveDialog::ask(QWidget* parent, bool colour, mv::SaveOptions& options)
{
    JpegSaveDialog dialog(parent, colour);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    mv::ProgramState& st = mv::program_state();
    st.jpeg_quality = dialog.quality();
    st.jpeg_sampling = dialog.sampling();
    options.jpeg_quality = st.jpeg_quality;
    options.jpeg_sampling = colour ? st.jpeg_sampling : mv::kSampling444;
    return true;
}
