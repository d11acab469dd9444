#pragma once
#include <QIcon>
#include <QWidget>

namespace clipvane {

// A picture that is not a button: drawn at paint time, fitted into the box with its proportions kept, so a
// line picture takes the current theme's ink.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    // proportions: the picture's own width and height (its SVG's size).
    PictureBox(QIcon picture, QSize proportions, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_picture;
    QSize m_proportions;
};

} // namespace clipvane
