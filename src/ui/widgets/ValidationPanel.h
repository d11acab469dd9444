#pragma once
#include "lists/SaveValidation.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace clipvane {

class BlinkLabel;

// The panel a list window shows while its entries are validated before a save: the address under check,
// a blinking "please wait", the number left and a progress bar. Hidden until a validation shows it.
class ValidationPanel : public QWidget, public SaveValidationPanel {
    Q_OBJECT
public:
    explicit ValidationPanel(QWidget* parent = nullptr);

    void setPanelVisible(bool visible) override;
    void setBlinking(bool on) override;
    void setUrlInValidation(const QString& text) override;
    void setLeftToValidate(const QString& text) override;
    void setCount(const QString& text) override;
    void setCountVisible(bool visible) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    void setRejectionReason(const QString& reason) override;

    // Controls (named as their objectName)
    QLabel* ImageValidate;
    QLabel* LabelValidating;
    BlinkLabel* LabelPleaseWait;
    QLabel* LabelURLInValidation;
    QLabel* LabelURLLeftToValidate;
    QLabel* LabelURLCount;
    QProgressBar* PBValid;
};

} // namespace clipvane
