#include "display/main/ExactWindowTitles.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, std::uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

void WriteTitle(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window->testAttribute(Qt::WA_WState_Created))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const auto id = xcb_window_t(window->winId());
    const QByteArray utf8 = window->windowTitle().toUtf8();
    const QByteArray latin1 = window->windowTitle().toLatin1();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, Atom(c, "_NET_WM_NAME"), Atom(c, "UTF8_STRING"), 8,
                        std::uint32_t(utf8.size()), utf8.constData());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        std::uint32_t(latin1.size()), latin1.constData());
    xcb_flush(c);
}

} // namespace

void ExactWindowTitles::Install(QObject* owner)
{
    qGuiApp->installEventFilter(new ExactWindowTitles(owner));
}

bool ExactWindowTitles::eventFilter(QObject* watched, QEvent* event)
{
    // A window's Show event comes after its native window exists and before it is mapped,
    // so the window manager sees the exact title from the start.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowTitleChange) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow())
            WriteTitle(widget);
    }
    return false;
}
