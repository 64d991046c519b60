#include "transform/transformation_window.h"

#include "core/error.h"
#include "core/image.h"
#include "settings/preferences.h"
#include "shell/image_view.h"
#include "shell/image_window.h"
#include "shell/window_records.h"
#include "shell/workspace_area.h"
#include "transform/amount_control.h"
#include "transform/compute_driver.h"
#include "transform/integer_field.h"
#include "transform/operation_panel.h"
#include "transform/popup_list.h"
#include "transform/preview_window.h"
#include "transform/slider.h"
#include "transform/use_registry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = 6;
constexpr int kContentWidth = 292;
TransformationWindow* g_current = nullptr;

ChildWindow* child(void* window)
{
    return static_cast<ChildWindow*>(window);
}

void* handle(ChildWindow* window)
{
    return window;
}

// The key under which a control reads only for colour inputs. Combine Channels' colour space
// names the space of its result, whatever the picture it opened on.
bool colour_only(const mv::Operation& op, const mv::OperationParam& p)
{
    return p.key == "color-space" && op.name != "combine-channels";
}

} // namespace

TransformationWindow* TransformationWindow::current()
{
    return g_current;
}

TransformationWindow::TransformationWindow(WorkspaceArea* area, const mv::Operation& op, ImageWindow* input,
                                           ImageWindowSource candidates)
    : ChildWindow(op.kind, -1), area_(area), op_(op), candidates_(std::move(candidates)),
      values_(mv::operation_defaults(op))
{
    g_current = this;
    setWindowTitle(QString::fromStdString(op.title));
    setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    state_.input_window = handle(input);
    state_.transformation_window = handle(this);
    state_.transformation_number = op.kind;
    state_.title = op.title;
    state_.uses = &app_use_list();
    state_.output_resolution = input->record().image.resolution;

    setWidget(buildControls());
    area->addSubWindow(this);
    if (panel_) {
        // The panel sets the values that depend on the input before the first settings.
        quiet_ = true;
        panel_->inputChanged();
        quiet_ = false;
    }
    rebuildSettings();
    if (amount_ && settings_ && settings_->amount())
        amount_->load(*settings_->amount());
    mv::transformation_reset(state_, *this);
    const int type = input->record().image.type;
    show_color_controls(type == mv::IMAGE_COLOR || type == mv::IMAGE_COLOR48);
    mv::use_add(app_use_list(), handle(this), handle(input), op.title, true);

    adjustSize();
    int left = 0, top = 0;
    mv::transformation_window_origin(area->viewport()->width(), area->viewport()->height(), width(), height(),
                                     kMargin, left, top);
    move(std::max(0, left), std::max(0, top));
}

TransformationWindow::~TransformationWindow()
{
    if (g_current == this)
        g_current = nullptr;
    mv::use_forget(app_use_list(), handle(this));
    if (amount_)
        mv::use_forget(app_use_list(), amount_);
}

