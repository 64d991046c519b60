#include "tools/brush_controls.h"

#include "transform/slider.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
constexpr int kPreviewSize = 64;
}

BrushControls::BrushControls(mv::BrushSettings& settings, const mv::Image& brush, bool fadeout,
                             std::function<void()> rebuild, QWidget* parent)
    : QWidget(parent), settings_(settings), brush_(brush), rebuild_(std::move(rebuild))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const auto row = [&](QLabel*& label, int position) {
        label = new QLabel(this);
        auto* s = new Slider(this);
        s->setValues(position);
        layout->addWidget(label);
        layout->addWidget(s);
        return s;
    };
    radius_ = row(radiusLabel_, mv::slider_from_radius(settings_.radius));
    transparency_ = row(transparencyLabel_, mv::slider_from_percent(settings_.transparency));
    softness_ = row(softnessLabel_, mv::slider_from_percent(settings_.softness));
    spacing_ = row(spacingLabel_, mv::slider_from_spacing(settings_.spacing));
    if (fadeout)
        fadeout_ = row(fadeoutLabel_, mv::slider_from_fadeout(settings_.fadeout));
    preview_ = new QLabel(this);
    preview_->setFixedSize(kPreviewSize, kPreviewSize);
    preview_->setFrameShape(QFrame::Box);
    preview_->setAlignment(Qt::AlignCenter);
    layout->addWidget(preview_, 0, Qt::AlignHCenter);

    // The brush shape sliders rebuild the brush when let go; the labels follow at once.
    const auto shape = [this](Slider* s, double& value, double (*map)(int)) {
        connect(s, &Slider::sliderMoving, this, [this, &value, map](int p, int) {
            value = map(p);
            updateLabels();
        });
        connect(s, &Slider::sliderReleased, this, [this, &value, map](int p, int) {
            value = map(p);
            updateLabels();
            rebuild_();
            updatePreview();
        });
    };
    shape(radius_, settings_.radius, mv::radius_from_slider);
    shape(transparency_, settings_.transparency, mv::percent_from_slider);
    shape(softness_, settings_.softness, mv::percent_from_slider);
    const auto plain = [this](Slider* s, double& value, double (*map)(int)) {
        const auto set = [this, &value, map](int p, int) {
            value = map(p);
            updateLabels();
        };
        connect(s, &Slider::sliderMoving, this, set);
        connect(s, &Slider::sliderReleased, this, set);
    };
    plain(spacing_, settings_.spacing, mv::spacing_from_slider);
    if (fadeout_)
        plain(fadeout_, settings_.fadeout, mv::fadeout_from_slider);
    updateLabels();
    updatePreview();
}

void BrushControls::refresh()
{
    transparency_->setValues(mv::slider_from_percent(settings_.transparency));
    updateLabels();
    updatePreview();
}

void BrushControls::updateLabels()
{
    radiusLabel_->setText(QString::asprintf("Radius: %.1f", settings_.radius));
    transparencyLabel_->setText(QString::asprintf("Transparency: %.1f", settings_.transparency));
    softnessLabel_->setText(QString::asprintf("Softness: %.1f", settings_.softness));
    spacingLabel_->setText(QString::asprintf("Spacing: %.1f%%", settings_.spacing * 100.0));
    if (fadeoutLabel_)
        fadeoutLabel_->setText(QString::asprintf("Fadeout: %.1f%%", settings_.fadeout * 100.0));
}

void BrushControls::updatePreview()
{
    // The brush weights as black on white, scaled to fit the preview box.
    if (brush_.empty() || brush_.type != mv::IMAGE_GRAY) {
        preview_->clear();
        return;
    }
    QImage picture(brush_.width, brush_.height, QImage::Format_Grayscale8);
    for (int y = 0; y < brush_.height; ++y) {
        const std::uint8_t* src = brush_.row(brush_.height - 1 - y);
        uchar* out = picture.scanLine(y);
        for (int x = 0; x < brush_.width; ++x)
            out[x] = uchar(255 - src[x]);
    }
    const int side = kPreviewSize - 4;
    const QImage shown = brush_.width > side
                             ? picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                             : picture.scaled(brush_.width * std::max(1, side / brush_.width),
                                              brush_.height * std::max(1, side / brush_.height));
    preview_->setPixmap(QPixmap::fromImage(shown));
}
