#pragma once

#include <QString>
#include <QStringList>

#include "host/platform/HostExport.h"

namespace orvex {

// A postgresql:// (or postgres://) URL read into what Qt's PostgreSQL driver is given: host, port,
// user, password and database name, and the connection options from the URL's parameters. Nothing
// here connects; the results database applies it.
//
// A server on another machine is reached with sslmode=verify-full unless the URL, PGSSLMODE or a
// service file says otherwise: results and passwords cross a hospital network encrypted, to the
// server the certificate names. A password left out of the URL is libpq's to find (PGPASSFILE,
// ~/.pgpass, a service file), so none ever needs to be typed on a command line.
class ORVEX_HOST_EXPORT HostDatabaseUrl {
public:
    // What the connection is given when the URL does not say.
    static constexpr int kConnectTimeout = 10;
    static constexpr int kLongestConnectTimeout = 600;

    // The environment libpq reads itself, as far as it decides how the connection is made.
    struct Environment {
        QString sslMode;  // PGSSLMODE
        QString host;     // PGHOST
        QString service;  // PGSERVICE
        static Environment OfProcess();
    };

    HostDatabaseUrl(const QString& url, const Environment& environment);

    // The parameters a URL may carry, in the order the README gives them.
    static const QStringList& Parameters();
    // Whether the text is a PostgreSQL URL that holds a password.
    static bool NamesPassword(const QString& url);

    // Why the URL cannot be used (never with its password); empty when it can.
    const QString& Refused() const { return m_refused; }
    // The URL as a technician may be told it: without its password.
    const QString& Location() const { return m_location; }
    // Empty: libpq's own (PGHOST, the service's, the local socket); -1: libpq's own port.
    const QString& Host() const { return m_host; }
    int Port() const { return m_port; }
    const QString& User() const { return m_user; }
    const QString& Password() const { return m_password; }
    const QString& Name() const { return m_name; }
    // name=value pairs separated by ';', each value quoted as libpq reads it.
    const QString& Options() const { return m_options; }
    // The sslmode given to the connection; empty when libpq decides (PGSSLMODE, a service file,
    // its own default for the local machine).
    const QString& SslMode() const { return m_sslMode; }
    // The server's error in words a technician can act on: what to set for TLS, never the password.
    QString Explained(const QString& error) const;

private:
    void Read(const QString& url, const Environment& environment);
    // Whether libpq will reach the server on this machine: no host, a socket folder, loopback.
    static bool IsLocal(const QString& host);

    QString m_refused;
    QString m_location;
    QString m_host;
    int m_port = -1;
    QString m_user;
    QString m_password;
    QString m_name;
    QString m_options;
    QString m_sslMode;
    // verify-full was taken because the server is on another machine and nothing else was said.
    bool m_sslDefault = false;
};

}  // namespace orvex
