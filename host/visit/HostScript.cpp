#include "HostScript.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <array>
#include <utility>

#include "hostapi/ComError.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.Script");

using Kind = HostScript::Action::Kind;

// The actions that take no argument.
const std::array<std::pair<const char*, Kind>, 9> kPlainActions{{{"start", Kind::Start},
                                                                 {"stop", Kind::Stop},
                                                                 {"next", Kind::Next},
                                                                 {"previous", Kind::Previous},
                                                                 {"abort", Kind::Abort},
                                                                 {"skip", Kind::Skip},
                                                                 {"na", Kind::NotApplicable},
                                                                 {"close", Kind::Close},
                                                                 {"rest", Kind::Rest}}};

[[noreturn]] void RaiseAt(int line, const QString& reason) {
    throw ComError(HostScript::kErrBadScript, kSource,
                   QStringLiteral("script line %1: %2").arg(line).arg(reason));
}

HostScript::Action ParseLine(const QStringList& words, int line) {
    const QString& verb = words.first();
    const auto arguments = words.size() - 1;
    const auto expect = [&](qsizetype count, const QString& form) {
        if (arguments != count) RaiseAt(line, QStringLiteral("expected \"%1\"").arg(form));
    };
    for (const auto& [name, kind] : kPlainActions) {
        if (verb == QLatin1String(name)) {
            expect(0, verb);
            return HostScript::Action(kind, line);
        }
    }
    if (verb == QLatin1String("readings")) {
        expect(1, QStringLiteral("readings N"));
        bool ok = false;
        const int count = words[1].toInt(&ok);
        if (!ok || count < 1 || count > HostScript::kMaxReadings) {
            RaiseAt(line, QStringLiteral("\"%1\" is no count of readings from 1 to %2")
                              .arg(words[1])
                              .arg(HostScript::kMaxReadings));
        }
        HostScript::Action action{Kind::Readings, line};
        action.readings = count;
        return action;
    }
    if (verb == QLatin1String("type")) {
        expect(2, QStringLiteral("type KEY VALUE"));
        static const QRegularExpression keyPattern(QStringLiteral("^[A-Za-z0-9_]+$"));
        if (words[1].size() > HostScript::kMaxKeyLength || !keyPattern.match(words[1]).hasMatch()) {
            RaiseAt(line, QStringLiteral("\"%1\" is no measurement key").arg(words[1]));
        }
        if (words[2].size() > HostScript::kMaxValueLength) {
            RaiseAt(line,
                    QStringLiteral("a value of more than %1 characters").arg(HostScript::kMaxValueLength));
        }
        HostScript::Action action{Kind::Type, line};
        action.key = words[1];
        action.value = words[2];
        return action;
    }
    if (verb == QLatin1String("answer")) {
        expect(1, QStringLiteral("answer yes|no"));
        if (words[1] == QLatin1String("yes")) return HostScript::Action(Kind::AnswerYes, line);
        if (words[1] == QLatin1String("no")) return HostScript::Action(Kind::AnswerNo, line);
        RaiseAt(line, QStringLiteral("an answer is \"yes\" or \"no\", not \"%1\"").arg(words[1]));
    }
    RaiseAt(line, QStringLiteral("unknown action \"%1\"").arg(verb.left(HostScript::kMaxValueLength)));
}

}  // namespace

HostScript HostScript::Parse(const QString& text) {
    HostScript script;
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > kMaxLines)
        RaiseAt(kMaxLines + 1, QStringLiteral("a script has at most %1 lines").arg(kMaxLines));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        line.truncate(line.indexOf(QLatin1Char('#')) < 0 ? line.size() : line.indexOf(QLatin1Char('#')));
        const QStringList words = line.split(space, Qt::SkipEmptyParts);
        if (!words.isEmpty()) script.m_actions.append(ParseLine(words, i + 1));
    }
    // A final line break ends the last line; it starts none.
    script.m_lineCount = static_cast<int>(text.endsWith(QLatin1Char('\n')) ? lines.size() - 1 : lines.size());
    return script;
}

HostScript HostScript::Load(const QString& path) {
    QFile file(path);
    const auto fail = [&path](const QString& reason) {
        throw ComError(kErrBadScript, kSource, QStringLiteral("%1: %2").arg(path, reason));
    };
    if (!file.open(QIODevice::ReadOnly)) fail(file.errorString());
    // One byte more than allowed tells a file that is too long, whatever its size says.
    const QByteArray data = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) fail(file.errorString());
    if (data.size() > kMaxFileSize) fail(QStringLiteral("larger than %1 KiB").arg(kMaxFileSize / 1024));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(data);
    if (decoder.hasError()) fail(QStringLiteral("not UTF-8 text"));
    return Parse(text);
}

}  // namespace orvex
