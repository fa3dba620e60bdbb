#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <memory>

#include "FakeLanguageService.h"
#include "FakeMessageService.h"
#include "hostapi/HostServices.h"

// Installs the language and message doubles for one test and a known locale ("." as decimal
// separator); takes them away afterwards.
class ViewsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        orvex::HostServices::SetLanguage(language);
        orvex::HostServices::SetMessages(messages);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override {
        QLocale::setDefault(m_savedLocale);
        orvex::HostServices::SetLanguage(nullptr);
        orvex::HostServices::SetMessages(nullptr);
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

    std::shared_ptr<FakeLanguageService> language = std::make_shared<FakeLanguageService>();
    std::shared_ptr<FakeMessageService> messages = std::make_shared<FakeMessageService>();

private:
    QLocale m_savedLocale;
};
