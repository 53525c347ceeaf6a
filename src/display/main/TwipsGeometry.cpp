#include "display/main/TwipsGeometry.h"

#include "core/EvalError.h"

#include <cmath>

namespace {
[[noreturn]] void InvalidPropertyValue()
{
    throw EvalError(380, QStringLiteral("Layout"), QStringLiteral("Invalid property value"));
}
}

double TwipsGeometry::TwipsPerPixelX() const { return 1440.0 / reference_->logicalDpiX(); }
double TwipsGeometry::TwipsPerPixelY() const { return 1440.0 / reference_->logicalDpiY(); }

int TwipsGeometry::ToPixelsX(double twips) const { return int(std::lround(twips / TwipsPerPixelX())); }
int TwipsGeometry::ToPixelsY(double twips) const { return int(std::lround(twips / TwipsPerPixelY())); }

QRectF TwipsGeometry::rect(QWidget* w) const
{
    const auto it = twips_.constFind(w);
    if (it != twips_.constEnd())
        return *it;
    const QRect g = w->geometry();
    return QRectF(ToTwipsX(g.x()), ToTwipsY(g.y()), ToTwipsX(g.width()), ToTwipsY(g.height()));
}

void TwipsGeometry::apply(QWidget* w, const QRectF& r)
{
    twips_[w] = r;
    w->setGeometry(ToPixelsX(r.x()), ToPixelsY(r.y()), ToPixelsX(r.width()), ToPixelsY(r.height()));
}

void TwipsGeometry::Place(QWidget* w, double left, double top, double width, double height)
{
    apply(w, QRectF(left, top, width, height));
}

void TwipsGeometry::Change(QWidget* w, double value, void (QRectF::*set)(qreal), bool isSize)
{
    if (isSize && value < 0)
        InvalidPropertyValue();
    QRectF r = rect(w);
    (r.*set)(value);
    apply(w, r);
}

void TwipsGeometry::SetLeft(QWidget* w, double v) { Change(w, v, &QRectF::moveLeft, false); }
void TwipsGeometry::SetTop(QWidget* w, double v) { Change(w, v, &QRectF::moveTop, false); }
void TwipsGeometry::SetWidth(QWidget* w, double v) { Change(w, v, &QRectF::setWidth, true); }
void TwipsGeometry::SetHeight(QWidget* w, double v) { Change(w, v, &QRectF::setHeight, true); }
