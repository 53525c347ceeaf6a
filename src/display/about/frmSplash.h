#pragma once

#include <QDialog>
#include <QPixmap>
#include <array>

class QFrame;
class QLabel;
class QTimer;

// The about window: product name, version and a small animation of a converter sampling a
// sine. Any key or a click on its labels, frame or picture closes it. The frame counter
// belongs to the caller so the animation carries on where it stopped at the next opening.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    frmSplash(int& aboutAnimationFrame, QWidget* parent = nullptr);

    // Animation frame 0, 1 or 2 (107 x 98 pixels).
    static QPixmap DrawAnimationFrame(int phase);

public slots:
    // Every 100 ms: the next frame, 1, 2, 0, 1, ...
    void Timer1_Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CentreOnScreen();

    int& AboutAnimationFrame;
    std::array<QPixmap, 3> Picture2;
    QFrame* Frame1;
    QLabel* Picture1;
    QTimer* Timer1;
};
