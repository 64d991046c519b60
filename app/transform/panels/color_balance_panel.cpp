#include "transform/panels/color_balance_panel.h"

#include "core/error.h"
#include "transform/color_swatch.h"
#include "transform/popup_list.h"
#include "transform/settings_file_dialog.h"
#include "transform/transformation_window.h"

#include <QActionGroup>
#include <QComboBox>
#include <QToolButton>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QHideEvent>
#include <QVBoxLayout>

#include <cstring>

namespace {

// The catalogue's controls: the three mode lists (in anchor order) and the settings file.
constexpr int kModeParam[3] = {0, 1, 2};
constexpr int kFileParam = 3;

const char* const kAnchorName[3] = {"highlight", "midtone", "shadow"};
const char* const kAnchorTitle[3] = {"Highlight", "Midtone", "Shadow"};

// The record's colour arrays of an anchor.
std::uint8_t* remove_of(mv::ColorBalanceSettings& s, int anchor)
{
    return anchor == 0 ? s.highlight_remove : anchor == 1 ? s.midtone_remove : s.shadow_remove;
}

std::uint8_t* add_of(mv::ColorBalanceSettings& s, int anchor)
{
    return anchor == 0 ? s.highlight_add : anchor == 1 ? s.midtone_add : s.shadow_add;
}

// The mode that takes the swatches' colours.
int custom_mode(int anchor)
{
    return anchor == 1 ? int(mv::MIDTONE_CUSTOM) : int(mv::BALANCE_CUSTOM);
}

QColor to_color(const std::uint8_t* c)
{
    return QColor(c[0], c[1], c[2]);
}

} // namespace

ColorBalancePanel::ColorBalancePanel(TransformationWindow* window)
    : OperationPanel(window), probe_([this](ImageWindow*, const mv::Rgb& c, int, int) { probed(c); })
{
    for (int p : {kModeParam[0], kModeParam[1], kModeParam[2], kFileParam})
        window->paramControl(p)->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    grid->setColumnStretch(0, 1);
    const QStringList items[3] = {{tr("none"), tr("auto"), tr("custom")},
                                  {tr("none"), tr("custom")},
                                  {tr("none"), tr("auto"), tr("custom")}};
    for (int a = 0; a < 3; ++a) {
        const QString title = QString::fromLatin1(kAnchorTitle[a]);
        const QString name = QString::fromLatin1(kAnchorName[a]);
        modes_[a] = new PopupList(title + QLatin1Char(':'), items[a], window->values().numbers[kModeParam[a]], this);
        connect(modes_[a], &PopupList::popupChanged, this,
                [this, a](int v) { this->window()->setValue(kModeParam[a], v); });
        remove_[a] = new ColorSwatch(QString(), tr("Remove %1 Cast").arg(title), this);
        remove_[a]->button()->setToolTip(tr("Click to set %1 color to remove").arg(name));
        add_[a] = new ColorSwatch(QString(), tr("Add %1 Cast").arg(title), this);
        add_[a]->button()->setToolTip(tr("Click to set %1 color to add").arg(name));
        connect(remove_[a], &ColorSwatch::colorChanged, this,
                [this, a](const QColor& c) { colourChosen(a, true, c); });
        connect(add_[a], &ColorSwatch::colorChanged, this,
                [this, a](const QColor& c) { colourChosen(a, false, c); });
        grid->addWidget(modes_[a], a, 0);
        grid->addWidget(remove_[a], a, 1);
        grid->addWidget(add_[a], a, 2);
    }
    layout->addLayout(grid);

    auto* row = new QHBoxLayout;
    probeList_ = new PopupList(tr("Probe:"), {tr("none"), tr("highlight"), tr("shadow"), tr("midtone")},
                               mv::PROBE_NONE, this);
    row->addWidget(probeList_, 1);
    auto* optionsButton = new QPushButton(tr("Options"), this);
    optionsButton->setAutoDefault(false);
    options_ = new QMenu(optionsButton);
    optionsButton->setMenu(options_);
    row->addWidget(optionsButton);
    layout->addLayout(row);
    connect(probeList_, &PopupList::popupChanged, this, [this](int target) {
        probe_.setOn(target != mv::PROBE_NONE);
        last_.probe_target = target;
    });

    options_->addAction(tr("&Reset"), this, &ColorBalancePanel::reset);
    options_->addAction(tr("&Full Range"), this, &ColorBalancePanel::fullRange);
    options_->addAction(tr("&Load ..."), this, &ColorBalancePanel::load);
    options_->addAction(tr("&Save As ..."), this, &ColorBalancePanel::saveAs);
    options_->addSeparator();
    auto* sizes = new QActionGroup(this);
    for (int i = 0; i < 5; ++i) {
        probeActions_[i] = options_->addAction(tr("%1x%1 Color Probe").arg(2 * i + 1));
        probeActions_[i]->setCheckable(true);
        probeActions_[i]->setChecked(i == probeSize_);
        sizes->addAction(probeActions_[i]);
        connect(probeActions_[i], &QAction::triggered, this, [this, i] {
            probeSize_ = i;
            probe_.setSize(i);
        });
    }
    probe_.setSize(probeSize_);
}

