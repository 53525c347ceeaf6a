#pragma once

#include <QObject>

// Keeps every window's title exactly as the program sets it. The X11 platform appends the
// application's display name to a title, and replaces an empty one with the application's
// name; this filter writes the window's own title (empty included) back to the window
// properties each time a window is shown or retitled. Elsewhere it does nothing.
class ExactWindowTitles : public QObject {
public:
    // Installs the filter on the application; it lives as long as `owner`.
    static void Install(QObject* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