QWidget* TransformationWindow::buildControls()
{
    auto* content = new QWidget(this);
    QPalette pal = content->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    content->setPalette(pal);
    content->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kMargin);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(kMargin);
    auto_ = new QCheckBox(tr("Auto"), content);
    connect(auto_, &QCheckBox::clicked, this, [this] { press(mv::kButtonAuto); });
    bar->addWidget(auto_);
    const std::pair<QString, int> buttons[] = {{tr("Preview"), mv::kButtonPreview},
                                               {tr("Apply"), mv::kButtonApply},
                                               {tr("OK"), mv::kButtonOk},
                                               {tr("Cancel"), mv::kButtonCancel}};
    for (const auto& [text, id] : buttons) {
        auto* b = new QPushButton(text, content);
        b->setProperty("buttonId", id);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id = id] { press(id); });
        bar->addWidget(b);
        buttons_.append(b);
    }
    layout->addLayout(bar);

    inputRow_ = new QWidget(content);
    auto* inputRow = new QHBoxLayout(inputRow_);
    inputRow->setContentsMargins(0, 0, 0, 0);
    inputRow->addWidget(new QLabel(tr("Input Image:"), inputRow_));
    inputSwatch_ = new QToolButton(inputRow_);
    inputSwatch_->setFixedSize(33, 33);
    inputSwatch_->setIconSize(QSize(27, 27));
    connect(inputSwatch_, &QToolButton::clicked, this, [this] {
        QList<ImageWindow*> accepted;
        for (ImageWindow* w : candidates_ ? candidates_() : QList<ImageWindow*>{})
            if (op_.accepted_types & (1u << w->record().image.type))
                accepted.append(w);
        const int chosen = show_image_menu(this, inputSwatch_->mapToGlobal(QPoint(0, 33)), QString(), accepted);
        if (chosen >= 0)
            chooseInput(accepted[chosen]);
    });
    inputRow->addWidget(inputSwatch_);
    inputRow->addStretch();
    layout->addWidget(inputRow_);

    if (op_.has_amount) {
        amount_ = new AmountControl(candidates_, content);
        amount_->setFixedWidth(kContentWidth);
        connect(amount_, &AmountControl::amountChanged, this, &TransformationWindow::settingsChanged);
        connect(amount_, &AmountControl::maskWindowChanged, this, [this](ImageWindow* previous, ImageWindow* now) {
            if (previous)
                mv::use_remove(app_use_list(), amount_, handle(previous));
            if (now)
                mv::use_add(app_use_list(), amount_, handle(now), "Amount Mask", true);
        });
        layout->addWidget(amount_);
    }

    for (size_t i = 0; i < op_.params.size(); ++i) {
        const mv::OperationParam& p = op_.params[i];
        QWidget* control = nullptr;
        const int index = int(i);
        switch (p.kind) {
        case mv::OperationParam::kList: {
            QStringList items;
            for (const std::string& v : p.values)
                items << QString::fromStdString(v);
            auto* list = new PopupList(QString::fromStdString(p.label), items, p.default_value, content);
            connect(list, &PopupList::popupChanged, this, [this, index](int v) { setValue(index, v); });
            control = list;
            break;
        }
        case mv::OperationParam::kInteger: {
            auto* field = new IntegerField(QString::fromStdString(p.label), p.minimum, p.maximum,
                                           p.default_value, content);
            connect(field, &IntegerField::integerChanged, this, [this, index](int v) { setValue(index, v); });
            control = field;
            break;
        }
        case mv::OperationParam::kPercent: {
            auto* box = new QWidget(content);
            auto* v = new QVBoxLayout(box);
            v->setContentsMargins(0, 0, 0, 0);
            auto* label = new QLabel(box);
            auto* slider = new Slider(box);
            slider->setValues(p.default_value);
            const QString text = QString::fromStdString(p.label);
            const auto show = [label, text](int value) {
                label->setText(QStringLiteral("%1 %2%").arg(text).arg((value * 100 + 512) / 1024));
            };
            show(p.default_value);
            box->setProperty("percentLabel", text);
            connect(slider, &Slider::sliderMoving, label, [show](int low, int) { show(low); });
            connect(slider, &Slider::sliderReleased, this, [this, index, show](int low, int) {
                show(low);
                setValue(index, low);
            });
            v->addWidget(label);
            v->addWidget(slider);
            control = box;
            break;
        }
        case mv::OperationParam::kFile: {
            auto* row = new QWidget(content);
            auto* h = new QHBoxLayout(row);
            h->setContentsMargins(0, 0, 0, 0);
            h->addWidget(new QLabel(QString::fromStdString(p.label), row));
            auto* name = new QLineEdit(row);
            name->setReadOnly(true);
            auto* browse = new QPushButton(tr("Load..."), row);
            connect(browse, &QPushButton::clicked, this, [this, index, name] {
                const QString path = QFileDialog::getOpenFileName(this, QString::fromStdString(op_.params[size_t(index)].label));
                if (path.isEmpty())
                    return;
                setText(index, path.toStdString());
            });
            h->addWidget(name, 1);
            h->addWidget(browse);
            control = row;
            break;
        }
        case mv::OperationParam::kText: {
            // Operations with a text setting normally give it a panel of their own, which
            // hides this plain field.
            auto* row = new QWidget(content);
            auto* h = new QHBoxLayout(row);
            h->setContentsMargins(0, 0, 0, 0);
            h->addWidget(new QLabel(QString::fromStdString(p.label), row));
            auto* text = new QLineEdit(QString::fromStdString(p.default_text), row);
            connect(text, &QLineEdit::editingFinished, this,
                    [this, index, text] { setText(index, text->text().toStdString()); });
            h->addWidget(text, 1);
            control = row;
            break;
        }
        }
        control->setFixedWidth(kContentWidth);
        if (colour_only(op_, p))
            colorOnly_.append(control);
        layout->addWidget(control);
        paramControls_.append(control);
    }
    panel_ = create_operation_panel(this);
    if (panel_)
        layout->addWidget(panel_);
    layout->addStretch();
    return content;
}

