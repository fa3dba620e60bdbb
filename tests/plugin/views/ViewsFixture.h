#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>

#include "support/HostFixture.h"

// The host for one test, with a known locale ("." as decimal separator) that the host does not
// set, and keys pressed the way a keyboard does.
class ViewsFixture : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override {
        QLocale::setDefault(m_savedLocale);
        HostFixture::TearDown();
    }

    // Presses a key the way the keyboard does, with the character it types.
    static void PressKey(QWidget* target, int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }
    static void Type(QWidget* target, const QString& characters) {
        for (const QChar c : characters) PressKey(target, c.toUpper().unicode(), QString(c));
    }

private:
    QLocale m_savedLocale;
};
