#pragma once

#include <QAbstractButton>

#include "hostapi/LanguageService.h"

// Translates a literal to its default text, as a host without a language file does.
class FakeLanguageService : public orvex::LanguageService {
public:
    QString GetText(const QString& /*plugInId*/, const QString& literal,
                    const orvex::VariantArray& /*parameters*/) override {
        const qsizetype mark = literal.indexOf(QStringLiteral("::"));
        return mark < 0 ? literal : literal.mid(mark + 2);
    }

    void TranslateControls(const QString& plugInId, QWidget* root) override {
        for (auto* button : root->findChildren<QAbstractButton*>()) {
            button->setText(GetText(plugInId, button->text(), {}));
        }
    }

    void TranslateToolbar(const QString& /*plugInId*/, QWidget* /*toolbar*/) override {}
};
