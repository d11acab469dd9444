#pragma once
#include <QLabel>

class QTimer;

namespace clipvane {

// A label whose text blinks while its animation runs; the text itself never changes.
class BlinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit BlinkLabel(const QString& text, QWidget* parent = nullptr);

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const;

private:
    void setTextShown(bool shown);

    QTimer* m_timer;
    bool m_shown = true;
};

} // namespace clipvane