int ColorBalancePanel::mode(int anchor) const
{
    return window()->values().numbers[kModeParam[anchor]];
}

void ColorBalancePanel::settingsRebuilt(mv::OperationSettings& settings)
{
    mv::ColorBalanceSettings& s = *static_cast<mv::ColorBalanceSettings*>(settings.record());
    for (int a = 0; a < 3; ++a)
        if (mode(a) == custom_mode(a)) {
            std::memcpy(remove_of(s, a), colours_[a][0], 3);
            std::memcpy(add_of(s, a), colours_[a][1], 3);
        }
    s.probe_target = probeList_->index();
    s.probe_size = probeSize_;
    mv::color_balance_apply_modes(s);
    last_ = s;
    if (!batching_)
        adoptColours();
}

void ColorBalancePanel::adoptColours()
{
    // The colours in effect, which a switch to "custom" keeps.
    for (int a = 0; a < 3; ++a) {
        std::memcpy(colours_[a][0], remove_of(last_, a), 3);
        std::memcpy(colours_[a][1], add_of(last_, a), 3);
    }
    showColours();
}

void ColorBalancePanel::showColours()
{
    for (int a = 0; a < 3; ++a) {
        modes_[a]->box()->setCurrentIndex(mode(a));
        remove_[a]->setColor(to_color(colours_[a][0]));
        add_[a]->setColor(to_color(colours_[a][1]));
    }
}

void ColorBalancePanel::setModes(int highlight, int midtone, int shadow)
{
    // Each list change rebuilds the settings; until the last one, the colours meant for the
    // new modes must not be replaced by those of the old modes.
    const int wanted[3] = {highlight, midtone, shadow};
    std::uint8_t keep[3][2][3];
    std::memcpy(keep, colours_, sizeof keep);
    bool changed = false;
    batching_ = true;
    for (int a = 0; a < 3; ++a)
        if (mode(a) != wanted[a]) {
            std::memcpy(colours_, keep, sizeof keep);
            window()->setValue(kModeParam[a], wanted[a]);
            changed = true;
        }
    batching_ = false;
    if (changed)
        adoptColours();
    else
        window()->settingsChanged();
}

void ColorBalancePanel::colourChosen(int anchor, bool remove, const QColor& c)
{
    std::uint8_t* to = colours_[anchor][remove ? 0 : 1];
    to[0] = std::uint8_t(c.red());
    to[1] = std::uint8_t(c.green());
    to[2] = std::uint8_t(c.blue());
    // A chosen colour only counts in "custom".
    int m[3] = {mode(0), mode(1), mode(2)};
    m[anchor] = custom_mode(anchor);
    setModes(m[0], m[1], m[2]);
}

void ColorBalancePanel::probed(const mv::Rgb& c)
{
    const int target = probeList_->index();
    const int anchor = target == mv::PROBE_HIGHLIGHT ? kHighlight
                       : target == mv::PROBE_SHADOW  ? kShadow
                       : target == mv::PROBE_MIDTONE ? kMidtone
                                                     : -1;
    if (anchor >= 0)
        colourChosen(anchor, true, QColor(c.red, c.green, c.blue));
}

void ColorBalancePanel::reset()
{
    std::memset(colours_[kShadow], 0, sizeof colours_[kShadow]);
    probeList_->select(mv::PROBE_NONE);
    setModes(mv::BALANCE_AUTO, mv::MIDTONE_NONE, mv::BALANCE_NONE);
}

void ColorBalancePanel::fullRange()
{
    std::memcpy(colours_[kHighlight][0], last_.found_highlight, 3);
    std::memset(colours_[kHighlight][1], 255, 3);
    std::memcpy(colours_[kShadow][0], last_.found_shadow, 3);
    std::memset(colours_[kShadow][1], 0, 3);
    setModes(mv::BALANCE_CUSTOM, mode(kMidtone), mv::BALANCE_CUSTOM);
}

int ColorBalancePanel::load()
{
    const QString path = ask_settings_load(this, color_balance_file_kind());
    if (path.isEmpty())
        return mv::kOk;
    mv::ColorBalanceSettings s = last_;
    const int err = mv::color_balance_file_read(path.toStdString(), s);
    mv::error_box(err);
    if (err == mv::kIllegalColorBalanceFile) {
        reset();
        return err;
    }
    if (err)
        return err;
    for (int a = 0; a < 3; ++a) {
        std::memcpy(colours_[a][0], remove_of(s, a), 3);
        std::memcpy(colours_[a][1], add_of(s, a), 3);
    }
    setModes(s.highlight_mode, s.midtone_on ? mv::MIDTONE_CUSTOM : mv::MIDTONE_NONE, s.shadow_mode);
    return err;
}

int ColorBalancePanel::saveAs()
{
    const QString path = ask_settings_save(this, color_balance_file_kind());
    if (path.isEmpty())
        return mv::kOk;
    const int err = mv::color_balance_file_write(path.toStdString(), last_);
    mv::error_box(err);
    return err;
}

void ColorBalancePanel::hideEvent(QHideEvent* event)
{
    probeList_->select(mv::PROBE_NONE);
    probe_.setOn(false);
    OperationPanel::hideEvent(event);
}
