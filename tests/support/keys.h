#pragma once

#include <QApplication>
#include <QString>
#include <QWidget>
#include <QtTest>

namespace vordane::test {

// Keys as a person types them: to whichever control has the focus.
inline QWidget *focused()
{
    return QApplication::focusWidget();
}

inline void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = focused();
    QVERIFY2(target, "no control has the focus");
    QTest::keyClick(target, key, modifiers);
}

inline void typeText(const QString &text)
{
    QWidget *target = focused();
    QVERIFY2(target, "no control has the focus");
    QTest::keyClicks(target, text);
}

// Whether the focus is on the control (or inside it, for a composite control).
inline bool hasFocus(const QWidget *control)
{
    const QWidget *target = focused();
    return target && (target == control || control->isAncestorOf(target));
}

} // namespace vordane::test