ImageWindow* TransformationWindow::input() const
{
    return qobject_cast<ImageWindow*>(child(state_.input_window));
}

PreviewWindow* TransformationWindow::preview() const
{
    return state_.preview_window ? qobject_cast<PreviewWindow*>(child(state_.preview_window)) : nullptr;
}

QPushButton* TransformationWindow::button(int id) const
{
    for (QPushButton* b : buttons_)
        if (b->property("buttonId").toInt() == id)
            return b;
    return nullptr;
}

void* TransformationWindow::settingsRecord()
{
    return settings_ ? settings_->record() : nullptr;
}

mv::RegionFunction TransformationWindow::regionFunction() const
{
    return settings_ ? settings_->region() : nullptr;
}

int TransformationWindow::rebuildSettings()
{
    ImageWindow* in = input();
    if (!in)
        return mv::kIllegalImageType;
    std::unique_ptr<mv::OperationSettings> fresh;
    const int err = op_.make(in->record().image, values_, fresh);
    if (err)
        return err;
    if (amount_ && fresh->amount())
        *fresh->amount() = amount_->block();
    if (panel_)
        panel_->settingsRebuilt(*fresh);
    fresh->output_size(in->record().image, state_.output_width, state_.output_height);
    settings_ = std::move(fresh);
    updateInputSwatch();
    return mv::kOk;
}

void TransformationWindow::updateInputSwatch()
{
    if (ImageWindow* in = input())
        inputSwatch_->setIcon(QIcon(image_thumbnail(in, 27)));
}

void TransformationWindow::settingsChanged()
{
    if (quiet_)
        return;
    if (const int err = rebuildSettings()) {
        mv::error_box(err);
        return;
    }
    mv::preview_changed(state_, *this, settingsRecord(), regionFunction());
}

void TransformationWindow::setValue(int param, int value)
{
    if (param < 0 || size_t(param) >= values_.numbers.size())
        return;
    const bool changed = values_.numbers[size_t(param)] != value;
    values_.numbers[size_t(param)] = value;
    syncControl(param);
    if (changed)
        settingsChanged();
}

void TransformationWindow::setText(int param, const std::string& text)
{
    if (param < 0 || size_t(param) >= values_.texts.size())
        return;
    const bool changed = values_.texts[size_t(param)] != text;
    values_.texts[size_t(param)] = text;
    syncControl(param);
    if (changed)
        settingsChanged();
}

void TransformationWindow::storeText(int param, const std::string& text)
{
    if (param < 0 || size_t(param) >= values_.texts.size())
        return;
    values_.texts[size_t(param)] = text;
    syncControl(param);
}

void TransformationWindow::syncControl(int param)
{
    QWidget* control = paramControl(param);
    if (!control)
        return;
    const mv::OperationParam& p = op_.params[size_t(param)];
    const int value = values_.numbers[size_t(param)];
    switch (p.kind) {
    case mv::OperationParam::kList:
        if (auto* list = qobject_cast<PopupList*>(control))
            list->setIndex(value);
        break;
    case mv::OperationParam::kInteger:
        if (auto* field = qobject_cast<IntegerField*>(control))
            field->setValue(value);
        break;
    case mv::OperationParam::kPercent:
        if (auto* slider = control->findChild<Slider*>())
            if (slider->low() != value)
                slider->setValues(value);
        if (auto* label = control->findChild<QLabel*>())
            label->setText(QStringLiteral("%1 %2%")
                               .arg(control->property("percentLabel").toString())
                               .arg((value * 100 + 512) / 1024));
        break;
    case mv::OperationParam::kFile:
    case mv::OperationParam::kText:
        if (auto* edit = control->findChild<QLineEdit*>())
            if (edit->text().toStdString() != values_.texts[size_t(param)])
                edit->setText(QString::fromStdString(values_.texts[size_t(param)]));
        break;
    }
}

