#pragma once
// Gives a new widget the object name that tests and style sheets find it by.
#include <QObject>

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}
