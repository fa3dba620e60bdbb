#pragma once

#include <QStringList>

#include "hostapi/MessageService.h"

// Records the message boxes the technician would have seen and answers OK.
class FakeMessageService : public orvex::MessageService {
public:
    Answer Show(const QString& text, Icon /*icon*/, Buttons /*buttons*/, const QString& /*title*/) override {
        texts.append(text);
        return Answer::Ok;
    }

    QStringList texts;
};