void TransformationWindow::chooseInput(ImageWindow* window)
{
    if (!window || handle(window) == state_.input_window)
        return;
    void* previous = state_.input_window;
    const mv::OperationValues before = values_;
    state_.input_window = handle(window);
    // The panel adapts the values that depend on the input first, so the settings built
    // for the new input are complete before the preview runs.
    const auto panelInputChanged = [this] {
        if (!panel_)
            return;
        quiet_ = true;
        panel_->inputChanged();
        quiet_ = false;
    };
    panelInputChanged();
    const int err = rebuildSettings();
    state_.input_window = previous;
    if (err) {
        panelInputChanged();
        values_ = before;
        for (int i = 0; i < int(values_.numbers.size()); ++i)
            syncControl(i);
        mv::error_box(err);
        return;
    }
    mv::input_change_sequence(state_, *this, handle(window), settingsRecord(), regionFunction());
    updateInputSwatch();
}

void TransformationWindow::refreshPreview()
{
    if (!state_.preview_window)
        return;
    state_.preview_stale = true;
    mv::run_code(state_, *this, settingsRecord(), false, nullptr, regionFunction());
}

void TransformationWindow::press(int id)
{
    mv::handle_button(state_, *this, id, settingsRecord(), regionFunction());
}

void TransformationWindow::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        ChildWindow::closeEvent(event);
        return;
    }
    event->ignore();
    mv::transformation_cancel(state_, *this);
}

void TransformationWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        mv::transformation_cancel(state_, *this);
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        mv::transformation_accept(state_, *this, settingsRecord(), regionFunction());
    else
        ChildWindow::keyPressEvent(event);
}

int TransformationWindow::create_preview(bool full_result, void*& window)
{
    int index = -1;
    mv::WindowRecord* record = nullptr;
    if (const int err = mv::window_record_allocate(index, record))
        return err;
    if (full_result) {
        auto* result = new ImageWindow(area_, index, input());
        result->hide();
        window = handle(result);
        return mv::kOk;
    }
    auto* preview = new PreviewWindow(area_, index);
    const mv::Preferences& prefs = mv::preferences();
    const int frameW = 8, frameH = 30;
    const int zoom = mv::preview_initial_zoom(state_.output_width, state_.output_height, frameW, frameH,
                                              prefs.border_width, area_->viewport()->width(),
                                              area_->viewport()->height());
    preview->setPictureSize(state_.output_width, state_.output_height);
    mv::preview_view_setup(*record, state_.output_width, state_.output_height, zoom);
    int left = 0, outerW = 0, outerH = 0;
    mv::preview_geometry(state_.output_width, state_.output_height, zoom, frameW, frameH,
                         area_->viewport()->width(), left, outerW, outerH);
    preview->resize(outerW, outerH);
    preview->move(std::max(0, left), 0);
    preview->updateTitle();
    preview->setCurrentCheck([this] { return !state_.preview_stale; });
    connect(preview, &PreviewWindow::closedByUser, this, [this] { mv::preview_window_closed(state_, *this); });
    connect(preview, &PreviewWindow::areaNeeded, this,
            [this, preview](bool whole, const QRect& area) { previewAreaNeeded(preview, whole, area); });
    preview->show();
    // The frame's real size is known once shown: the client area takes the reduced picture.
    const QSize want(record->visible_width, record->visible_height);
    if (preview->canvas()->size() != want) {
        preview->resize(preview->size() + want - preview->canvas()->size());
        preview->move(std::max(0, area_->viewport()->width() - preview->width()), 0);
    }
    window = handle(preview);
    return mv::kOk;
}

void TransformationWindow::previewAreaNeeded(PreviewWindow* preview, bool whole, const QRect& area)
{
    // Requests from a preview still being set up, or from one already replaced, are dropped.
    if (!preview || handle(preview) != state_.preview_window)
        return;
    state_.preview_stale = true;
    if (whole) {
        mv::run_code(state_, *this, settingsRecord(), false, nullptr, regionFunction());
        return;
    }
    const mv::IntRect rect{area.left(), area.top(), area.right(), area.bottom()};
    if (mv::run_code(state_, *this, settingsRecord(), false, &rect, regionFunction()) == mv::kOk && this->preview()) {
        const mv::WindowRecord& r = preview->record();
        preview->canvas()->update(area.translated(r.centre_left, r.centre_top));
    }
}

