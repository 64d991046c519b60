#include "core/message_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

MessageDialog::MessageDialog(QWidget* parent, const QString& title, const QString& text, int buttons)
    : QDialog(parent)
{
    setWindowTitle(title.left(80));
    setModal(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    auto* label = new QLabel(text.left(340), this);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
    label->setMinimumWidth(200);

    auto* row = new QHBoxLayout;
    row->addStretch();
    switch (buttons) {
    case mv::kButtonsOkCancel:
        addButton(tr("OK"), mv::kResultOk);
        addButton(tr("&Cancel"), mv::kResultCancel);
        escapeResult_ = mv::kResultCancel;
        break;
    case mv::kButtonsYesNoCancel:
        addButton(tr("&Yes"), mv::kResultYes);
        addButton(tr("&No"), mv::kResultNo);
        addButton(tr("&Cancel"), mv::kResultCancel);
        escapeResult_ = mv::kResultCancel;
        break;
    case mv::kButtonsYesNo:
        addButton(tr("&Yes"), mv::kResultYes);
        addButton(tr("&No"), mv::kResultNo);
        escapeResult_ = mv::kResultNo;
        break;
    default:
        addButton(tr("OK"), mv::kResultOk);
        escapeResult_ = mv::kResultOk;
        break;
    }
    // Every button has the width of the widest caption.
    int widest = 0;
    for (auto& [b, result] : buttons_)
        widest = std::max(widest, b->sizeHint().width());
    for (auto& [b, result] : buttons_) {
        b->setFixedWidth(widest);
        row->addWidget(b);
    }
    row->addStretch();
    buttons_.first().first->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void MessageDialog::addButton(const QString& caption, int result)
{
    auto* b = new QPushButton(caption, this);
    connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
    buttons_.append({b, result});
}

QPushButton* MessageDialog::button(int result) const
{
    for (auto& [b, r] : buttons_)
        if (r == result)
            return b;
    return nullptr;
}

void MessageDialog::reject()
{
    done(escapeResult_);
}

int MessageDialog::ask(QWidget* parent, const QString& title, const QString& text, int buttons)
{
    // A box always shows the arrow cursor and takes the mouse back from whoever held it.
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    int overrides = 0;
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        ++overrides;
    }
    MessageDialog box(parent, title, text, buttons);
    const int result = box.exec();
    while (overrides-- > 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    return result;
}

int DialogMessageSink::show(std::string_view title, std::string_view text, int buttons)
{
    return MessageDialog::ask(parent_, QString::fromUtf8(title.data(), qsizetype(title.size())),
                              QString::fromUtf8(text.data(), qsizetype(text.size())), buttons);
}
