#include "HostDatabaseUrl.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <QUrlQuery>
#include <algorithm>

namespace orvex {

namespace {

const QString kSslMode = QStringLiteral("sslmode");
const QString kService = QStringLiteral("service");
const QString kTimeoutParameter = QStringLiteral("connect_timeout");
const QStringList kSslModes{QStringLiteral("disable"),   QStringLiteral("allow"),
                            QStringLiteral("prefer"),    QStringLiteral("require"),
                            QStringLiteral("verify-ca"), QStringLiteral("verify-full")};

// A value as libpq reads it inside quotes. The driver turns every ';' of the options into a space
// before libpq sees them, so a value with one cannot be passed on as it was written.
QString Quoted(QString value) {
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

// A parameter's name as an error may show it: printable, and short.
QString Shown(const QString& name) {
    QString shown;
    for (const QChar c : name.left(40)) shown += c.isPrint() ? c : QLatin1Char('?');
    return shown;
}

}  // namespace

HostDatabaseUrl::Environment HostDatabaseUrl::Environment::OfProcess() {
    return {qEnvironmentVariable("PGSSLMODE"), qEnvironmentVariable("PGHOST"),
            qEnvironmentVariable("PGSERVICE")};
}

const QStringList& HostDatabaseUrl::Parameters() {
    static const QStringList parameters{kSslMode,
                                        QStringLiteral("sslrootcert"),
                                        QStringLiteral("sslcert"),
                                        QStringLiteral("sslkey"),
                                        QStringLiteral("application_name"),
                                        kTimeoutParameter,
                                        kService};
    return parameters;
}

bool HostDatabaseUrl::NamesPassword(const QString& url) {
    const QUrl parsed(url);
    if (parsed.scheme() != QLatin1String("postgresql") && parsed.scheme() != QLatin1String("postgres"))
        return false;
    if (parsed.isValid()) return !parsed.password().isEmpty();
    // A URL QUrl cannot read is refused later, but what was typed may still hold one: user:secret@.
    const QString rest = url.section(QStringLiteral("://"), 1);
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    return at > 0 && rest.left(at).contains(QLatin1Char(':'));
}

HostDatabaseUrl::HostDatabaseUrl(const QString& url, const Environment& environment) {
    Read(url, environment);
    if (!m_refused.isEmpty()) {
        m_host.clear();
        m_user.clear();
        m_password.clear();
        m_name.clear();
        m_options.clear();
    }
}

void HostDatabaseUrl::Read(const QString& url, const Environment& environment) {
    const QUrl parsed(url);
    if (!parsed.isValid()) {
        // QUrl's own words quote the whole URL, password and all.
        m_location = parsed.scheme() + QStringLiteral("://…");
        m_refused = QStringLiteral(
            "the URL cannot be read (is its port a number? an @, :, / or % in a user name or "
            "password is written %40, %3A, %2F, %25)");
        return;
    }
    const QUrlQuery query(parsed);
    QUrl shown(parsed);
    shown.setPassword({});
    shown.setQuery(query.hasQueryItem(kService) ? QStringLiteral("service=") + query.queryItemValue(kService)
                                                : QString());
    m_location = shown.toString();
    m_host = parsed.host();
    m_port = parsed.port(-1);
    m_user = parsed.userName();
    m_password = parsed.password();
    m_name = parsed.path().mid(1);
    // The driver hands libpq a C string: a NUL would end it there, and the options after it with it.
    if (m_user.contains(QChar()) || m_password.contains(QChar()) || m_name.contains(QChar())) {
        m_refused = QStringLiteral("the URL's user, password or database name holds a NUL (%00)");
        return;
    }

    QSet<QString> given;
    QStringList options;
    for (const auto& [name, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (!Parameters().contains(name)) {
            m_refused = QStringLiteral("the URL's parameter \"%1\" is not one it takes (%2)")
                            .arg(Shown(name), Parameters().join(QStringLiteral(", ")));
            break;
        }
        if (given.contains(name)) {
            m_refused = QStringLiteral("the URL gives %1 twice").arg(name);
            break;
        }
        given.insert(name);
        const bool control = std::any_of(value.begin(), value.end(),
                                         [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
        if (value.isEmpty() || control || value.contains(QLatin1Char(';'))) {
            m_refused =
                QStringLiteral("the URL's %1 takes a value without ';' or control characters").arg(name);
            break;
        }
        if (name == kSslMode && !kSslModes.contains(value)) {
            m_refused =
                QStringLiteral("the URL's sslmode takes %1").arg(kSslModes.join(QStringLiteral(", ")));
            break;
        }
        if (name == kTimeoutParameter) {
            bool number = false;
            const int seconds = value.toInt(&number);
            if (!number || seconds < 1 || seconds > kLongestConnectTimeout) {
                m_refused = QStringLiteral("the URL's connect_timeout takes whole seconds from 1 to %1")
                                .arg(kLongestConnectTimeout);
                break;
            }
        }
        if (name == kSslMode) m_sslMode = value;
        options << name + QLatin1Char('=') + Quoted(value);
    }

    if (!m_refused.isEmpty()) return;

    if (!given.contains(kTimeoutParameter))
        options.prepend(QStringLiteral("connect_timeout=%1").arg(kConnectTimeout));
    // A service file names its own host and sslmode, and PGSSLMODE is the user's word: either holds.
    const bool service = given.contains(kService) || !environment.service.isEmpty();
    if (m_sslMode.isEmpty() && environment.sslMode.isEmpty() && !service &&
        !IsLocal(m_host.isEmpty() ? environment.host : m_host)) {
        m_sslMode = QStringLiteral("verify-full");
        m_sslDefault = true;
        options << QStringLiteral("sslmode=verify-full");
    }
    m_options = options.join(QLatin1Char(';'));
}

bool HostDatabaseUrl::IsLocal(const QString& host) {
    static const QRegularExpression loopback(QStringLiteral("^127\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"));
    // libpq takes a list of hosts and tries each: every one of them must be local.
    const QStringList hosts = host.split(QLatin1Char(','));
    return std::all_of(hosts.begin(), hosts.end(), [](const QString& one) {
        const QString name = one.trimmed().toLower();
        return name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('@')) ||
               name == QLatin1String("localhost") || name == QLatin1String("::1") ||
               loopback.match(name).hasMatch();
    });
}

QString HostDatabaseUrl::Explained(const QString& error) const {
    QString text = error.simplified();
    // libpq does not quote a password back, but nothing that reaches a screen or a log may hold
    // one; a very short one would only garble the words it happens to be part of.
    if (m_password.size() >= 4) text.replace(m_password, QStringLiteral("(password)"));
    QString hint;
    if (text.contains(QLatin1String("does not support SSL"))) {
        hint = m_sslDefault
                   ? QStringLiteral(
                         "a server on another machine is reached with sslmode=verify-full unless the URL "
                         "says otherwise: turn TLS on at the server, or add sslmode=disable to the URL to "
                         "send results and passwords unencrypted, knowingly")
                   : QStringLiteral(
                         "sslmode asks for TLS: turn it on at the server, or relax sslmode (the URL or "
                         "PGSSLMODE) knowingly");
    } else if (text.contains(QLatin1String("root certificate file"))) {
        hint = QStringLiteral(
            "give the certificate of the authority that signed the server's as sslrootcert=FILE in "
            "the URL (without it, ~/.postgresql/root.crt is read), or sslmode=require to encrypt "
            "without checking which server answers, knowingly");
    } else if (text.contains(QLatin1String("certificate verify failed")) ||
               text.contains(QLatin1String("does not match host name"))) {
        hint = QStringLiteral(
            "the server's certificate is not signed by the authority in sslrootcert (without it, "
            "~/.postgresql/root.crt), or does not name the URL's host: give the authority that "
            "signed it, and the host as its certificate names it");
    }
    return hint.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, hint);
}

}  // namespace orvex