void TransformationWindow::destroy_window(void* window)
{
    ChildWindow* w = child(window);
    if (auto* p = qobject_cast<PreviewWindow*>(w))
        p->closingByProgram_ = true;
    delete w;
}

void TransformationWindow::destroy_transformation_window(void*)
{
    closing_ = true;
    if (g_current == this)
        g_current = nullptr;
    hide();
    deleteLater();
}

mv::WindowRecord* TransformationWindow::record_of(void* window)
{
    ChildWindow* w = child(window);
    if (!w || w->recordIndex() < 0)
        return nullptr;
    return mv::window_record_at(w->recordIndex());
}

void TransformationWindow::client_size(void* window, int& width, int& height)
{
    // A setting may have changed the output's size (a resize) while the preview is open.
    if (auto* p = qobject_cast<PreviewWindow*>(child(window)))
        p->setPictureSize(state_.output_width, state_.output_height);
    const mv::WindowRecord* r = record_of(window);
    width = r ? r->visible_width : 0;
    height = r ? r->visible_height : 0;
}

void TransformationWindow::set_preview_button_enabled(bool enabled)
{
    if (QPushButton* b = button(mv::kButtonPreview))
        b->setEnabled(enabled);
}

void TransformationWindow::set_auto_checked(bool checked)
{
    auto_->setChecked(checked);
}

void TransformationWindow::activate(void* window)
{
    if (ChildWindow* w = child(window); w && w->isVisible())
        area_->setActiveSubWindow(w);
}

void TransformationWindow::show_error(int code)
{
    mv::error_box(code);
}

void TransformationWindow::show_result(void* window, int zoom, int left, int top)
{
    auto* result = qobject_cast<ImageWindow*>(child(window));
    if (!result)
        return;
    result->record().zoom = zoom;
    result->move(left, top);
    result->show();
    result->pictureChanged();
}

void TransformationWindow::finish_result(void* window)
{
    auto* result = qobject_cast<ImageWindow*>(child(window));
    if (!result)
        return;
    result->setModified(true);
    const mv::Image& img = result->record().image;
    result->setZoom(mv::fit_zoom(1, img.width, img.height, result->metrics()), true);
    area_->setActiveSubWindow(result);
    emit resultCreated(result);
}

void TransformationWindow::refresh_preview_title(void* window)
{
    if (auto* p = qobject_cast<PreviewWindow*>(child(window)))
        p->updateTitle();
}

void TransformationWindow::repaint(void* window)
{
    if (ChildWindow* w = child(window); w && w->widget())
        w->widget()->update();
}

void TransformationWindow::window_position(void* window, int& left, int& top)
{
    const QPoint at = child(window) ? child(window)->pos() : QPoint();
    left = at.x();
    top = at.y();
}

int TransformationWindow::margin()
{
    return kMargin;
}

int TransformationWindow::caption_step()
{
    return height() - (widget() ? widget()->height() : 0);
}

void TransformationWindow::reset_amount_mask(int width, int height)
{
    if (!amount_)
        return;
    amount_->setRequiredSize(width, height);
    amount_->setMask(nullptr);
    if (settings_ && settings_->amount())
        *settings_->amount() = amount_->block();
}

void TransformationWindow::show_color_controls(bool shown)
{
    for (QWidget* w : colorOnly_)
        w->setVisible(shown);
    if (widget())
        widget()->adjustSize();
    adjustSize();
}

void TransformationWindow::keep_inside(void*)
{
    int left = x(), top = y();
    mv::keep_inside_area(area_->viewport()->width(), area_->viewport()->height(), width(), height(), kMargin,
                         left, top);
    move(left, top);
}

int open_transformation(WorkspaceArea* area, const mv::Operation& op, ImageWindow* input,
                        ImageWindowSource candidates)
{
    if (TransformationWindow* open = TransformationWindow::current()) {
        area->setActiveSubWindow(open);
        return mv::kOk;
    }
    if (!input)
        return mv::kOk;
    if (!(op.accepted_types & (1u << input->record().image.type)))
        return mv::kIllegalImageType;
    auto* window = new TransformationWindow(area, op, input, std::move(candidates));
    window->show();
    area->setActiveSubWindow(window);
    return mv::kOk;
}
