#pragma once

#include <QString>

#include "plugin/units/MConversions.h"
#include "support/HostFixture.h"

// The real host with the conversion table set up; English unless a test switches to German
// through the shipped language file.
class MeasureFixture : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        korotka::MConversions::Initialize();
    }

    void UseGerman() {
        QString error;
        ASSERT_TRUE(language->LoadFile(QStringLiteral("Korotka"), GermanFile(), &error))
            << error.toStdString();
    }

    static QString GermanFile() {
        return QStringLiteral(KOROTKA_SOURCE_DIR "/resources/Language/German.lng");
    }
};
