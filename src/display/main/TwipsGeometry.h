#pragma once

#include <QHash>
#include <QRectF>
#include <QWidget>

// Places controls in twips (1/1440 inch) at the screen's logical resolution. The exact
// twips values are kept, so repeated layouts do not drift through pixel rounding.
class TwipsGeometry {
public:
    explicit TwipsGeometry(QWidget* reference) : reference_(reference) {}

    double TwipsPerPixelX() const;
    double TwipsPerPixelY() const;

    void Place(QWidget* w, double left, double top, double width, double height);

    double Left(QWidget* w) const { return rect(w).x(); }
    double Top(QWidget* w) const { return rect(w).y(); }
    double Width(QWidget* w) const { return rect(w).width(); }
    double Height(QWidget* w) const { return rect(w).height(); }

    // Each setter raises error 380 ("Invalid property value") for a negative size,
    // leaving the control as it was.
    void SetLeft(QWidget* w, double v);
    void SetTop(QWidget* w, double v);
    void SetWidth(QWidget* w, double v);
    void SetHeight(QWidget* w, double v);

    double ToTwipsX(int px) const { return px * TwipsPerPixelX(); }
    double ToTwipsY(int px) const { return px * TwipsPerPixelY(); }
    int ToPixelsX(double twips) const;
    int ToPixelsY(double twips) const;

private:
    QRectF rect(QWidget* w) const;
    void apply(QWidget* w, const QRectF& r);
    void Change(QWidget* w, double value, void (QRectF::*set)(qreal), bool isSize);

    QWidget* reference_;
    QHash<QWidget*, QRectF> twips_;
};
