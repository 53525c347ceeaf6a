#pragma once

#include <QObject>
#include <gtest/gtest.h>

// A control of a window by its object name; fails the test when there is none.
template <class T> T* Find(const QObject& window, const char* name)
{
    T* control = window.findChild<T*>(QLatin1String(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}
