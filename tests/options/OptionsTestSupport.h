#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QList>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

// The named child of a page; fails the test when there is none.
template <typename T> T* child(const QWidget* parent, const char* name) {
    T* widget = parent->findChild<T*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// Types into a field as a user would, replacing what it held.
void retype(QLineEdit* edit, const QString& text);
// Picks an item of a drop-down list as a user would.
void choose(QComboBox* box, int index);

// Runs `act` on the next modal dialog of type T once it is shown (the caller then opens it);
// fails the test when none appears.
template <typename T> void onNextModal(std::function<void(T*)> act) {
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, tries, poll] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            act(dialog);
            *poll = nullptr;
            return;
        }
        if (++*tries > 500) {
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className() << " appeared";
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}
