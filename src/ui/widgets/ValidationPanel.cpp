#include "ValidationPanel.h"

#include "BlinkLabel.h"
#include "Controls.h"
#include "Pictures.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTextDocument>

namespace clipvane {

ValidationPanel::ValidationPanel(QWidget* parent) : QWidget(parent) {
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(6, 4, 6, 4);
    ImageValidate = named(new QLabel(this), "ImageValidate");
    ImageValidate->setFixedSize(48, 48);
    ImageValidate->setAlignment(Qt::AlignCenter);
    ImageValidate->setPixmap(picture(QStringLiteral("validating")).pixmap(QSize(40, 40), devicePixelRatio()));
    LabelValidating = named(new QLabel(QStringLiteral("Validating URL:"), this), "LabelValidating");
    LabelPleaseWait =
        named(new BlinkLabel(QStringLiteral("Validating URL Please wait..."), this), "LabelPleaseWait");
    LabelURLInValidation = named(new QLabel(this), "LabelURLInValidation");
    // The URL comes from the list: never rich text, and a long one must not widen the window.
    LabelURLInValidation->setTextFormat(Qt::PlainText);
    LabelURLInValidation->setMinimumWidth(1);
    LabelURLInValidation->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    LabelURLLeftToValidate =
        named(new QLabel(QStringLiteral("URL left to validate:"), this), "LabelURLLeftToValidate");
    LabelURLCount = named(new QLabel(QStringLiteral("0"), this), "LabelURLCount");
    PBValid = named(new QProgressBar(this), "PBValid");
    PBValid->setTextVisible(false);
    PBValid->setFixedWidth(150);

    auto* labels = new QGridLayout;
    labels->addWidget(LabelValidating, 0, 0);
    labels->addWidget(LabelURLInValidation, 0, 1, 1, 3);
    labels->addWidget(LabelPleaseWait, 1, 0);
    labels->addWidget(LabelURLLeftToValidate, 1, 1);
    labels->addWidget(LabelURLCount, 1, 2);
    labels->setColumnStretch(3, 1);
    h->addWidget(ImageValidate);
    h->addLayout(labels, 1);
    h->addWidget(PBValid);
    hide();
}

void ValidationPanel::setPanelVisible(bool visible) {
    setVisible(visible);
}

void ValidationPanel::setBlinking(bool on) {
    if (on)
        LabelPleaseWait->startAnimation();
    else
        LabelPleaseWait->stopAnimation();
}

void ValidationPanel::setUrlInValidation(const QString& text) {
    LabelURLInValidation->setText(text);
}

void ValidationPanel::setRejectionReason(const QString& reason) {
    // The reason holds a server's words: shown as plain text.
    LabelURLInValidation->setToolTip(reason.isEmpty() ? QString() : Qt::convertFromPlainText(reason));
}

void ValidationPanel::setLeftToValidate(const QString& text) {
    LabelURLLeftToValidate->setText(text);
}

void ValidationPanel::setCount(const QString& text) {
    LabelURLCount->setText(text);
}

void ValidationPanel::setCountVisible(bool visible) {
    LabelURLCount->setVisible(visible);
}

void ValidationPanel::setProgressMaximum(int maximum) {
    PBValid->setRange(0, maximum);
}

void ValidationPanel::setProgressPosition(int position) {
    PBValid->setValue(position);
}

} // namespace clipvane
